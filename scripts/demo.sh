#!/usr/bin/env bash
# Builds DOCVANE, makes a sample VRAX library and exports it in a fresh folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOCVANE_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target docvane mkvrax >/dev/null
demo=$(mktemp -d /tmp/docvane-demo.XXXXXX)
build/mkvrax "$demo/LIBRARY.DAT"
cd "$demo"
echo "\$ docvane LIBRARY.DAT   (in $demo)"
"$OLDPWD/build/docvane" LIBRARY.DAT || true
echo
ls -l --time-style=long-iso "$demo"

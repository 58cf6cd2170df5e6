// DOCVANE's entry point: banner, usage text, option scan, then the type
// listing or the export run.
#include <cstdio>

#include "output/console_order.h"
#include "record/record.h"
#include "run/run.h"
#include "run/settings.h"

static const char MAKER_NOTICE[] = "Copyright (c) 2026 the DOCVANE developers";

static const char* const USAGE_LINES[] = {
    "This command exports the embedded VRAX data files to individual files.\n",
    "Usage:  DOCVANE Filename [/V8] [/F] [/T] [/C[Z]] [/U] [/Lx] [/D]\n",
    "    Add /F  to display currently supported file types and exit.\n",
    "    Add /T  to use the TXT extension for RQD Files.\n",
    "    Add /V8 to read the VRAX file as Orv V8 format.\n",
    "    Add /C  to export Contact ID as part of the Filename (omitting zeros).\n",
    "    Add /CZ to export Contact ID as part of the Filename (including zeros).\n",
    "    Add /U  to append the autoinc key to the end of the Filename.\n",
    "    Add /Lx to Enable the Linked Document Processor.\n",
    "            /LL = Export Long Names. (Default)\n",
    "            /LS = Export Short (8.3) Names.\n",
    "            /LC = Copy Data Files From Source Location.\n",
    "            /LW = Create Windows ShortCuts (LNK files).\n",
    "    Add /D  to enable DEBUG mode.\n",
};

static void print_banner() { std::printf("%s %s\n\n", VERSION_TEXT, MAKER_NOTICE); }

static void print_usage() {
  for (const char* line : USAGE_LINES) std::fputs(line, stderr);
}

// No argument, or a question mark as the first or second character of the
// first one (?, /?, -?).
static int wants_usage(int argc, const char* const* argv) {
  if (argc < 2) return 1;
  const char* first = argv[1];
  return first[0] == '?' || (first[0] != '\0' && first[1] == '?');
}

int main(int argc, char** argv) {
  print_banner();
  if (wants_usage(argc, argv)) {
    flush_console_before_error();
    print_usage();
    return 1;
  }
  RunSettings settings = parse_options(argc, argv);
  if (settings.list_types) {
    list_file_types();
    return 1;
  }
  return run_export(settings, argv[1]);
}

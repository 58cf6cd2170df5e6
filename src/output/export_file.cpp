// Creating, re-opening and closing export files.
#include <cstdio>

#include "output/output.h"

PlatformFile create_export_file(const char* name) { return platform_create_export(name); }

PlatformFile reopen_export_file(const char* name) { return platform_reopen_export(name); }

PlatformFile begin_export_file(const char* export_path) {
  char console_name[PLATFORM_PATH_SIZE];
  std::printf("Creating %s...", platform_console_text(export_path, console_name, sizeof console_name));
  PlatformFile export_file = create_export_file(export_path);
  if (export_file == INVALID_HANDLE_VALUE) std::printf(" CreateFile Error %u", platform_last_error());
  return export_file;
}

void close_export_file(PlatformFile export_file) { platform_close(export_file); }

// Export files: creating, writing, time-stamping and closing them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

PlatformFile begin_export_file(const char* export_path);
PlatformFile create_export_file(const char* name);
PlatformFile reopen_export_file(const char* name);
int write_text(PlatformFile export_file, const char* text);
int write_bytes(PlatformFile export_file, const void* bytes, uint32_t count);
// Sets the creation and last-write times from the record's date and time
// fields (the 4 bytes of each, as little-endian 32-bit values).
void stamp_file_time(PlatformFile export_file, uint32_t date_value, uint32_t time_value);
void close_export_file(PlatformFile export_file);

// The export names created in this run, compared without regard to ASCII
// case, so that a second record with the same name gets a name of its own.
struct ExportNameRegistry;
ExportNameRegistry* create_export_name_registry();
void destroy_export_name_registry(ExportNameRegistry* registry);
// Makes `export_path` a name this run has not created yet, inserting "(2)",
// "(3)", ... before `extension_start`, shortening the part before it when
// the name would grow past the limit; then records the name.
void claim_export_name(ExportNameRegistry* registry, char* export_path, size_t extension_start);

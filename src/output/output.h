// Export files: creating, writing, time-stamping and closing them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// Prints "Creating %s..." on standard output, then creates or empties the
// file. On failure adds " CreateFile Error %u" and returns INVALID_HANDLE_VALUE.
PlatformFile begin_export_file(const char* export_path);
// Create-or-empty and open-existing, both for writing and silent.
PlatformFile create_export_file(const char* name);
PlatformFile reopen_export_file(const char* name);
// One platform write each. 1 only when every byte went out; 0 after
// " WriteFile Error: %u" on standard error when the write failed, and 0 without
// a message when it was short. Nothing to write returns 1.
int write_text(PlatformFile export_file, const char* text);
int write_bytes(PlatformFile export_file, const void* bytes, uint32_t count);
// Sets the creation and last-write times from the record's date and time
// fields (the 4 bytes of each, as little-endian 32-bit values); on failure
// prints " SetFileTime Error: %u" on standard output.
void stamp_file_time(PlatformFile export_file, uint32_t date_value, uint32_t time_value);
// INVALID_HANDLE_VALUE is ignored.
void close_export_file(PlatformFile export_file);

// The export names created in this run, compared without regard to ASCII
// case, so that a second record with the same name gets a name of its own.
// Names already on disk from an earlier run are not consulted.
struct ExportNameRegistry;
// nullptr when there is no memory; every operation accepts nullptr and then
// leaves names as they are.
ExportNameRegistry* create_export_name_registry();
void destroy_export_name_registry(ExportNameRegistry* registry);
// Makes `export_path` (a 256-byte buffer) a name this run has not created
// yet, inserting "(2)", "(3)", ... before `extension_start`, shortening the
// part before it when the name would grow past 255 characters or 255 bytes on
// disk; then records the name.
void claim_export_name(ExportNameRegistry* registry, char* export_path, size_t extension_start);

// The only door to the operating system: files, file times and names on disk.
// One POSIX and one Windows implementation stand behind this header; nothing
// above it includes a system header.
#pragma once

#include <cstddef>
#include <cstdint>

// A platform file: a file descriptor on POSIX, a HANDLE on Windows.
typedef intptr_t PlatformFile;
#ifndef INVALID_HANDLE_VALUE
#define INVALID_HANDLE_VALUE ((PlatformFile)-1)
#endif

// Room for the longest path the platform accepts, terminating NUL included.
constexpr size_t PLATFORM_PATH_SIZE = 4096;

// Error code of the platform call that failed last (errno or GetLastError).
uint32_t platform_last_error();
// 1 when an error code means "no such file or folder".
int platform_error_is_not_found(uint32_t error_code);
// The platform's code for an invalid argument (EINVAL, ERROR_INVALID_PARAMETER).
uint32_t platform_invalid_argument_error();

// --- Files named by a native path (the command line's encoding). ---

// Opens an existing file for reading only; INVALID_HANDLE_VALUE on failure.
PlatformFile platform_open_read(const char* native_path);
// Creates or empties a file for reading and writing; INVALID_HANDLE_VALUE on failure.
PlatformFile platform_create_native(const char* native_path);
// Size of an open file in bytes; 1 on success, 0 on failure.
int platform_file_size(PlatformFile file, uint64_t* size);
// Reads up to `length` bytes at `offset`; `*got` tells how many arrived
// (fewer only at the end of the file). 1 on success, 0 on failure.
int platform_read_at(PlatformFile file, uint64_t offset, void* buffer, uint32_t length, uint32_t* got);
// Writes all `length` bytes at `offset`; 1 on success, 0 on failure.
int platform_write_at(PlatformFile file, uint64_t offset, const void* buffer, uint32_t length);

// --- Export files, named by 8-bit Windows-1252 text taken from a record. ---

// Creates or empties a file for writing in the current folder
// (CREATE_ALWAYS, no sharing); INVALID_HANDLE_VALUE on failure.
PlatformFile platform_create_export(const char* ansi_name);
// Opens an existing file for writing, content unchanged (OPEN_EXISTING).
PlatformFile platform_reopen_export(const char* ansi_name);
// One synchronous write at the current position. 1 when the call succeeded
// (`*written` then tells how many bytes went out), 0 when it failed.
int platform_write(PlatformFile file, const void* buffer, uint32_t length, uint32_t* written);

// A local calendar time as a record holds it.
struct PlatformLocalTime {
  uint16_t year;
  uint16_t month;
  uint16_t day;
  uint16_t hour;
  uint16_t minute;
  uint16_t second;
  uint16_t milliseconds;
};
// Sets the file's last-write time (and creation time where the platform has
// one) from a local time, converted to UTC by the time-zone rules in force at
// that date; the last-access time is left as it is. Milliseconds may run to
// 999. 1 on success; 0 when the time cannot be set (see platform_last_error),
// and 0 with platform_invalid_argument_error() when it is not a valid calendar
// time, in which case the file's times are not touched.
int platform_set_file_time(PlatformFile file, const PlatformLocalTime& local_time);

// Closes a file; INVALID_HANDLE_VALUE is ignored.
void platform_close(PlatformFile file);

// --- Names shown on the console and stored on disk. ---

// Length in bytes that a Windows-1252 name takes on the file system
// (UTF-8 on POSIX, unchanged on Windows). Export names are stored in that
// form, and console text is shown in it.
size_t platform_name_length(const char* ansi_name);
// Converts a Windows-1252 text for the console; the result lives in `out`
// (always NUL-terminated, cut to fit) and is returned.
const char* platform_console_text(const char* ansi_text, char* out, size_t out_size);

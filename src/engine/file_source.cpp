// A byte source over a named file. Reads go through a read-ahead window, so
// walking a file page by page costs one large read per window, not one
// system call per page.
#include <cstring>
#include <new>

#include "engine/engine_internal.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t WINDOW_SIZE = 1u << 20;
constexpr uint64_t WINDOW_ALIGNMENT = 4096;

struct FileSource {
  PlatformFile file;
  uint64_t size;
  uint64_t window_start;
  uint32_t window_length;
  uint8_t* window;
};

int read_exactly(FileSource* source, uint64_t offset, void* buffer, uint32_t length) {
  uint32_t got = 0;
  return platform_read_at(source->file, offset, buffer, length, &got) && got == length;
}

int refill_window(FileSource* source, uint64_t offset) {
  uint64_t start = offset - offset % WINDOW_ALIGNMENT;
  uint64_t left = source->size - start;
  uint32_t length = left < WINDOW_SIZE ? static_cast<uint32_t>(left) : WINDOW_SIZE;
  source->window_length = 0;
  if (!read_exactly(source, start, source->window, length)) return 0;
  source->window_start = start;
  source->window_length = length;
  return 1;
}

int in_window(const FileSource* source, uint64_t offset, uint32_t length) {
  return offset >= source->window_start && offset - source->window_start <= source->window_length &&
         source->window_length - (offset - source->window_start) >= length;
}

int file_read_at(void* context, uint64_t offset, void* buffer, uint32_t length) {
  FileSource* source = static_cast<FileSource*>(context);
  if (offset > source->size || source->size - offset < length) return 0;
  if (length >= WINDOW_SIZE / 2) return read_exactly(source, offset, buffer, length);
  if (!in_window(source, offset, length) && !refill_window(source, offset)) return 0;
  if (!in_window(source, offset, length)) return 0;
  std::memcpy(buffer, source->window + (offset - source->window_start), length);
  return 1;
}

void file_release(void* context) {
  FileSource* source = static_cast<FileSource*>(context);
  platform_close(source->file);
  delete[] source->window;
  delete source;
}

}  // namespace

// Statuses: 12 when the file does not exist; 46 for any other refusal to
// open (no permission, a folder, a file locked by another process), as the
// engine reports denied access; 2 when the open file cannot be measured.
int16_t file_source_open(const char* native_path, ByteSource* out) {
  PlatformFile file = platform_open_read(native_path);
  if (file == INVALID_HANDLE_VALUE) {
    return platform_error_is_not_found(platform_last_error()) ? STATUS_FILE_NOT_FOUND : STATUS_ACCESS_DENIED;
  }
  uint64_t size = 0;
  FileSource* source = new (std::nothrow) FileSource{file, 0, 0, 0, nullptr};
  if (source) source->window = new (std::nothrow) uint8_t[WINDOW_SIZE];
  if (!source || !source->window || !platform_file_size(file, &size)) {
    if (source) delete[] source->window;
    delete source;
    platform_close(file);
    return STATUS_IO_ERROR;
  }
  source->size = size;
  *out = ByteSource{source, file_read_at, file_release, size};
  return STATUS_SUCCESS;
}

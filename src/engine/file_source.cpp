// A byte source over a named file. Walking a file page by page costs one
// large read per megabyte, not one system call per page.
#include <cstring>
#include <new>

#include "engine/engine_internal.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t WINDOW_SIZE = 1u << 18;  // small enough to stay in a core's cache
constexpr uint32_t BLOCK_SIZE = 32768;
constexpr uint64_t ALIGNMENT = 4096;
// A miss this close to where a buffer ends continues a stream.
constexpr uint64_t STREAM_SLACK = 65536;

struct Buffer {
  uint64_t start;
  uint32_t length;
  uint8_t* bytes;
};

// Reads go through two buffers: a large read-ahead window that follows the
// stream of pages being walked, and a small block for isolated reads
// elsewhere (a shared tail page, a page table), so such a read does not
// throw the window away and read it again.
struct FileSource {
  PlatformFile file;
  uint64_t size;
  Buffer window;
  Buffer block;
};

int read_exactly(FileSource* source, uint64_t offset, void* buffer, uint32_t length) {
  uint32_t got = 0;
  return platform_read_at(source->file, offset, buffer, length, &got) && got == length;
}

int holds(const Buffer& buffer, uint64_t offset, uint32_t length) {
  return offset >= buffer.start && offset - buffer.start <= buffer.length &&
         buffer.length - (offset - buffer.start) >= length;
}

int continues(const Buffer& buffer, uint64_t offset) {
  uint64_t end = buffer.start + buffer.length;
  return buffer.length != 0 && offset + ALIGNMENT >= end && offset <= end + STREAM_SLACK;
}

int fill(FileSource* source, Buffer* buffer, uint64_t offset, uint32_t capacity) {
  uint64_t start = offset - offset % ALIGNMENT;
  uint64_t left = source->size - start;
  uint32_t length = left < capacity ? static_cast<uint32_t>(left) : capacity;
  buffer->length = 0;
  if (!read_exactly(source, start, buffer->bytes, length)) return 0;
  buffer->start = start;
  buffer->length = length;
  return 1;
}

int copy_out(const Buffer& buffer, uint64_t offset, void* out, uint32_t length) {
  if (!holds(buffer, offset, length)) return 0;
  std::memcpy(out, buffer.bytes + (offset - buffer.start), length);
  return 1;
}

int file_read_at(void* context, uint64_t offset, void* out, uint32_t length) {
  FileSource* source = static_cast<FileSource*>(context);
  if (offset > source->size || source->size - offset < length) return 0;
  if (copy_out(source->window, offset, out, length) || copy_out(source->block, offset, out, length)) return 1;
  if (length > BLOCK_SIZE - ALIGNMENT) return read_exactly(source, offset, out, length);
  int stream = source->window.length == 0 || continues(source->window, offset) || continues(source->block, offset);
  Buffer* target = stream ? &source->window : &source->block;
  if (!fill(source, target, offset, stream ? WINDOW_SIZE : BLOCK_SIZE)) return 0;
  return copy_out(*target, offset, out, length);
}

void file_release(void* context) {
  FileSource* source = static_cast<FileSource*>(context);
  platform_close(source->file);
  delete[] source->window.bytes;
  delete[] source->block.bytes;
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
  FileSource* source = new (std::nothrow) FileSource{file, 0, Buffer{0, 0, nullptr}, Buffer{0, 0, nullptr}};
  if (source) {
    source->window.bytes = new (std::nothrow) uint8_t[WINDOW_SIZE];
    source->block.bytes = new (std::nothrow) uint8_t[BLOCK_SIZE];
  }
  if (!source || !source->window.bytes || !source->block.bytes || !platform_file_size(file, &size)) {
    if (source) {
      delete[] source->window.bytes;
      delete[] source->block.bytes;
    }
    delete source;
    platform_close(file);
    return STATUS_IO_ERROR;
  }
  source->size = size;
  *out = ByteSource{source, file_read_at, file_release, size};
  return STATUS_SUCCESS;
}

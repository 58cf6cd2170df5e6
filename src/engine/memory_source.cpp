// A byte source over bytes in memory, for tests and fuzzers.
#include <cstring>
#include <new>

#include "engine/engine.h"

namespace {

struct MemoryView {
  const uint8_t* data;
  uint64_t size;
};

int memory_read_at(void* context, uint64_t offset, void* buffer, uint32_t length) {
  const MemoryView* view = static_cast<const MemoryView*>(context);
  if (offset > view->size || view->size - offset < length) return 0;
  if (length != 0) std::memcpy(buffer, view->data + offset, length);
  return 1;
}

void memory_release(void* context) { delete static_cast<MemoryView*>(context); }

int nothing_to_read(void*, uint64_t, void*, uint32_t) { return 0; }

}  // namespace

ByteSource memory_byte_source(const void* data, uint64_t size) {
  MemoryView* view = new (std::nothrow) MemoryView{static_cast<const uint8_t*>(data), size};
  if (!view) return ByteSource{nullptr, nothing_to_read, nullptr, 0};
  return ByteSource{view, memory_read_at, memory_release, size};
}

// The built-in record manager: a read-only reader of Btrieve data files
// behind the engine call. It never prints.
#pragma once

#include <cstdint>

// Where the engine reads a data file's bytes from: a file, or memory in tests
// and fuzzers.
struct ByteSource {
  void* context;
  // Reads exactly `length` bytes at `offset`; 1 on success, 0 when the range
  // is not wholly inside the source or the read fails.
  int (*read_at)(void* context, uint64_t offset, void* buffer, uint32_t length);
  // Releases the context when the engine closes the file (may be null).
  void (*release)(void* context);
  uint64_t size;
};

// The engine call. Operations: Open 0, Close 1, Get Position 22,
// Get Direct/Chunk 23 (key number -2), Step Next 24, Reset 28, Step First 33.
int16_t engine_call(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
                    void* key_buffer, uint8_t key_length, int8_t key_number);

// Opens a data file held by `source` into `position_block`, as Open does for
// a named file. The engine takes ownership of the source either way.
int16_t engine_open_source(void* position_block, ByteSource source);

// A source over `size` bytes at `data`, for tests and fuzzers. The bytes are
// not copied: they must stay unchanged until the file is closed.
ByteSource memory_byte_source(const void* data, uint64_t size);

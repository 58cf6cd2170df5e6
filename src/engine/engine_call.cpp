// The engine call: one entry for every operation, dispatched on the
// operation code. The engine only reads; no operation changes a file.
#include <cstddef>

#include "engine/file_table.h"
#include "platform/platform.h"

namespace {

constexpr uint16_t OPERATION_OPEN = 0;
constexpr uint16_t OPERATION_CLOSE = 1;
constexpr uint16_t OPERATION_GET_POSITION = 22;
constexpr uint16_t OPERATION_GET_DIRECT = 23;
constexpr uint16_t OPERATION_STEP_NEXT = 24;
constexpr uint16_t OPERATION_RESET = 28;
constexpr uint16_t OPERATION_STEP_FIRST = 33;
constexpr int8_t CHUNK_KEY_NUMBER = -2;

// The name must be NUL-terminated within the platform's path room. Bytes
// are looked at one by one, never past the NUL, as the caller's buffer may
// be shorter than that room.
int name_is_terminated(const char* name) {
  for (size_t i = 0; i < PLATFORM_PATH_SIZE; ++i) {
    if (name[i] == '\0') return 1;
  }
  return 0;
}

int16_t open_named_file(void* position_block, const void* key_buffer) {
  if (!key_buffer) return STATUS_INVALID_FILE_NAME;
  const char* name = static_cast<const char*>(key_buffer);
  if (name[0] == '\0' || !name_is_terminated(name)) return STATUS_INVALID_FILE_NAME;
  ByteSource source{};
  int16_t status = file_source_open(name, &source);
  if (status != STATUS_SUCCESS) return status;
  return engine_open_source(position_block, source);
}

int16_t operate_on_file(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
                        int8_t key_number) {
  OpenFile* file = file_from_block(position_block);
  if (!file) return STATUS_FILE_NOT_OPEN;
  uint8_t* data = static_cast<uint8_t*>(data_buffer);
  uint32_t no_length = 0;
  uint32_t* length = data_length ? data_length : &no_length;
  if (!data) *length = 0;
  switch (operation) {
    case OPERATION_CLOSE:
      release_file_entry(file, position_block);
      return STATUS_SUCCESS;
    case OPERATION_STEP_FIRST:
    case OPERATION_STEP_NEXT:
      return walk_step(file, operation == OPERATION_STEP_FIRST, data, length);
    case OPERATION_GET_POSITION:
      return get_position(file, data, length);
    case OPERATION_GET_DIRECT:
      if (key_number != CHUNK_KEY_NUMBER) return STATUS_INVALID_OPERATION;
      return get_direct_chunk(file, data, length);
    default:
      return STATUS_INVALID_OPERATION;
  }
}

}  // namespace

int16_t engine_open_source(void* position_block, ByteSource source) {
  FileLayout layout;
  int16_t status = position_block ? fcr_decode(source, &layout) : STATUS_FILE_NOT_OPEN;
  OpenFile* file = status == STATUS_SUCCESS ? claim_file_entry(position_block) : nullptr;
  if (status == STATUS_SUCCESS && !file) status = STATUS_FILE_TABLE_FULL;
  if (status != STATUS_SUCCESS) {
    if (source.release) source.release(source.context);
    return status;
  }
  file->source = source;
  file->layout = layout;
  return STATUS_SUCCESS;
}

int16_t engine_call(uint16_t operation, void* position_block, void* data_buffer, uint32_t* data_length,
                    void* key_buffer, uint8_t key_length, int8_t key_number) {
  (void)key_length;  // the open takes the name up to its NUL
  switch (operation) {
    case OPERATION_OPEN:
      if (!position_block) return STATUS_FILE_NOT_OPEN;
      return open_named_file(position_block, key_buffer);
    case OPERATION_RESET:
      release_every_file();
      return STATUS_SUCCESS;
    default:
      return operate_on_file(operation, position_block, data_buffer, data_length, key_number);
  }
}

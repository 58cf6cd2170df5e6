// Record-manager request layer and document body retrieval.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "run/settings.h"

constexpr uint16_t OP_OPEN = 0;
constexpr uint16_t OP_CLOSE = 1;
constexpr uint16_t OP_GET_POSITION = 22;
constexpr uint16_t OP_GET_DIRECT_CHUNK = 23;
constexpr uint16_t OP_STEP_NEXT = 24;
constexpr uint16_t OP_RESET = 28;
constexpr uint16_t OP_STEP_FIRST = 33;

// Size of the record buffer, data length of every Step and Open, size of
// every piece of a long record.
constexpr uint16_t DOCUMENT_BUFFER_SIZE = 57000;

constexpr int POSITION_BLOCK_SIZE = 128;

// Engine statuses the program gives a meaning to.
constexpr int16_t STATUS_SUCCESS = 0;
constexpr int16_t STATUS_IO_ERROR = 2;
constexpr int16_t STATUS_END_OF_FILE = 9;
constexpr int16_t STATUS_FILE_NOT_FOUND = 12;
constexpr int16_t STATUS_ENGINE_INACTIVE = 20;
constexpr int16_t STATUS_DATA_BUFFER_TOO_SHORT = 22;
constexpr int16_t STATUS_NOT_A_BTRIEVE_FILE = 30;
constexpr int16_t STATUS_INVALID_OWNER = 51;
constexpr int16_t STATUS_CHUNK_OFFSET_TOO_BIG = 103;

// The request block of one file. Fields keep their values between requests.
struct FileSlot {
  uint16_t operation;
  uint8_t position_block[POSITION_BLOCK_SIZE];
  void* data_buffer;
  uint16_t data_length;
  void* key_buffer;
  int16_t key_number;
  char file_name[PLATFORM_PATH_SIZE];  // the data-file name as typed, for messages
};

constexpr int FILE_SLOT_COUNT = 2;
constexpr int DATA_SLOT = 1;
extern FileSlot file_slots[FILE_SLOT_COUNT];
extern int current_slot;

// The engine entry: operation, position block, data buffer, data length,
// key buffer, key length, key number; returns the status.
typedef int16_t (*EngineEntry)(uint16_t operation, void* position_block, void* data_buffer,
                               uint32_t* data_length, void* key_buffer, uint8_t key_length,
                               int8_t key_number);
// Where btr_call sends every request; the built-in engine unless replaced.
extern EngineEntry btr_engine_entry;
// Debug level that decides the request trace and the open/close traces.
extern DebugLevel btr_debug_level;

// Raw call: widens the 16-bit data length for the engine, narrows it after,
// always passes key length 255. Returns the low 16 bits of the result.
uint16_t btr_call(uint16_t operation, void* position_block, void* data_buffer, uint16_t* data_length,
                  void* key_buffer, int16_t key_number);
// Traces, calls and reports one request; ends the process on status 20.
int16_t btr_request(FileSlot& slot);

// Copies the NUL-terminated `name` into `out` when it fits whole; 0, with
// nothing copied, when it does not. Reads no further than `out_size` bytes.
int copy_whole_name(const char* name, char* out, size_t out_size);
// Open on entry DATA_SLOT with the whole name as typed (at most
// PLATFORM_PATH_SIZE - 1 bytes; a longer one gets STATUS_FILE_NOT_FOUND and
// no request). `record_buffer` becomes the slot's data buffer.
int16_t open_data_file(const char* data_file_name, uint8_t* record_buffer);
// Close on entry DATA_SLOT; its status is reported, not returned.
void close_data_file();
// Reset on entry DATA_SLOT, with no key buffer and key number 0.
int16_t reset_record_manager();

// The 24-byte request of a Get Direct/Chunk operation, little-endian fields.
struct ChunkDescriptor {
  uint32_t record_position;
  uint32_t subfunction;
  uint32_t chunk_count;
  uint32_t chunk_offset;
  uint32_t chunk_length;
  uint32_t chunk_user_data;
};
constexpr uint32_t CHUNK_DESCRIPTOR_SIZE = 24;
constexpr uint32_t CHUNK_DIRECT_RANDOM = 0x80000000u;

// Writes the body of the record that the current slot's last Step returned
// (from `body_offset` to its end) to `export_file`. 1 when the file is to be
// counted, 0 when not. A record shorter than `body_offset` has no body: the
// file stays empty and the result is 1.
int write_record_body(PlatformFile export_file, uint32_t body_offset);
// The same for a record longer than the buffer (Step status 22): the buffer's
// part, then the rest through Get Position and Get Direct/Chunk. 0 after a
// failed write, a failed Get Position or a piece request failing with any
// status but STATUS_CHUNK_OFFSET_TOO_BIG (which only says the record ended).
int write_long_record_body(PlatformFile export_file, uint32_t body_offset);

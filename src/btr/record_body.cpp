// Writes a document record's body to its export file: from the buffer for a
// record that fits it, piece by piece through the engine for a longer one.
#include <cstdio>

#include "btr/btr.h"
#include "output/console_order.h"
#include "output/output.h"

// The slot whose Step filled the record buffer; null if current_slot is off.
static FileSlot* current_record_slot() {
  if (current_slot < 0 || current_slot >= FILE_SLOT_COUNT) return nullptr;
  FileSlot* slot = &file_slots[current_slot];
  return slot->data_buffer ? slot : nullptr;
}

// Bytes the engine says it placed, never more than the buffer can hold.
static uint32_t returned_length(const FileSlot& slot) {
  return slot.data_length < DOCUMENT_BUFFER_SIZE ? slot.data_length : DOCUMENT_BUFFER_SIZE;
}

// The part of the record in the buffer from `body_offset` on. A record that
// stops before `body_offset` has no body, so there is nothing to write.
static int write_buffered_body(const FileSlot& slot, PlatformFile export_file, uint32_t body_offset) {
  uint32_t length = returned_length(slot);
  if (length <= body_offset) return 1;
  const uint8_t* buffer = static_cast<const uint8_t*>(slot.data_buffer);
  return write_bytes(export_file, buffer + body_offset, length - body_offset);
}

int write_record_body(PlatformFile export_file, uint32_t body_offset) {
  FileSlot* slot = current_record_slot();
  if (!slot) return 0;
  return write_buffered_body(*slot, export_file, body_offset);
}

static void store_u32(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
  out[2] = static_cast<uint8_t>(value >> 16);
  out[3] = static_cast<uint8_t>(value >> 24);
}

static uint32_t load_u32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

static void store_chunk_descriptor(uint8_t* buffer, const ChunkDescriptor& descriptor) {
  store_u32(buffer + 0, descriptor.record_position);
  store_u32(buffer + 4, descriptor.subfunction);
  store_u32(buffer + 8, descriptor.chunk_count);
  store_u32(buffer + 12, descriptor.chunk_offset);
  store_u32(buffer + 16, descriptor.chunk_length);
  store_u32(buffer + 20, descriptor.chunk_user_data);
}

// Asks the engine for the record's position; 1 with `*position` set, or 0
// after the failure has been reported.
static int fetch_record_position(FileSlot& slot, uint32_t* position) {
  slot.data_length = 4;
  slot.key_number = 0;
  slot.operation = OP_GET_POSITION;
  int16_t status = btr_request(slot);
  if (status != STATUS_SUCCESS) {
    flush_console_before_error();
    std::fprintf(stderr, "GetPosition Call Failed With Status %d\n", static_cast<int>(status));
    return 0;
  }
  *position = load_u32(static_cast<const uint8_t*>(slot.data_buffer));
  return 1;
}

// Requests the piece at `offset` into the start of the buffer; the status.
static int16_t request_piece(FileSlot& slot, uint32_t position, uint32_t offset) {
  ChunkDescriptor descriptor = {position, CHUNK_DIRECT_RANDOM, 1, offset, DOCUMENT_BUFFER_SIZE, 0};
  store_chunk_descriptor(static_cast<uint8_t*>(slot.data_buffer), descriptor);
  slot.data_length = DOCUMENT_BUFFER_SIZE;
  slot.key_number = -2;
  slot.operation = OP_GET_DIRECT_CHUNK;
  return btr_request(slot);
}

// Appends the pieces from offset DOCUMENT_BUFFER_SIZE to the record's end.
static int write_remaining_pieces(FileSlot& slot, PlatformFile export_file, uint32_t position) {
  for (uint32_t offset = DOCUMENT_BUFFER_SIZE;; offset += DOCUMENT_BUFFER_SIZE) {
    int16_t status = request_piece(slot, position, offset);
    if (status != STATUS_SUCCESS) {
      flush_console_before_error();
      std::fprintf(stderr, "Chunk Call Failed With Status %d\n", static_cast<int>(status));
      // 103 only says the previous full piece was the last one.
      return status == STATUS_CHUNK_OFFSET_TOO_BIG ? 1 : 0;
    }
    uint32_t length = returned_length(slot);
    if (length > 0 && !write_bytes(export_file, slot.data_buffer, length)) return 0;
    if (length != DOCUMENT_BUFFER_SIZE) return 1;
    // A record cannot reach past a 32-bit offset; an engine that claims
    // otherwise gets no endless loop.
    if (offset > UINT32_MAX - DOCUMENT_BUFFER_SIZE) return 0;
  }
}

int write_long_record_body(PlatformFile export_file, uint32_t body_offset) {
  FileSlot* slot = current_record_slot();
  if (!slot) return 0;
  if (!write_buffered_body(*slot, export_file, body_offset)) return 0;
  uint32_t position = 0;
  if (!fetch_record_position(*slot, &position)) return 0;
  return write_remaining_pieces(*slot, export_file, position);
}

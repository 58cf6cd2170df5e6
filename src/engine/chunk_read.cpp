// Get Position and Get Direct/Chunk. A chunk request continues from the
// record cursor when it names the same record at or after the position
// reached, so reading a long record in consecutive chunks walks its chain
// once.
#include "engine/engine_internal.h"

namespace {

constexpr uint32_t DIRECT_RANDOM_CHUNKS = 0x80000000u;
constexpr uint32_t DESCRIPTOR_BYTES = 20;  // address, subfunction, count, offset, length

struct ChunkRequest {
  uint32_t address;
  uint32_t subfunction;
  uint32_t count;
  uint32_t offset;
  uint32_t length;
};

ChunkRequest decode_request(const uint8_t* buffer) {
  return ChunkRequest{read_u32(buffer), read_u32(buffer + 4), read_u32(buffer + 8), read_u32(buffer + 12),
                      read_u32(buffer + 16)};
}

// Points the cursor at the record named by `address`; 43 when no live record is there.
int16_t open_record_at(OpenFile* file, uint32_t address) {
  uint32_t page = 0;
  uint32_t slot = 0;
  if (!address_to_slot(file->layout, address, &page, &slot)) return STATUS_INVALID_RECORD_ADDRESS;
  int16_t status = load_data_page(file, page);
  if (status == STATUS_PAGE_NOT_DATA) return STATUS_INVALID_RECORD_ADDRESS;
  if (status != STATUS_SUCCESS) return status;
  if (!slot_is_live(file, slot)) return STATUS_INVALID_RECORD_ADDRESS;
  cursor_begin(file, page, slot);
  return STATUS_SUCCESS;
}

int cursor_can_continue(const OpenFile* file, const ChunkRequest& request) {
  const RecordCursor& cursor = file->cursor;
  return cursor.valid && cursor.address == request.address && request.offset >= cursor.offset;
}

void make_current(OpenFile* file, uint32_t address) {
  uint32_t page = 0;
  uint32_t slot = 0;
  address_to_slot(file->layout, address, &page, &slot);
  file->has_current = 1;
  file->current_page = page;
  file->current_slot = slot;
  file->next_page = page;
  file->next_slot = slot + 1;
}

}  // namespace

int16_t get_position(OpenFile* file, uint8_t* out, uint32_t* length) {
  if (*length < 4) return STATUS_DATA_BUFFER_SHORT;
  if (!file->has_current) return STATUS_INVALID_POSITIONING;
  write_u32(out, record_address(file->layout, file->current_page, file->current_slot));
  *length = 4;
  return STATUS_SUCCESS;
}

// A chunk longer than the offered buffer gets 22 with nothing placed rather
// than a clipped piece, which the caller would take for the record's end.
int16_t get_direct_chunk(OpenFile* file, uint8_t* buffer, uint32_t* length) {
  if (!buffer || *length < DESCRIPTOR_BYTES) return STATUS_INCORRECT_DESCRIPTOR;
  ChunkRequest request = decode_request(buffer);
  if (request.subfunction != DIRECT_RANDOM_CHUNKS || request.count != 1) return STATUS_INCORRECT_DESCRIPTOR;
  if (request.length > *length) {
    *length = 0;
    return STATUS_DATA_BUFFER_SHORT;
  }
  if (!cursor_can_continue(file, request)) {
    file->cursor.valid = 0;
    int16_t status = open_record_at(file, request.address);
    if (status != STATUS_SUCCESS) return status;
  }
  make_current(file, request.address);
  uint64_t skipped = 0;
  uint64_t gap = request.offset - file->cursor.offset;
  int16_t status = cursor_read(file, nullptr, gap, &skipped);
  if (status != STATUS_SUCCESS) return status;
  if (skipped < gap) return STATUS_CHUNK_OFFSET_TOO_BIG;
  uint64_t got = 0;
  status = cursor_read(file, buffer, request.length, &got);
  *length = static_cast<uint32_t>(got);
  return status;
}

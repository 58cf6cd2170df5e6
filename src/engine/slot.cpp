// Record slots on the cached data page, and the record addresses that name them.
#include "engine/engine_internal.h"

const uint8_t* slot_bytes(const OpenFile* file, uint32_t slot) {
  return file->data_page.bytes + file->layout.page_header_size + slot * file->layout.slot_length;
}

namespace {

// 5.x slots have no usage count: a slot is free when it is on the deleted
// chain, or when everything after its first four bytes is zero (never used).
int v5_slot_is_live(const OpenFile* file, uint32_t slot) {
  if (file->deleted_slots[slot / 8] & (1u << (slot % 8))) return 0;
  const uint8_t* bytes = slot_bytes(file, slot);
  for (uint32_t i = 4; i < file->layout.slot_length; ++i) {
    if (bytes[i] != 0) return 1;
  }
  return 0;
}

}  // namespace

int slot_is_live(const OpenFile* file, uint32_t slot) {
  const FileLayout& layout = file->layout;
  if (layout.family == FamilyV5) return v5_slot_is_live(file, slot);
  const uint8_t* bytes = slot_bytes(file, slot);
  // A compressed entry says "used" in the byte after its tail pointer.
  if (layout.compressed) return bytes[layout.pointer_size] != 0;
  return read_u16(bytes) != 0;
}

uint32_t record_address(const FileLayout& layout, uint32_t page, uint32_t slot) {
  if (layout.family == FamilyV8) return (page << layout.slot_bits) | slot;
  // 5.x: the file offset of the slot; 6.x: the same in the logical page space.
  uint64_t address = static_cast<uint64_t>(page) * layout.page_size + layout.page_header_size +
                     static_cast<uint64_t>(slot) * layout.slot_length;
  return static_cast<uint32_t>(address);
}

int address_to_slot(const FileLayout& layout, uint32_t address, uint32_t* page, uint32_t* slot) {
  if (layout.family == FamilyV8) {
    *page = address >> layout.slot_bits;
    *slot = address & ((1u << layout.slot_bits) - 1);
  } else {
    *page = address / layout.page_size;
    uint32_t offset = address % layout.page_size;
    if (offset < layout.page_header_size) return 0;
    if ((offset - layout.page_header_size) % layout.slot_length != 0) return 0;
    *slot = (offset - layout.page_header_size) / layout.slot_length;
  }
  return *slot < layout.slots_per_page && *page != 0 && *page < layout.logical_page_limit;
}

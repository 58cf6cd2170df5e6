// Data pages: record slots, deleted slots and record addresses.
#include <cstring>

#include "engine/writer/writer_state.h"

uint32_t writer_slot_address(const WriterGeometry& g, uint32_t logical, uint32_t slot) {
  if (g.version8) return (logical << g.slot_bits) | slot;
  return logical * g.page_size + g.page_header_size + slot * g.slot_length;
}

// 6.x addresses are byte offsets in the logical space and must stay 32-bit.
static int data_page_addressable(const WriterGeometry& g, uint32_t logical) {
  if (g.version8) return logical <= g.max_logical_page ? 1 : 0;
  return static_cast<uint64_t>(logical + 1) * g.page_size <= 0x100000000ull ? 1 : 0;
}

// A page with the header of logical data page 1 whose every slot looks live
// and holds bytes no record has.
static void fill_misleading_data_page(const WriterGeometry& g, uint8_t* stale) {
  std::memset(stale, 0, g.page_size);
  put_page_header(g, stale, 1, PAGE_TYPE_DATA, 0x8001);
  for (uint32_t slot = 0; slot < g.slots_per_page; slot++) {
    uint8_t* at = stale + g.page_header_size + slot * g.slot_length;
    put_u16(at, 1);
    std::memset(at + 2, 0xEE, g.slot_length - 2 - g.pointer_size);
    put_fragment_pointer(g, at + g.slot_length - g.pointer_size, FragmentPointer{0, 0, 1});
  }
}

// An outdated twin of the first data page on a physical page that no PAT
// entry maps.
static int write_stale_data_page(BtrieveWriter* writer) {
  uint8_t* stale = writer->scratch;
  fill_misleading_data_page(writer->geometry, stale);
  uint32_t physical = writer_take_physical(writer);
  writer->stale_physical = physical;
  return writer_write_physical(writer, physical, stale, 1);
}

int writer_write_junk_pages(BtrieveWriter* writer) {
  for (uint32_t i = 0; i < writer->options.junk_pages; i++) {
    fill_misleading_data_page(writer->geometry, writer->scratch);
    if (!writer_write_physical(writer, writer_take_physical(writer), writer->scratch, 1)) return 0;
  }
  return 1;
}

int writer_flush_data_page(BtrieveWriter* writer) {
  if (!writer->data_page.open) return 1;
  if (!writer_flush_page(writer, &writer->data_page)) return 0;
  writer->data_pages_written++;
  if (writer->options.stale_data_page && writer->data_pages_written == 1) return write_stale_data_page(writer);
  return 1;
}

// The next free slot, on a new data page when the current one is full.
static uint8_t* take_slot(BtrieveWriter* writer, uint32_t* address) {
  const WriterGeometry& g = writer->geometry;
  if (writer->failed) return nullptr;
  if (!writer->data_page.open || writer->data_slots_used == g.slots_per_page) {
    if (!writer_flush_data_page(writer)) return nullptr;
    if (!data_page_addressable(g, writer->next_logical)) {
      writer->failed = 1;
      return nullptr;
    }
    if (!writer_open_page(writer, &writer->data_page, PAGE_TYPE_DATA)) return nullptr;
    writer->data_slots_used = 0;
  }
  uint32_t slot = writer->data_slots_used++;
  *address = writer_slot_address(g, writer->data_page.logical, slot);
  return writer->data_page.bytes + g.page_header_size + slot * g.slot_length;
}

uint32_t btrieve_writer_next_address(const BtrieveWriter* writer) {
  const WriterGeometry& g = writer->geometry;
  if (writer->data_page.open && writer->data_slots_used < g.slots_per_page)
    return writer_slot_address(g, writer->data_page.logical, writer->data_slots_used);
  return writer_slot_address(g, writer->next_logical, 0);
}

int btrieve_writer_add(BtrieveWriter* writer, const void* record, uint64_t length) {
  if (writer == nullptr || writer->failed) return 0;
  uint32_t fixed = writer->options.fixed_length;
  if (length < fixed) return 0;
  uint32_t address = 0;
  uint8_t* slot = take_slot(writer, &address);
  if (slot == nullptr) return 0;
  const uint8_t* bytes = static_cast<const uint8_t*>(record);
  FragmentPointer tail{0, 0, 1};
  if (!writer_store_tail(writer, bytes + fixed, length - fixed, &tail)) {
    writer->failed = 1;
    return 0;
  }
  put_u16(slot, 1);
  if (fixed > 0) std::memcpy(slot + 2, bytes, fixed);
  put_fragment_pointer(writer->geometry, slot + 2 + fixed, tail);
  writer->record_count++;
  return 1;
}

// A free slot: usage 0 and the address of the slot freed before it, so the
// free slots form a chain from the last one freed back to the first.
int btrieve_writer_add_deleted(BtrieveWriter* writer) {
  if (writer == nullptr || writer->failed) return 0;
  uint32_t address = 0;
  uint8_t* slot = take_slot(writer, &address);
  if (slot == nullptr) return 0;
  uint32_t previous = writer->has_free_slot ? writer->free_slot_head : 0xFFFFFFFFu;
  put_u16(slot, 0);
  if (writer->geometry.version8)
    put_u32(slot + 2, previous);
  else
    put_u32_word_swapped(slot + 2, previous);
  writer->free_slot_head = address;
  writer->has_free_slot = 1;
  return 1;
}

// 5.x deleted slots: the control record names the first one, and each
// deleted slot names the next in its first four bytes (a word-swapped file
// offset). The chain is walked once per data page loaded, marking the slots
// of that page; the walk is bounded and stops on a loop.
#include <cstring>

#include "engine/engine_internal.h"

namespace {

constexpr uint32_t END_OF_CHAIN = 0xFFFFFFFFu;

// Index of the slot at `offset` on `page`, or -1 when the offset is no slot boundary.
int64_t slot_at(const FileLayout& layout, uint64_t offset, uint32_t* page) {
  *page = static_cast<uint32_t>(offset / layout.page_size);
  uint64_t within = offset % layout.page_size;
  if (within < layout.page_header_size || (within - layout.page_header_size) % layout.slot_length != 0) return -1;
  uint64_t slot = (within - layout.page_header_size) / layout.slot_length;
  return slot < layout.slots_per_page ? static_cast<int64_t>(slot) : -1;
}

}  // namespace

int16_t mark_deleted_slots(OpenFile* file, uint32_t data_page) {
  const FileLayout& layout = file->layout;
  std::memset(file->deleted_slots, 0, sizeof file->deleted_slots);
  uint32_t link = layout.first_deleted;
  uint64_t limit = layout.page_count * layout.slots_per_page;
  uint32_t saved = END_OF_CHAIN;
  uint64_t power = 1;
  uint64_t steps = 0;
  for (uint64_t walked = 0; link != END_OF_CHAIN; ++walked) {
    if (walked > limit || link == saved) return STATUS_IO_ERROR;
    if (++steps == power) {
      saved = link;
      power <<= 1;
      steps = 0;
    }
    uint32_t page = 0;
    int64_t slot = slot_at(layout, link, &page);
    if (slot < 0 || page == 0 || page >= layout.page_count) return STATUS_IO_ERROR;
    uint8_t next[4];
    if (!source_read(file, link, next, 4)) return STATUS_IO_ERROR;
    if (page == data_page) {
      file->deleted_slots[slot / 8] |= static_cast<uint8_t>(1u << (slot % 8));
    }
    link = read_word_swapped(next);
  }
  return STATUS_SUCCESS;
}

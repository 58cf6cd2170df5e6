// Step First and Step Next: live records in ascending address order, that
// is data pages in ascending logical page number (physical page number in
// 5.x files), slots in ascending order.
//
// Damage met on the way gives status 2 and the walk moves past what was
// damaged: a damaged record is skipped, a page that cannot be mapped or
// read is skipped, and a page-allocation table that cannot be read skips
// every page it maps. So each Step makes progress and a later Step goes on
// with the records after the damage.
#include "engine/engine_internal.h"

namespace {

void skip_to_page(OpenFile* file, uint32_t page) {
  file->next_page = page;
  file->next_slot = 0;
}

// Copies the record's first bytes to the caller; 22 when more remain.
int16_t deliver_record(OpenFile* file, uint8_t* out, uint32_t* length) {
  uint64_t got = 0;
  int16_t status = cursor_read(file, out, *length, &got);
  *length = static_cast<uint32_t>(got);
  if (status != STATUS_SUCCESS) return status;
  int more = 0;
  status = cursor_has_more(file, &more);
  if (status != STATUS_SUCCESS) return status;
  return more ? STATUS_DATA_BUFFER_SHORT : STATUS_SUCCESS;
}

// Looks for the next live slot on the page in the cache; 1 when found.
int find_live_slot(OpenFile* file, uint32_t* slot) {
  for (uint32_t candidate = file->next_slot; candidate < file->layout.slots_per_page; ++candidate) {
    if (slot_is_live(file, candidate)) {
      *slot = candidate;
      return 1;
    }
  }
  return 0;
}

// A table that cannot be read takes the pages it maps with it.
void skip_damaged_page(OpenFile* file, uint32_t page) {
  int table_damaged =
      file->layout.family != FamilyV5 && !table_is_cached(file, (page - 1) / file->layout.pat_entries);
  skip_to_page(file, table_damaged ? next_table_start(file->layout, page) : page + 1);
}

}  // namespace

int16_t walk_step(OpenFile* file, int first, uint8_t* out, uint32_t* length) {
  if (first || file->next_page == 0) skip_to_page(file, FIRST_WALK_PAGE);
  const uint32_t limit = file->layout.logical_page_limit;
  while (file->next_page < limit) {
    uint32_t page = file->next_page;
    int16_t status = load_data_page(file, page);
    if (status == STATUS_PAGE_NOT_DATA) {
      skip_to_page(file, page + 1);
      continue;
    }
    if (status != STATUS_SUCCESS) {
      skip_damaged_page(file, page);
      *length = 0;
      return status;
    }
    uint32_t slot = 0;
    if (!find_live_slot(file, &slot)) {
      skip_to_page(file, page + 1);
      continue;
    }
    file->has_current = 1;
    file->current_page = page;
    file->current_slot = slot;
    file->next_slot = slot + 1;
    cursor_begin(file, page, slot);
    return deliver_record(file, out, length);
  }
  return STATUS_END_OF_FILE;
}

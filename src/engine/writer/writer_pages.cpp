// Page allocation, page writes and the page allocation tables (PATs).
#include <cstring>

#include "engine/writer/writer_state.h"

int writer_write_physical(BtrieveWriter* writer, uint32_t physical, const uint8_t* bytes, uint32_t pages) {
  if (writer->failed) return 0;
  uint64_t offset = static_cast<uint64_t>(physical) * writer->geometry.page_size;
  if (!platform_write_at(writer->file, offset, bytes, pages * writer->geometry.page_size)) {
    writer->failed = 1;
    return 0;
  }
  return 1;
}

uint32_t writer_take_physical(BtrieveWriter* writer) {
  while (writer_is_control_physical(writer->geometry, writer->next_physical)) writer->next_physical++;
  return writer->next_physical++;
}

static uint32_t pat_entry_offset(const WriterGeometry& geometry, uint32_t index_in_pat) {
  if (geometry.version8) return 20 + 6 * (index_in_pat - 1);
  return 4 + 4 * index_in_pat;
}

static void put_pat_entry(const WriterGeometry& geometry, uint8_t* pat, uint32_t index_in_pat,
                          uint32_t physical, uint8_t type) {
  uint8_t* at = pat + pat_entry_offset(geometry, index_in_pat);
  if (geometry.version8) {
    put_u32(at, physical);
    put_u16(at + 4, type);
    return;
  }
  // [page bits 16-23][type][bits 0-7][bits 8-15]
  at[0] = static_cast<uint8_t>(physical >> 16);
  at[1] = type;
  at[2] = static_cast<uint8_t>(physical);
  at[3] = static_cast<uint8_t>(physical >> 8);
}

// Physical page named by PAT entries of logical pages not in use.
static uint32_t unused_entry_physical(const BtrieveWriter* writer) {
  if (writer->stale_physical != 0) return writer->stale_physical;
  return writer->geometry.version8 ? 0xFFFFFFFEu : 0;
}

static void put_pat_header(const WriterGeometry& geometry, uint8_t* pat, uint32_t pat_number, uint16_t usage) {
  uint32_t ordinal = pat_number + 1;
  if (geometry.version8) {
    pat[0] = static_cast<uint8_t>(ordinal);
    pat[1] = static_cast<uint8_t>(ordinal >> 8);
    pat[2] = static_cast<uint8_t>(ordinal >> 16);
    pat[3] = 'P';
    pat[4] = 'P';
    pat[5] = 0;
    put_u16(pat + 6, usage);
    uint32_t log2 = 0;
    while ((1u << log2) < geometry.page_size) log2++;
    pat[12] = static_cast<uint8_t>(log2 - 3);
    return;
  }
  pat[0] = 'P';
  pat[1] = 'P';
  put_u16(pat + 2, ordinal);
  put_u32(pat + 4, usage);
}

// Number of entries of the current PAT that name pages in use.
static uint32_t pat_entries_in_use(const BtrieveWriter* writer) {
  uint32_t first = writer->pat_number * writer->geometry.pat_capacity + 1;
  if (writer->next_logical <= first) return 0;
  uint32_t used = writer->next_logical - first;
  return used < writer->geometry.pat_capacity ? used : writer->geometry.pat_capacity;
}

// Writes both copies of the current PAT; the older copy is a faithful twin
// unless the options ask for a stale one.
int writer_write_pat(BtrieveWriter* writer) {
  const WriterGeometry& g = writer->geometry;
  uint8_t* current = writer->pat_entries;
  uint32_t in_use = pat_entries_in_use(writer);
  uint32_t unused_physical = unused_entry_physical(writer);
  for (uint32_t i = in_use + 1; i <= g.pat_capacity; i++) put_pat_entry(g, current, i, unused_physical, 0);
  uint8_t* older = writer->scratch;
  std::memcpy(older, current, g.pat_pages * g.page_size);
  if (writer->options.stale_older_copies)
    for (uint32_t i = 1; i <= g.pat_capacity; i++) put_pat_entry(g, older, i, unused_physical, 0);
  put_pat_header(g, current, writer->pat_number, 2);
  put_pat_header(g, older, writer->pat_number, 1);
  uint32_t first = writer_pat_physical(g, writer->pat_number);
  uint32_t second = first + g.pat_pages;
  int current_first = writer->options.current_copy_first;
  if (!writer_write_physical(writer, current_first ? first : second, current, g.pat_pages)) return 0;
  return writer_write_physical(writer, current_first ? second : first, older, g.pat_pages);
}

// Hands out the next logical page, recording it in its PAT; a PAT that has
// just been filled is written at once so the writer never holds more than one.
static int take_logical(BtrieveWriter* writer, uint8_t type, uint32_t physical, uint32_t* logical) {
  const WriterGeometry& g = writer->geometry;
  if (writer->next_logical > g.max_logical_page) return 0;
  uint32_t new_logical = writer->next_logical;
  uint32_t pat_number = (new_logical - 1) / g.pat_capacity;
  if (pat_number != writer->pat_number) {
    if (!writer_write_pat(writer)) return 0;
    std::memset(writer->pat_entries, 0, sizeof writer->pat_entries);
    writer->pat_number = pat_number;
  }
  put_pat_entry(g, writer->pat_entries, new_logical - pat_number * g.pat_capacity, physical, type);
  writer->next_logical++;
  *logical = new_logical;
  return 1;
}

int writer_open_page(BtrieveWriter* writer, OpenPage* page, uint8_t type) {
  if (writer->failed) return 0;
  const WriterGeometry& g = writer->geometry;
  uint32_t physical = writer_take_physical(writer);
  uint32_t logical = 0;
  if (!take_logical(writer, type, physical, &logical)) {
    writer->failed = 1;
    return 0;
  }
  std::memset(page->bytes, 0, g.page_size);
  // Data pages keep the old "data page" marker bit in their usage word.
  put_page_header(g, page->bytes, logical, type, type == PAGE_TYPE_DATA ? 0x8001 : 1);
  if (type == PAGE_TYPE_VARIABLE) {
    // No free-space list: the pointer field after the header is all FF.
    std::memset(page->bytes + g.page_header_size, 0xFF, g.variable_header_size - g.page_header_size - 2);
  }
  page->logical = logical;
  page->physical = physical;
  page->open = 1;
  return 1;
}

int writer_flush_page(BtrieveWriter* writer, OpenPage* page) {
  if (!page->open) return 1;
  page->open = 0;
  return writer_write_physical(writer, page->physical, page->bytes, 1);
}

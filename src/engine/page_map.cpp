// Logical pages of 6.x and 8.x files, reached through the page-allocation
// table (PAT) pair that covers them. Only the table in use is cached, so the
// memory needed does not grow with the file. Stale copies of pages that no
// table maps are never looked at.
#include <cstring>

#include "engine/engine_internal.h"

namespace {

struct PatPlace {
  uint64_t first_page;     // physical page of copy A
  uint64_t second_page;    // physical page of copy B
  uint32_t pages_per_copy;
};

PatPlace pat_place(const FileLayout& layout, uint32_t table) {
  if (layout.family == FamilyV8) {
    uint64_t first = 8 + static_cast<uint64_t>(table) * (layout.pat_entries + 4);
    return PatPlace{first, first + 2, 2};
  }
  uint64_t first = 2 + static_cast<uint64_t>(table) * (layout.page_size / 4);
  return PatPlace{first, first + 1, 1};
}

int pat_header_valid(const FileLayout& layout, const uint8_t* header) {
  if (layout.family == FamilyV8) return header[3] == 'P' && header[4] == 'P' && header[5] == 0;
  return header[0] == 'P' && header[1] == 'P';
}

uint32_t pat_usage(const FileLayout& layout, const uint8_t* header) {
  return layout.family == FamilyV8 ? read_u16(header + 6) : read_u32(header + 4);
}

// Reads the current copy of table `table`, the valid copy with the larger
// usage count, into the cache entry used least recently.
int16_t load_pat(OpenFile* file, uint32_t table, const uint8_t** bytes) {
  for (int entry = 0; entry < 2; ++entry) {
    if (file->pats[entry].loaded && file->pats[entry].table == table) {
      file->pat_recent = entry;
      *bytes = file->pats[entry].bytes;
      return STATUS_SUCCESS;
    }
  }
  const FileLayout& layout = file->layout;
  PatPlace place = pat_place(layout, table);
  uint8_t header_a[8];
  uint8_t header_b[8];
  uint64_t page_size = layout.page_size;
  int valid_a = source_read(file, place.first_page * page_size, header_a, 8) && pat_header_valid(layout, header_a);
  int valid_b = source_read(file, place.second_page * page_size, header_b, 8) && pat_header_valid(layout, header_b);
  if (!valid_a && !valid_b) return STATUS_IO_ERROR;
  int use_b = valid_b && (!valid_a || pat_usage(layout, header_b) > pat_usage(layout, header_a));
  int entry = 1 - file->pat_recent;
  PatCache& cache = file->pats[entry];
  cache.loaded = 0;
  uint64_t page = use_b ? place.second_page : place.first_page;
  if (!read_physical_pages(file, page, cache.bytes, place.pages_per_copy)) return STATUS_IO_ERROR;
  cache.loaded = 1;
  cache.table = table;
  file->pat_recent = entry;
  *bytes = cache.bytes;
  return STATUS_SUCCESS;
}

void decode_pat_entry(const FileLayout& layout, const uint8_t* table, uint32_t index, uint64_t* physical,
                      uint32_t* type) {
  if (layout.family == FamilyV8) {
    const uint8_t* entry = table + 20 + 6 * (index - 1);
    *physical = read_u32(entry);
    *type = read_u16(entry + 4);
    return;
  }
  const uint8_t* entry = table + 4 + 4 * index;
  *physical = (static_cast<uint64_t>(entry[0]) << 16) | (static_cast<uint64_t>(entry[3]) << 8) | entry[2];
  *type = entry[1];
}

// A mapped page must repeat its logical number and type in its header.
int header_matches(const FileLayout& layout, const uint8_t* header, uint32_t logical, uint32_t type) {
  if (layout.family == FamilyV8) return read_u32(header) == logical && read_u16(header + 4) == type;
  uint32_t header_logical = (static_cast<uint32_t>(header[0]) << 16) | read_u16(header + 2);
  return header_logical == logical && header[1] == type;
}

constexpr uint32_t HEADER_READ = 16;  // the longest page header, a variable page's in 8.x

// Finds the physical page of a logical page of the wanted type and checks
// its header; `header` receives the page's first HEADER_READ bytes.
int16_t map_page_of_type(OpenFile* file, uint32_t logical, uint32_t wanted_type, uint64_t* physical,
                         uint8_t* header) {
  uint32_t type = 0;
  int16_t status = page_map_lookup(file, logical, physical, &type);
  if (status != STATUS_SUCCESS) return status;
  if (type != wanted_type) return STATUS_PAGE_NOT_DATA;
  if (*physical >= file->layout.page_count) return STATUS_IO_ERROR;
  if (!source_read(file, *physical * file->layout.page_size, header, HEADER_READ)) return STATUS_IO_ERROR;
  return header_matches(file->layout, header, logical, wanted_type) ? STATUS_SUCCESS : STATUS_IO_ERROR;
}

// 5.x files have no tables: data pages carry bit 7 in header byte 5.
int16_t load_v5_data_page(OpenFile* file, uint32_t page) {
  if (page == 0 || page >= file->layout.page_count) return STATUS_PAGE_NOT_DATA;
  if (!read_physical_pages(file, page, file->data_page.bytes, 1)) return STATUS_IO_ERROR;
  if (!(file->data_page.bytes[5] & 0x80)) return STATUS_PAGE_NOT_DATA;
  return mark_deleted_slots(file, page);
}

}  // namespace

int source_read(OpenFile* file, uint64_t offset, void* buffer, uint32_t length) {
  return file->source.read_at(file->source.context, offset, buffer, length);
}

int read_physical_pages(OpenFile* file, uint64_t physical, uint8_t* out, uint32_t count) {
  uint64_t page_size = file->layout.page_size;
  if (physical >= file->layout.page_count || file->layout.page_count - physical < count) return 0;
  return source_read(file, physical * page_size, out, static_cast<uint32_t>(page_size * count));
}

uint32_t next_table_start(const FileLayout& layout, uint32_t logical) {
  if (layout.family == FamilyV5 || logical == 0) return logical + 1;
  uint64_t next = (static_cast<uint64_t>((logical - 1) / layout.pat_entries) + 1) * layout.pat_entries + 1;
  return next > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(next);
}

int table_is_cached(const OpenFile* file, uint32_t table) {
  for (const PatCache& cache : file->pats) {
    if (cache.loaded && cache.table == table) return 1;
  }
  return 0;
}

int16_t page_map_lookup(OpenFile* file, uint32_t logical, uint64_t* physical, uint32_t* type) {
  const FileLayout& layout = file->layout;
  if (logical == 0 || logical >= layout.logical_page_limit) return STATUS_PAGE_NOT_DATA;
  uint32_t table = (logical - 1) / layout.pat_entries;
  uint32_t index = (logical - 1) % layout.pat_entries + 1;
  const uint8_t* bytes = nullptr;
  int16_t status = load_pat(file, table, &bytes);
  if (status != STATUS_SUCCESS) return status;
  decode_pat_entry(layout, bytes, index, physical, type);
  return STATUS_SUCCESS;
}

int16_t load_data_page(OpenFile* file, uint32_t page) {
  if (file->data_page.loaded && file->data_page.page == page) return STATUS_SUCCESS;
  file->data_page.loaded = 0;
  int16_t status;
  if (file->layout.family == FamilyV5) {
    status = load_v5_data_page(file, page);
  } else {
    uint64_t physical = 0;
    uint8_t header[HEADER_READ];
    status = map_page_of_type(file, page, PAGE_TYPE_DATA, &physical, header);
    if (status == STATUS_SUCCESS && !read_physical_pages(file, physical, file->data_page.bytes, 1)) {
      status = STATUS_IO_ERROR;
    }
  }
  if (status != STATUS_SUCCESS) return status;
  file->data_page.loaded = 1;
  file->data_page.page = page;
  return STATUS_SUCCESS;
}

// Only the header and fragment count are read here; payload bytes are read
// straight to their destination, so a variable page is never copied whole.
int16_t load_var_page(OpenFile* file, uint32_t page) {
  if (file->var_page.loaded && file->var_page.page == page) return STATUS_SUCCESS;
  file->var_page.loaded = 0;
  const FileLayout& layout = file->layout;
  uint64_t physical = page;
  uint8_t header[HEADER_READ];
  if (layout.family != FamilyV5) {
    int16_t status = map_page_of_type(file, page, PAGE_TYPE_VARIABLE, &physical, header);
    if (status != STATUS_SUCCESS) return STATUS_IO_ERROR;  // a tail pointer to anything else is damage
  } else if (physical == 0 || physical >= layout.page_count ||
             !source_read(file, physical * layout.page_size, header, HEADER_READ)) {
    return STATUS_IO_ERROR;
  }
  file->var_page.fragment_count = read_u16(header + layout.var_header_size - 2);
  file->var_page.physical = physical;
  file->var_page.page = page;
  file->var_page.loaded = 1;
  return STATUS_SUCCESS;
}

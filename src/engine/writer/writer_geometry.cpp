// Page geometry of the two file formats the writer produces.
#include "engine/writer/writer_state.h"

static uint32_t slot_bits_for(uint32_t slots_per_page) {
  // The slot index field is wide enough for every slot and never narrower
  // than 4 bits.
  uint32_t bits = 4;
  while ((1u << bits) <= slots_per_page) bits++;
  return bits;
}

static void derive_version6(uint32_t page_size, uint32_t fixed_length, WriterGeometry* g) {
  g->page_header_size = 6;
  g->pointer_size = 4;
  g->variable_header_size = 12;
  g->slot_length = 2 + fixed_length + 4;
  g->slots_per_page = (page_size - 6) / g->slot_length;
  g->pat_capacity = page_size / 4 - 2;
  g->pat_pages = 1;
  g->fcr_pages = 1;
  g->slot_bits = 0;
  // Pointers carry 24 bits of page number and FF FF FF means "none".
  g->max_logical_page = 0xFFFFFEu;
}

static void derive_version8(uint32_t page_size, uint32_t fixed_length, WriterGeometry* g) {
  g->page_header_size = 8;
  g->pointer_size = 6;
  g->variable_header_size = 16;
  g->slot_length = 2 + fixed_length + 6;
  g->slots_per_page = (page_size - 8) / g->slot_length;
  g->pat_capacity = 5 * page_size / 16 - 4;
  g->pat_pages = 2;
  g->fcr_pages = 2;
  g->slot_bits = slot_bits_for(g->slots_per_page);
  // Record addresses keep 32 - slot_bits bits of page number.
  g->max_logical_page = (1u << (32 - g->slot_bits)) - 1;
}

int writer_derive_geometry(const BtrieveWriterOptions& options, WriterGeometry* geometry) {
  uint32_t page_size = options.page_size;
  if (page_size < 512 || page_size > WRITER_MAX_PAGE || page_size % 512 != 0) return 0;
  geometry->page_size = page_size;
  geometry->version8 = options.format_version8 ? 1 : 0;
  if (geometry->version8)
    derive_version8(page_size, options.fixed_length, geometry);
  else
    derive_version6(page_size, options.fixed_length, geometry);
  return geometry->slots_per_page >= 1 ? 1 : 0;
}

uint32_t writer_pat_physical(const WriterGeometry& geometry, uint32_t pat_number) {
  if (geometry.version8) return 8 + pat_number * (geometry.pat_capacity + 4);
  return 2 + pat_number * (geometry.page_size / 4);
}

uint32_t writer_first_data_physical(const WriterGeometry& geometry) {
  return writer_pat_physical(geometry, 0) + 2 * geometry.pat_pages;
}

int writer_is_control_physical(const WriterGeometry& geometry, uint32_t physical) {
  uint32_t first_pat = writer_pat_physical(geometry, 0);
  if (physical < first_pat) return 1;
  uint32_t group = writer_pat_physical(geometry, 1) - first_pat;
  return (physical - first_pat) % group < 2 * geometry.pat_pages ? 1 : 0;
}

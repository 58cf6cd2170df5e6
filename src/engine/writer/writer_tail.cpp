// Variable tails: chains of fragments on 'V' pages. A tail is cut into
// whole-page fragments plus one remainder; remainders of several records
// share 'V' pages. The remainder comes first in the chain so that its next
// pointer can name the whole page that is allocated right after it.
#include <cstring>

#include "engine/writer/writer_state.h"

// Payload of the only fragment on an otherwise empty 'V' page (directory of
// two entries: the fragment and the end of used space).
static uint32_t whole_page_payload(const WriterGeometry& g) {
  return g.page_size - g.variable_header_size - g.pointer_size - 4;
}

static uint8_t* directory_entry(const WriterGeometry& g, uint8_t* page, uint32_t index) {
  return page + g.page_size - 2 * (index + 1);
}

static void set_fragment_count(const WriterGeometry& g, uint8_t* page, uint32_t count) {
  put_u16(page + g.variable_header_size - 2, count);
}

// Directory entries a new fragment takes: its own, and a hole before it
// when the options ask for holes.
static uint32_t entries_per_fragment(const BtrieveWriter* writer) {
  return writer->options.directory_holes ? 2 : 1;
}

static int shared_page_has_room(const BtrieveWriter* writer, uint32_t payload) {
  const WriterGeometry& g = writer->geometry;
  if (!writer->shared_variable_page.open) return 0;
  uint32_t entries = writer->shared_fragments + entries_per_fragment(writer);
  if (entries > WRITER_MAX_FRAGMENTS) return 0;
  uint32_t directory_start = g.page_size - 2 * (entries + 1);
  return writer->shared_free_offset + g.pointer_size + payload <= directory_start ? 1 : 0;
}

static int make_room_on_shared_page(BtrieveWriter* writer, uint32_t payload) {
  if (shared_page_has_room(writer, payload)) return 1;
  if (!writer_flush_page(writer, &writer->shared_variable_page)) return 0;
  if (!writer_open_page(writer, &writer->shared_variable_page, PAGE_TYPE_VARIABLE)) return 0;
  writer->shared_fragments = 0;
  writer->shared_free_offset = writer->geometry.variable_header_size;
  return 1;
}

// Appends one fragment to the shared page; `*where` receives its pointer.
static int put_shared_fragment(BtrieveWriter* writer, const uint8_t* payload, uint32_t length,
                               FragmentPointer next, FragmentPointer* where) {
  const WriterGeometry& g = writer->geometry;
  if (!make_room_on_shared_page(writer, length)) return 0;
  uint8_t* page = writer->shared_variable_page.bytes;
  uint32_t index = writer->shared_fragments;
  if (writer->options.directory_holes) put_u16(directory_entry(g, page, index++), 0xFFFF);
  uint32_t offset = writer->shared_free_offset;
  put_fragment_pointer(g, page + offset, next);
  std::memcpy(page + offset + g.pointer_size, payload, length);
  put_u16(directory_entry(g, page, index), offset);
  writer->shared_fragments = static_cast<uint16_t>(index + 1);
  writer->shared_free_offset = offset + g.pointer_size + length;
  put_u16(directory_entry(g, page, index + 1), writer->shared_free_offset);
  set_fragment_count(g, page, index + 1);
  *where = FragmentPointer{writer->shared_variable_page.logical, index, 0};
  return 1;
}

// Writes `count` pages of one fragment each, chained in allocation order.
static int put_whole_pages(BtrieveWriter* writer, const uint8_t* tail, uint64_t count) {
  const WriterGeometry& g = writer->geometry;
  uint32_t payload = whole_page_payload(g);
  OpenPage* page = &writer->whole_page;
  for (uint64_t k = 0; k < count; k++) {
    if (!writer_open_page(writer, page, PAGE_TYPE_VARIABLE)) return 0;
    // Logical pages are handed out one after another, so the next fragment
    // lies on the next logical page.
    FragmentPointer next{page->logical + 1, 0, k + 1 == count ? 1 : 0};
    uint32_t offset = g.variable_header_size;
    put_fragment_pointer(g, page->bytes + offset, next);
    std::memcpy(page->bytes + offset + g.pointer_size, tail + k * payload, payload);
    put_u16(directory_entry(g, page->bytes, 0), offset);
    put_u16(directory_entry(g, page->bytes, 1), offset + g.pointer_size + payload);
    set_fragment_count(g, page->bytes, 1);
    if (!writer_flush_page(writer, page)) return 0;
  }
  return 1;
}

int writer_store_tail(BtrieveWriter* writer, const uint8_t* tail, uint64_t length, FragmentPointer* first) {
  *first = FragmentPointer{0, 0, 1};
  if (length == 0) return 1;
  uint32_t payload = whole_page_payload(writer->geometry);
  uint64_t whole_pages = length / payload;
  uint32_t remainder = static_cast<uint32_t>(length % payload);
  if (remainder > 0) {
    if (!make_room_on_shared_page(writer, remainder)) return 0;
    FragmentPointer next{writer->next_logical, 0, whole_pages == 0 ? 1 : 0};
    if (!put_shared_fragment(writer, tail, remainder, next, first)) return 0;
  } else {
    *first = FragmentPointer{writer->next_logical, 0, 0};
  }
  return put_whole_pages(writer, tail + remainder, whole_pages);
}

int writer_flush_shared_variable_page(BtrieveWriter* writer) {
  return writer_flush_page(writer, &writer->shared_variable_page);
}

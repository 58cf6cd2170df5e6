// The file control record (FCR) pair, written last because it holds the
// final counts.
#include <cstring>

#include "engine/writer/writer_state.h"

constexpr uint16_t FILE_FLAG_VARIABLE = 0x0001;

struct FcrCounts {
  uint32_t records;
  uint32_t pages_in_use;   // highest logical page + 1, logical page 0 included
  uint32_t first_free;     // 8.x only
};

static void fill_fcr_version6(const WriterGeometry& g, const BtrieveWriterOptions& o, uint8_t* fcr,
                              uint32_t usage, const FcrCounts& counts) {
  std::memcpy(fcr, "FC\0\0", 4);
  put_u32(fcr + 0x04, usage);
  put_u16(fcr + 0x08, g.page_size);
  put_u16(fcr + 0x14, 0);
  put_u16(fcr + 0x16, o.fixed_length);
  put_u16(fcr + 0x18, g.slot_length);
  put_u32_word_swapped(fcr + 0x1A, counts.records);
  put_u32_word_swapped(fcr + 0x26, counts.pages_in_use);
  fcr[0x38] = 0xFF;
  put_u16(fcr + 0x4A, 0x0600);
  put_u16(fcr + 0x106, FILE_FLAG_VARIABLE);
}

static void fill_fcr_version8(const WriterGeometry& g, const BtrieveWriterOptions& o, uint8_t* fcr,
                              uint32_t usage, const FcrCounts& counts) {
  std::memcpy(fcr, "FC\0\0", 4);
  put_u16(fcr + 0x04, 0x0043);
  put_u16(fcr + 0x06, usage);
  put_u16(fcr + 0x14, 0);
  put_u16(fcr + 0x16, o.fixed_length);
  put_u16(fcr + 0x18, g.slot_length);
  put_u32_word_swapped(fcr + 0x1A, counts.records);
  put_u32_word_swapped(fcr + 0x26, counts.pages_in_use);
  put_u16(fcr + 0x2A, g.page_size);
  fcr[0x38] = 0xFF;
  put_u16(fcr + 0x4A, 0x0800);
  put_u32(fcr + 0xA0, counts.first_free);
  fcr[0x15F] = static_cast<uint8_t>(g.slot_bits);
  put_u16(fcr + 0x190, FILE_FLAG_VARIABLE);
}

static int write_fcr_copy(BtrieveWriter* writer, uint32_t physical, uint32_t usage, const FcrCounts& counts) {
  const WriterGeometry& g = writer->geometry;
  uint8_t* fcr = writer->scratch;
  std::memset(fcr, 0, g.fcr_pages * g.page_size);
  if (g.version8)
    fill_fcr_version8(g, writer->options, fcr, usage, counts);
  else
    fill_fcr_version6(g, writer->options, fcr, usage, counts);
  return writer_write_physical(writer, physical, fcr, g.fcr_pages);
}

int writer_write_fcr_pair(BtrieveWriter* writer) {
  const WriterGeometry& g = writer->geometry;
  FcrCounts current{writer->record_count, writer->next_logical,
                    writer->has_free_slot ? writer->free_slot_head : 0xFFFFFFFFu};
  // As the file was right after it was created: no records, no pages.
  FcrCounts older = writer->options.stale_older_copies ? FcrCounts{0, 1, 0xFFFFFFFFu} : current;
  uint32_t current_at = writer->options.current_copy_first ? 0 : g.fcr_pages;
  uint32_t older_at = writer->options.current_copy_first ? g.fcr_pages : 0;
  if (!write_fcr_copy(writer, current_at, 2, current)) return 0;
  return write_fcr_copy(writer, older_at, 1, older);
}

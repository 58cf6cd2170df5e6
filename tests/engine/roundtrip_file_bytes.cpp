// The writer's files byte by byte: control records, page tables, page
// headers and free-slot chains where the format puts them, whatever a
// lenient reader would accept.
#include <gtest/gtest.h>

#include "roundtrip_helpers.h"
#include "support/test_support.h"

namespace {

uint32_t u16(const std::vector<uint8_t>& f, size_t at) { return f.at(at) | f.at(at + 1) << 8; }
uint32_t u32(const std::vector<uint8_t>& f, size_t at) { return u16(f, at) | u16(f, at + 2) << 16; }
uint32_t word_swapped(const std::vector<uint8_t>& f, size_t at) { return u16(f, at) << 16 | u16(f, at + 2); }

// Records of 30, 25 and 20 bytes with deleted slots after the first two.
std::vector<RtSlot> mixed_slots() {
  return {rt_record(30, 1), rt_deleted(), rt_record(25, 2), rt_deleted(), rt_record(20, 3)};
}

std::vector<uint8_t> write_and_read(const BtrieveWriterOptions& o, const std::vector<RtSlot>& slots) {
  TempDir dir;
  EXPECT_EQ(rt_write_file(dir.file("f.dat"), o, slots, nullptr), 1);
  return read_file_bytes(dir.file("f.dat"));
}

TEST(WriterFileBytes, Version6ControlPagesAndChains) {
  for (int current_first : {0, 1}) {
    SCOPED_TRACE(current_first ? "newer copies first" : "newer copies second");
    BtrieveWriterOptions o;
    o.page_size = 512;
    o.fixed_length = 20;
    o.current_copy_first = current_first;
    std::vector<uint8_t> f = write_and_read(o, mixed_slots());
    size_t fcr = current_first ? 0 : 512, older_fcr = current_first ? 512 : 0;
    EXPECT_EQ(u32(f, fcr), 0x4346u);
    EXPECT_EQ(u32(f, fcr + 4), 2u);
    EXPECT_EQ(u32(f, older_fcr + 4), 1u);
    EXPECT_EQ(u16(f, fcr + 0x08), 512u);
    EXPECT_EQ(u16(f, fcr + 0x14), 0u);
    EXPECT_EQ(u16(f, fcr + 0x16), 20u);
    EXPECT_EQ(u16(f, fcr + 0x18), 26u);
    EXPECT_EQ(word_swapped(f, fcr + 0x1A), 3u);
    EXPECT_EQ(word_swapped(f, fcr + 0x26), 3u) << "logical 0, the data page and one 'V' page";
    EXPECT_EQ(f[fcr + 0x38], 0xFF);
    EXPECT_EQ(u16(f, fcr + 0x4A), 0x0600u);
    EXPECT_EQ(u16(f, fcr + 0x106), 1u);
    size_t pat = current_first ? 2 * 512 : 3 * 512;
    EXPECT_EQ(std::string(f.begin() + pat, f.begin() + pat + 2), "PP");
    EXPECT_EQ(u16(f, pat + 2), 1u);
    EXPECT_EQ(u32(f, pat + 4), 2u);
    // Entries [page bits 16-23][type][bits 0-7][bits 8-15]: logical 1 -> 4, 2 -> 5.
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + pat + 8, f.begin() + pat + 16),
              (std::vector<uint8_t>{0, 0x44, 4, 0, 0, 0x56, 5, 0}));
    EXPECT_EQ(f[pat + 17], 0) << "logical 3 is not in use";
    size_t data = 4 * 512;
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + data, f.begin() + data + 6),
              (std::vector<uint8_t>{0, 0x44, 1, 0, 0x01, 0x80}));
    // Deleted slots 1 and 3 (addresses 544 and 596); the later names the earlier.
    EXPECT_EQ(u16(f, data + 6 + 26), 0u);
    EXPECT_EQ(u32(f, data + 6 + 26 + 2), 0xFFFFFFFFu);
    EXPECT_EQ(u16(f, data + 6 + 3 * 26), 0u);
    EXPECT_EQ(word_swapped(f, data + 6 + 3 * 26 + 2), 544u);
    EXPECT_EQ(u16(f, data + 6 + 4 * 26), 1u);
    EXPECT_EQ(u32(f, data + 6 + 4 * 26 + 22), 0xFFFFFFFFu) << "a record with no tail";
  }
}

TEST(WriterFileBytes, Version8ControlPagesAndChains) {
  BtrieveWriterOptions o;
  o.page_size = 1024;
  o.fixed_length = 20;
  o.format_version8 = 1;
  std::vector<uint8_t> f = write_and_read(o, mixed_slots());
  size_t fcr = 2 * 1024;
  EXPECT_EQ(u32(f, fcr), 0x4346u);
  EXPECT_EQ(u16(f, fcr + 4), 0x43u);
  EXPECT_EQ(u16(f, fcr + 6), 2u);
  EXPECT_EQ(u16(f, 6), 1u);
  EXPECT_EQ(u16(f, fcr + 0x16), 20u);
  EXPECT_EQ(u16(f, fcr + 0x18), 28u);
  EXPECT_EQ(word_swapped(f, fcr + 0x1A), 3u);
  EXPECT_EQ(word_swapped(f, fcr + 0x26), 3u);
  EXPECT_EQ(u16(f, fcr + 0x2A), 1024u);
  EXPECT_EQ(u16(f, fcr + 0x4A), 0x0800u);
  // 36 slots a page: 6 bits of slot index; the last freed slot is slot 3.
  EXPECT_EQ(f[fcr + 0x15F], 6);
  EXPECT_EQ(u32(f, fcr + 0xA0), (1u << 6) | 3);
  EXPECT_EQ(u16(f, fcr + 0x190), 1u);
  size_t pat = 10 * 1024;
  EXPECT_EQ(u32(f, pat) & 0xFFFFFF, 1u);
  EXPECT_EQ(std::string(f.begin() + pat + 3, f.begin() + pat + 5), "PP");
  EXPECT_EQ(u16(f, pat + 6), 2u);
  EXPECT_EQ(u16(f, 8 * 1024 + 6), 1u);
  EXPECT_EQ(u32(f, pat + 20), 12u);
  EXPECT_EQ(u16(f, pat + 24), 0x44u);
  EXPECT_EQ(u32(f, pat + 26), 13u);
  EXPECT_EQ(u16(f, pat + 30), 0x56u);
  EXPECT_EQ(u32(f, pat + 32), 0xFFFFFFFEu);
  size_t data = 12 * 1024;
  EXPECT_EQ(u32(f, data), 1u);
  EXPECT_EQ(u16(f, data + 4), 0x44u);
  EXPECT_EQ(u16(f, data + 6), 0x8001u);
  EXPECT_EQ(u32(f, data + 8 + 3 * 28 + 2), (1u << 6) | 1);
}

TEST(WriterFileBytes, EveryPageTableSitsAtItsPlace) {
  struct Case {
    int version8;
    uint32_t capacity;
    uint32_t pages_per_copy;
    uint32_t (*place)(uint32_t);
  };
  const Case cases[] = {{0, 126, 1, [](uint32_t n) { return 2 + n * 128; }},
                        {1, 156, 2, [](uint32_t n) { return 8 + n * 160; }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version8 ? "8.0" : "6.0");
    BtrieveWriterOptions o;
    o.page_size = 512;
    o.fixed_length = 20;
    o.format_version8 = c.version8;
    std::vector<RtSlot> slots;
    for (uint32_t i = 0; i < 400; i++) slots.push_back(rt_record(600, i));
    std::vector<uint8_t> f = write_and_read(o, slots);
    size_t fcr = c.version8 ? 2 * 512 : 512;
    uint32_t pages = word_swapped(f, fcr + 0x26);
    uint32_t tables = (pages - 1 + c.capacity - 1) / c.capacity;
    ASSERT_GE(tables, 3u);
    for (uint32_t n = 0; n < tables; n++) {
      SCOPED_TRACE("table " + std::to_string(n));
      for (uint32_t copy = 0; copy < 2; copy++) {
        size_t at = (c.place(n) + copy * c.pages_per_copy) * 512;
        ASSERT_LT(at + 8, f.size());
        if (c.version8) {
          EXPECT_EQ(std::string(f.begin() + at + 3, f.begin() + at + 5), "PP");
          EXPECT_EQ(u32(f, at) & 0xFFFFFF, n + 1);
        } else {
          EXPECT_EQ(std::string(f.begin() + at, f.begin() + at + 2), "PP");
          EXPECT_EQ(u16(f, at + 2), n + 1);
        }
      }
    }
  }
}

TEST(WriterFileBytes, StaleDataPageIsUnmappedTwinOfTheFirst) {
  BtrieveWriterOptions o;
  o.page_size = 512;
  o.fixed_length = 20;
  o.stale_data_page = 1;
  std::vector<uint8_t> f = write_and_read(o, mixed_slots());
  std::vector<uint32_t> twins;
  for (uint32_t p = 4; (p + 1) * 512 <= f.size(); p++)
    if (f[p * 512] == 0 && f[p * 512 + 1] == 0x44 && u16(f, p * 512 + 2) == 1) twins.push_back(p);
  ASSERT_EQ(twins.size(), 2u);
  size_t pat = 3 * 512;
  uint32_t mapped = f[pat + 10], unused = f[pat + 18];
  EXPECT_EQ(f[pat + 9], 0x44);
  EXPECT_EQ(f[pat + 17], 0);
  EXPECT_NE(mapped, unused);
  EXPECT_TRUE(unused == twins[0] || unused == twins[1]) << "an unused entry names the stale page";
  EXPECT_EQ(u16(f, mapped * 512 + 6 + 26), 0u) << "the mapped page keeps its deleted slot";
  EXPECT_EQ(u16(f, unused * 512 + 6 + 26), 1u) << "the stale page shows it live";
}

TEST(WriterFileBytes, DirectoryHolesPrecedeSharedFragments) {
  BtrieveWriterOptions o;
  o.page_size = 512;
  o.fixed_length = 20;
  o.directory_holes = 1;
  std::vector<uint8_t> f = write_and_read(o, mixed_slots());
  // The shared 'V' page (physical 5) holds the 10- and 5-byte tails as
  // fragments 1 and 3, each after a hole; entry 4 ends the used space.
  size_t v = 5 * 512;
  EXPECT_EQ(u16(f, v + 10), 4u);
  EXPECT_EQ(u16(f, v + 512 - 2), 0xFFFFu);
  EXPECT_EQ(u16(f, v + 512 - 4), 12u);
  EXPECT_EQ(u16(f, v + 512 - 6), 0xFFFFu);
  EXPECT_EQ(u16(f, v + 512 - 8), 12u + 4 + 10);
  EXPECT_EQ(u16(f, v + 512 - 10), 12u + 4 + 10 + 4 + 5);
  // The first record's slot points at fragment 1 of logical page 2.
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 4 * 512 + 6 + 22, f.begin() + 4 * 512 + 6 + 26),
            (std::vector<uint8_t>{0, 2, 0, 1}));
}

TEST(WriterFileBytes, JunkPagesFollowTheLastPage) {
  BtrieveWriterOptions o;
  o.page_size = 512;
  o.fixed_length = 20;
  size_t plain = write_and_read(o, mixed_slots()).size();
  o.junk_pages = 3;
  std::vector<uint8_t> f = write_and_read(o, mixed_slots());
  ASSERT_EQ(f.size(), plain + 3 * 512);
  for (size_t p = plain / 512; p < f.size() / 512; p++)
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + p * 512, f.begin() + p * 512 + 4), (std::vector<uint8_t>{0, 0x44, 1, 0}));
}

}  // namespace

// File shapes: deleted slots, several page allocation tables, empty files,
// stale control copies and stale data pages.
#include <gtest/gtest.h>

#include "roundtrip_helpers.h"
#include "support/test_support.h"

namespace {

BtrieveWriterOptions small_pages(int version8) {
  BtrieveWriterOptions o;
  o.page_size = 512;
  o.fixed_length = 20;
  o.format_version8 = version8;
  return o;
}

TEST(RoundTripLayout, DeletedSlotsAreSkipped) {
  for (int version8 : {0, 1}) {
    SCOPED_TRACE(version8 ? "8.0" : "6.0");
    // 512-byte pages with 20-byte records hold 18 (6.0) or 17 (8.0) slots:
    // deleted slots first, in the middle, at page ends and a whole page of them.
    std::vector<RtSlot> slots = {rt_deleted(), rt_record(30, 1), rt_deleted(), rt_deleted(), rt_record(700, 2)};
    for (int i = 0; i < 40; i++) slots.push_back(rt_deleted());
    for (int i = 0; i < 30; i++) slots.push_back(i % 3 == 0 ? rt_deleted() : rt_record(20 + i, 100 + i));
    slots.push_back(rt_deleted());
    TempDir dir;
    std::vector<RtWritten> written;
    ASSERT_EQ(rt_write_file(dir.file("deleted.dat"), small_pages(version8), slots, &written), 1);
    ASSERT_EQ(written.size(), 22u);
    rt_expect_round_trip(dir.file("deleted.dat"), written);
  }
}

TEST(RoundTripLayout, SeveralPageAllocationTables) {
  for (int version8 : {0, 1}) {
    SCOPED_TRACE(version8 ? "8.0" : "6.0");
    // 512-byte pages: one table maps 126 (6.0) or 156 (8.0) pages; these
    // records need well over 600 pages.
    std::vector<RtSlot> slots;
    for (uint32_t i = 0; i < 700; i++) slots.push_back(rt_record(20 + (i * 37) % 900, i));
    TempDir dir;
    std::vector<RtWritten> written;
    ASSERT_EQ(rt_write_file(dir.file("pats.dat"), small_pages(version8), slots, &written), 1);
    // Past four tables in either format (a 6.0 group is 128 pages, an 8.0 group 160).
    EXPECT_GT(read_file_bytes(dir.file("pats.dat")).size(), 4u * 160 * 512);
    rt_expect_round_trip(dir.file("pats.dat"), written);
  }
}

TEST(RoundTripLayout, EmptyFileEndsAtOnce) {
  for (int version8 : {0, 1}) {
    SCOPED_TRACE(version8 ? "8.0" : "6.0");
    TempDir dir;
    ASSERT_EQ(rt_write_file(dir.file("empty.dat"), small_pages(version8), {}, nullptr), 1);
    RtFile file(dir.file("empty.dat"));
    ASSERT_EQ(file.status, 0);
    EXPECT_EQ(step(file.block, OP_STEP_FIRST, RT_BUFFER).status, STATUS_EOF);
    EXPECT_EQ(step(file.block, OP_STEP_NEXT, RT_BUFFER).status, STATUS_EOF);
  }
}

struct ShapeCase {
  const char* name;
  int current_copy_first;
  int stale_older_copies;
  int stale_data_page;
  int directory_holes;
  uint32_t junk_pages;
};

// A reader that takes the wrong FCR or PAT copy, or scans physical pages,
// sees no records or records that were never written; one that does not
// skip FFFF directory entries cuts tails short.
const ShapeCase kShapes[] = {
    {"older copies stale, newer second", 0, 1, 0, 0, 0},
    {"older copies stale, newer first", 1, 1, 0, 0, 0},
    {"stale data page", 0, 0, 1, 0, 0},
    {"directory holes", 0, 0, 0, 1, 0},
    {"junk pages after the end", 0, 0, 0, 0, 4},
    {"all at once", 1, 1, 1, 1, 3},
};

TEST(RoundTripLayout, ReaderFollowsCurrentCopiesOnly) {
  for (int version8 : {0, 1}) {
    for (const ShapeCase& shape : kShapes) {
      SCOPED_TRACE(std::string(version8 ? "8.0, " : "6.0, ") + shape.name);
      BtrieveWriterOptions o = small_pages(version8);
      o.current_copy_first = shape.current_copy_first;
      o.stale_older_copies = shape.stale_older_copies;
      o.stale_data_page = shape.stale_data_page;
      o.directory_holes = shape.directory_holes;
      o.junk_pages = shape.junk_pages;
      std::vector<RtSlot> slots;
      for (uint32_t i = 0; i < 300; i++) slots.push_back(i % 7 == 3 ? rt_deleted() : rt_record(20 + i * 3, i));
      TempDir dir;
      std::vector<RtWritten> written;
      ASSERT_EQ(rt_write_file(dir.file("shape.dat"), o, slots, &written), 1);
      rt_expect_round_trip(dir.file("shape.dat"), written);
    }
  }
}

}  // namespace

// What the writer refuses, and that a refused record leaves it usable.
#include <gtest/gtest.h>

#include "roundtrip_helpers.h"
#include "support/test_support.h"

namespace {

TEST(WriterOptions, UnusableOptionsMakeNoWriter) {
  struct Case {
    uint16_t page_size;
    uint16_t fixed_length;
    int version8;
  };
  // Page sizes off the 512 grid or out of range; fixed parts that leave no
  // room for one slot on a page.
  const Case cases[] = {{0, 20, 0},    {256, 20, 0},  {1000, 20, 0}, {4608, 20, 0},
                        {8192, 20, 1}, {512, 501, 0}, {512, 497, 1}, {4096, 4085, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.page_size) + "/" + std::to_string(c.fixed_length));
    TempDir dir;
    BtrieveWriterOptions o;
    o.page_size = c.page_size;
    o.fixed_length = c.fixed_length;
    o.format_version8 = c.version8;
    EXPECT_EQ(btrieve_writer_create(dir.file("x.dat").c_str(), o), nullptr);
  }
}

TEST(WriterOptions, LargestFixedPartStillFits) {
  // One slot of 2 + fixed + pointer bytes after the page header.
  for (int version8 : {0, 1}) {
    TempDir dir;
    BtrieveWriterOptions o;
    o.page_size = 512;
    o.format_version8 = version8;
    o.fixed_length = static_cast<uint16_t>(version8 ? 512 - 8 - 2 - 6 : 512 - 6 - 2 - 4);
    std::vector<RtWritten> written;
    ASSERT_EQ(rt_write_file(dir.file("x.dat"), o, {rt_record(o.fixed_length, 1), rt_record(3000, 2)}, &written),
              1);
    rt_expect_round_trip(dir.file("x.dat"), written);
  }
}

TEST(WriterOptions, MissingFolderMakesNoWriter) {
  TempDir dir;
  EXPECT_EQ(btrieve_writer_create(dir.file("no/such/x.dat").c_str(), BtrieveWriterOptions{}), nullptr);
}

TEST(WriterOptions, RecordShorterThanTheFixedPartIsRefusedAlone) {
  TempDir dir;
  BtrieveWriterOptions o;
  o.page_size = 1024;
  o.fixed_length = 20;
  BtrieveWriter* writer = btrieve_writer_create(dir.file("x.dat").c_str(), o);
  ASSERT_NE(writer, nullptr);
  std::vector<uint8_t> shorter = pattern_bytes(19, 1), right = pattern_bytes(40, 2);
  EXPECT_EQ(btrieve_writer_add(writer, shorter.data(), shorter.size()), 0);
  uint32_t address = btrieve_writer_next_address(writer);
  EXPECT_EQ(btrieve_writer_add(writer, right.data(), right.size()), 1);
  ASSERT_EQ(btrieve_writer_finish(writer), 1);
  rt_expect_round_trip(dir.file("x.dat"), {RtWritten{right, address}});
}

}  // namespace

// Statuses at the edges: chunk offsets at and past a record's end, bad
// addresses, the end of the file, missing and foreign files.
#include <gtest/gtest.h>

#include "roundtrip_helpers.h"
#include "support/test_support.h"

namespace {

class RoundTripStatuses : public ::testing::Test {
 protected:
  void SetUp() override {
    BtrieveWriterOptions o;
    o.page_size = 1024;
    o.fixed_length = 20;
    std::vector<RtSlot> slots = {rt_record(1000, 7), rt_deleted(), rt_record(60000, 8)};
    ASSERT_EQ(rt_write_file(dir_.file("s.dat"), o, slots, &written_), 1);
    deleted_address_ = written_[0].address + 2 + 20 + 4;
  }
  TempDir dir_;
  std::vector<RtWritten> written_;
  uint32_t deleted_address_ = 0;
};

TEST_F(RoundTripStatuses, ChunkAtAndPastTheEnd) {
  RtFile file(dir_.file("s.dat"));
  ASSERT_EQ(file.status, 0);
  ASSERT_EQ(step(file.block, OP_STEP_FIRST, RT_BUFFER).status, 0);
  uint32_t address = written_[0].address;
  ChunkResult at_end = read_chunk(file.block, address, 1000, 100, 100);
  EXPECT_EQ(at_end.status, 0);
  EXPECT_EQ(at_end.data.size(), 0u);
  EXPECT_EQ(read_chunk(file.block, address, 1001, 100, 100).status, STATUS_OFFSET_TOO_BIG);
  EXPECT_EQ(read_chunk(file.block, address, 0x7FFFFFFF, 100, 100).status, STATUS_OFFSET_TOO_BIG);
  // A chunk running past the end is cut at the end.
  ChunkResult cut = read_chunk(file.block, address, 990, 100, 100);
  ASSERT_EQ(cut.status, 0);
  EXPECT_EQ(cut.data, std::vector<uint8_t>(written_[0].bytes.begin() + 990, written_[0].bytes.end()));
  ChunkResult inside = read_chunk(file.block, address, 5, 10, 24);
  ASSERT_EQ(inside.status, 0);
  EXPECT_EQ(inside.data, std::vector<uint8_t>(written_[0].bytes.begin() + 5, written_[0].bytes.begin() + 15));
}

TEST_F(RoundTripStatuses, BadAddressesAreRefused) {
  RtFile file(dir_.file("s.dat"));
  ASSERT_EQ(file.status, 0);
  ASSERT_EQ(step(file.block, OP_STEP_FIRST, RT_BUFFER).status, 0);
  uint32_t good = written_[0].address;
  // Off a slot boundary, a page header, a deleted slot, the FCR, a 'V' page,
  // a page past the end.
  const uint32_t bad[] = {good + 1, good - 6, deleted_address_, 0, 2u * 1024 + 6, 500u * 1024 + 6, 0xFFFFFFFFu};
  for (uint32_t address : bad) {
    SCOPED_TRACE("address " + std::to_string(address));
    EXPECT_EQ(read_chunk(file.block, address, 0, 100, 100).status, STATUS_BAD_ADDRESS);
  }
  EXPECT_EQ(read_chunk(file.block, good, 0, 100, 100).status, 0);
}

TEST_F(RoundTripStatuses, StepPastTheLastRecordGivesEndOfFile) {
  RtFile file(dir_.file("s.dat"));
  ASSERT_EQ(file.status, 0);
  ASSERT_EQ(step(file.block, OP_STEP_FIRST, RT_BUFFER).status, 0);
  ASSERT_EQ(step(file.block, OP_STEP_NEXT, RT_BUFFER).status, STATUS_SHORT_BUFFER);
  EXPECT_EQ(step(file.block, OP_STEP_NEXT, RT_BUFFER).status, STATUS_EOF);
  EXPECT_EQ(step(file.block, OP_STEP_NEXT, RT_BUFFER).status, STATUS_EOF);
}

TEST(RoundTripOpen, MissingAndForeignFiles) {
  TempDir dir;
  EXPECT_EQ(RtFile(dir.file("absent.dat")).status, STATUS_NOT_FOUND);
  std::vector<uint8_t> text(8192, 'x');
  write_file_bytes(dir.file("text.dat"), text);
  EXPECT_EQ(RtFile(dir.file("text.dat")).status, STATUS_NOT_BTRIEVE);
  write_file_bytes(dir.file("tiny.dat"), {'F', 'C', 0, 0});
  EXPECT_EQ(RtFile(dir.file("tiny.dat")).status, STATUS_NOT_BTRIEVE);
}

}  // namespace

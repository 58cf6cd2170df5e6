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
  ASSERT_EQ(file.open_status(), 0);
  std::vector<uint8_t> record;
  ASSERT_EQ(file.step(true, &record), 0);
  uint32_t address = written_[0].address;
  std::vector<uint8_t> chunk;
  EXPECT_EQ(file.get_chunk(address, 1000, 100, &chunk), 0);
  EXPECT_EQ(chunk.size(), 0u);
  EXPECT_EQ(file.get_chunk(address, 1001, 100, &chunk), RT_STATUS_OFFSET_TOO_BIG);
  EXPECT_EQ(file.get_chunk(address, 0x7FFFFFFF, 100, &chunk), RT_STATUS_OFFSET_TOO_BIG);
  // A chunk running past the end is cut at the end.
  ASSERT_EQ(file.get_chunk(address, 990, 100, &chunk), 0);
  EXPECT_EQ(chunk, std::vector<uint8_t>(written_[0].bytes.begin() + 990, written_[0].bytes.end()));
  ASSERT_EQ(file.get_chunk(address, 5, 10, &chunk), 0);
  EXPECT_EQ(chunk, std::vector<uint8_t>(written_[0].bytes.begin() + 5, written_[0].bytes.begin() + 15));
}

TEST_F(RoundTripStatuses, BadAddressesAreRefused) {
  RtFile file(dir_.file("s.dat"));
  ASSERT_EQ(file.open_status(), 0);
  std::vector<uint8_t> record;
  ASSERT_EQ(file.step(true, &record), 0);
  uint32_t good = written_[0].address;
  // Off a slot boundary, a page header, a deleted slot, the FCR, a 'V' page,
  // a page past the end.
  const uint32_t bad[] = {good + 1, good - 6, deleted_address_, 0, 2u * 1024 + 6, 500u * 1024 + 6, 0xFFFFFFFFu};
  for (uint32_t address : bad) {
    SCOPED_TRACE("address " + std::to_string(address));
    std::vector<uint8_t> chunk;
    EXPECT_EQ(file.get_chunk(address, 0, 100, &chunk), RT_STATUS_BAD_ADDRESS);
  }
  std::vector<uint8_t> chunk;
  EXPECT_EQ(file.get_chunk(good, 0, 100, &chunk), 0);
}

TEST_F(RoundTripStatuses, StepPastTheLastRecordGivesEndOfFile) {
  RtFile file(dir_.file("s.dat"));
  ASSERT_EQ(file.open_status(), 0);
  std::vector<uint8_t> record;
  ASSERT_EQ(file.step(true, &record), 0);
  ASSERT_EQ(file.step(false, &record), RT_STATUS_SHORT_BUFFER);
  EXPECT_EQ(file.step(false, &record), RT_STATUS_EOF);
  EXPECT_EQ(file.step(false, &record), RT_STATUS_EOF);
}

TEST(RoundTripOpen, MissingAndForeignFiles) {
  TempDir dir;
  EXPECT_EQ(RtFile(dir.file("absent.dat")).open_status(), RT_STATUS_NOT_FOUND);
  std::vector<uint8_t> text(8192, 'x');
  write_file_bytes(dir.file("text.dat"), text);
  EXPECT_EQ(RtFile(dir.file("text.dat")).open_status(), RT_STATUS_NOT_BTRIEVE);
  write_file_bytes(dir.file("tiny.dat"), {'F', 'C', 0, 0});
  EXPECT_EQ(RtFile(dir.file("tiny.dat")).open_status(), RT_STATUS_NOT_BTRIEVE);
}

}  // namespace

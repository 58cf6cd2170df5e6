// The 3.x-5.x family: deleted slots are chained from the control record
// through their first four bytes (word-swapped file offsets).
#include <gtest/gtest.h>

#include "reader_helpers.h"

namespace {

void put_swapped(std::vector<uint8_t>& bytes, uint64_t at, uint32_t value) {
  bytes.at(at) = static_cast<uint8_t>(value >> 16);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 24);
  bytes.at(at + 2) = static_cast<uint8_t>(value);
  bytes.at(at + 3) = static_cast<uint8_t>(value >> 8);
}

TEST(ReaderV5, SlotsOnTheDeletedChainAreSkipped) {
  Manifest manifest = load_manifest("VARIABLE.DAT");
  ASSERT_GE(manifest.records.size(), 4u);
  std::vector<uint8_t> bytes = load_sample("VARIABLE.DAT");
  put_swapped(bytes, 0x10, manifest.records[1].address);
  put_swapped(bytes, manifest.records[1].address, manifest.records[3].address);
  put_swapped(bytes, manifest.records[3].address, 0xFFFFFFFFu);
  PositionBlock block;
  ASSERT_EQ(open_bytes(block, bytes), 0);
  Walk walk = walk_file(block, 2000, 0);
  ASSERT_EQ(walk.records.size(), manifest.records.size() - 2);
  EXPECT_EQ(walk.records[0].address, manifest.records[0].address);
  EXPECT_EQ(sha_of(walk.records[0].data), manifest.records[0].sha256);
  EXPECT_EQ(walk.records[1].address, manifest.records[2].address);
  EXPECT_EQ(walk.records[2].address, manifest.records[4].address);
  EXPECT_EQ(read_chunk(block, manifest.records[1].address, 0, 10, 100).status, 43);
  EXPECT_EQ(read_chunk(block, manifest.records[3].address, 0, 10, 100).status, 43);
  EXPECT_EQ(read_chunk(block, manifest.records[2].address, 0, 10, 100).status, 0);
  close_file(block);
}

TEST(ReaderV5, RefusedVariants) {
  struct Case {
    const char* what;
    uint64_t at;
    uint8_t value;
  } cases[] = {
      {"needs recovery", 0x22, 0xFF},
      {"compressed", 0x106, 0x08},
      {"version 6 without a signature", 0x07, 0x06},
      {"version 2", 0x07, 0x02},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = load_sample("VARIABLE.DAT");
    bytes.at(c.at) = c.value;
    if (c.at == 0x22) bytes.at(0x23) = 0xFF;
    PositionBlock block;
    EXPECT_EQ(open_bytes(block, bytes), 30);
  }
}

}  // namespace

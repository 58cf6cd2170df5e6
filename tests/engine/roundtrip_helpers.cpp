#include "roundtrip_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

RtSlot rt_record(size_t length, uint32_t seed) {
  RtSlot slot;
  slot.bytes = pattern_bytes(length, seed);
  return slot;
}

RtSlot rt_deleted() {
  RtSlot slot;
  slot.deleted = 1;
  return slot;
}

int rt_write_file(const std::string& path, const BtrieveWriterOptions& options, const std::vector<RtSlot>& slots,
                  std::vector<RtWritten>* written) {
  BtrieveWriter* writer = btrieve_writer_create(path.c_str(), options);
  if (writer == nullptr) return 0;
  int ok = 1;
  for (const RtSlot& slot : slots) {
    uint32_t address = btrieve_writer_next_address(writer);
    if (slot.deleted) {
      ok = ok && btrieve_writer_add_deleted(writer);
      continue;
    }
    ok = ok && btrieve_writer_add(writer, slot.bytes.data(), slot.bytes.size());
    if (written != nullptr) written->push_back(RtWritten{slot.bytes, address});
  }
  return btrieve_writer_finish(writer) && ok;
}

static std::string describe(size_t index, const RtWritten& record) {
  return "record " + std::to_string(index) + " of " + std::to_string(record.bytes.size()) + " bytes";
}

void rt_expect_round_trip(const std::string& path, const std::vector<RtWritten>& expected) {
  RtFile file(path);
  ASSERT_EQ(file.status, 0);
  Walk walk = walk_file(file.block, RT_BUFFER, 0);
  ASSERT_EQ(walk.records.size(), expected.size());
  EXPECT_EQ(walk.other_statuses, std::vector<int16_t>{STATUS_EOF});
  for (size_t i = 0; i < expected.size(); i++) {
    SCOPED_TRACE(describe(i, expected[i]));
    const WalkedRecord& got = walk.records[i];
    const std::vector<uint8_t>& want = expected[i].bytes;
    bool long_record = want.size() > RT_BUFFER;
    EXPECT_EQ(got.status, long_record ? STATUS_SHORT_BUFFER : 0);
    size_t prefix = std::min<size_t>(want.size(), RT_BUFFER);
    ASSERT_EQ(got.data.size(), prefix);
    EXPECT_TRUE(std::equal(got.data.begin(), got.data.end(), want.begin()));
    EXPECT_EQ(got.address, expected[i].address);
    ChunkResult whole = read_whole_record(file.block, got.address, RT_BUFFER);
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(sha_of(whole.data), sha_of(want));
  }
}

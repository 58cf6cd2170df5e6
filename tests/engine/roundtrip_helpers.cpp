#include "roundtrip_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/engine.h"
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

RtFile::RtFile(const std::string& path) {
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path.c_str());
  uint8_t owner[8] = {};
  uint32_t length = 0;
  open_status_ = engine_call(RT_OPEN, position_block_, owner, &length, key,
                             static_cast<uint8_t>(std::min<size_t>(path.size() + 1, 255)), 0);
}

RtFile::~RtFile() {
  if (open_status_ != 0) return;
  uint8_t data[4] = {};
  uint32_t length = 0;
  uint8_t key[4] = {};
  engine_call(RT_CLOSE, position_block_, data, &length, key, 0, 0);
}

int16_t RtFile::step(bool first, std::vector<uint8_t>* record) {
  std::vector<uint8_t> buffer(RT_BUFFER);
  uint32_t length = RT_BUFFER;
  uint8_t key[255] = {};
  int16_t status = engine_call(first ? RT_STEP_FIRST : RT_STEP_NEXT, position_block_, buffer.data(), &length,
                               key, sizeof key, 0);
  record->assign(buffer.begin(), buffer.begin() + std::min(length, RT_BUFFER));
  return status;
}

int16_t RtFile::get_position(uint32_t* address) {
  std::vector<uint8_t> data(RT_BUFFER);
  uint32_t length = RT_BUFFER;
  uint8_t key[255] = {};
  int16_t status = engine_call(RT_GET_POSITION, position_block_, data.data(), &length, key, sizeof key, 0);
  std::memcpy(address, data.data(), 4);
  return status;
}

int16_t RtFile::get_chunk(uint32_t address, uint32_t offset, uint32_t length, std::vector<uint8_t>* bytes) {
  std::vector<uint8_t> buffer(std::max<uint32_t>(length, 24));
  const uint32_t descriptor[6] = {address, 0x80000000u, 1, offset, length, 0};
  std::memcpy(buffer.data(), descriptor, sizeof descriptor);
  uint32_t data_length = static_cast<uint32_t>(buffer.size());
  uint8_t key[255] = {};
  int16_t status = engine_call(RT_GET_DIRECT, position_block_, buffer.data(), &data_length, key, sizeof key, -2);
  bytes->assign(buffer.begin(), buffer.begin() + std::min<size_t>(data_length, buffer.size()));
  return status;
}

int16_t RtFile::read_by_chunks(uint32_t address, std::vector<uint8_t>* record) {
  record->clear();
  for (uint32_t offset = 0;; offset += RT_BUFFER) {
    std::vector<uint8_t> chunk;
    int16_t status = get_chunk(address, offset, RT_BUFFER, &chunk);
    if (status == RT_STATUS_OFFSET_TOO_BIG && offset > 0) return 0;
    if (status != 0) return status;
    record->insert(record->end(), chunk.begin(), chunk.end());
    if (chunk.size() < RT_BUFFER) return 0;
  }
}

void rt_step_all(RtFile& file, std::vector<int16_t>* statuses, std::vector<std::vector<uint8_t>>* records,
                 std::vector<uint32_t>* addresses) {
  for (bool first = true;; first = false) {
    std::vector<uint8_t> record;
    int16_t status = file.step(first, &record);
    statuses->push_back(status);
    if (status != 0 && status != RT_STATUS_SHORT_BUFFER) return;
    records->push_back(record);
    uint32_t address = 0;
    EXPECT_EQ(file.get_position(&address), 0);
    addresses->push_back(address);
    // A broken reader must not keep the test looping.
    if (statuses->size() > 1000000) return;
  }
}

static std::string describe(size_t index, const RtWritten& record) {
  return "record " + std::to_string(index) + " of " + std::to_string(record.bytes.size()) + " bytes";
}

void rt_expect_round_trip(const std::string& path, const std::vector<RtWritten>& expected) {
  RtFile file(path);
  ASSERT_EQ(file.open_status(), 0);
  std::vector<int16_t> statuses;
  std::vector<std::vector<uint8_t>> records;
  std::vector<uint32_t> addresses;
  rt_step_all(file, &statuses, &records, &addresses);
  ASSERT_EQ(records.size(), expected.size());
  EXPECT_EQ(statuses.back(), RT_STATUS_EOF);
  for (size_t i = 0; i < expected.size(); i++) {
    SCOPED_TRACE(describe(i, expected[i]));
    const std::vector<uint8_t>& want = expected[i].bytes;
    bool long_record = want.size() > RT_BUFFER;
    EXPECT_EQ(statuses[i], long_record ? RT_STATUS_SHORT_BUFFER : 0);
    size_t prefix = std::min<size_t>(want.size(), RT_BUFFER);
    ASSERT_EQ(records[i].size(), prefix);
    EXPECT_TRUE(std::equal(records[i].begin(), records[i].end(), want.begin()));
    EXPECT_EQ(addresses[i], expected[i].address);
    std::vector<uint8_t> whole;
    EXPECT_EQ(file.read_by_chunks(addresses[i], &whole), 0);
    EXPECT_EQ(sha256_hex(whole.data(), whole.size()), sha256_hex(want.data(), want.size()));
  }
}

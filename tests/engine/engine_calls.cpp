#include "engine_calls.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

int16_t open_path(PositionBlock& block, const std::string& path) {
  std::vector<char> key(path.begin(), path.end());
  key.push_back('\0');
  uint32_t length = 0;
  return engine_call(OP_OPEN, block.bytes, nullptr, &length, key.data(), 255, 0);
}

int16_t open_bytes(PositionBlock& block, const std::vector<uint8_t>& bytes) {
  return engine_open_source(block.bytes, memory_byte_source(bytes.data(), bytes.size()));
}

int16_t close_file(PositionBlock& block) {
  uint32_t length = 0;
  return engine_call(OP_CLOSE, block.bytes, nullptr, &length, nullptr, 0, 0);
}

StepResult step(PositionBlock& block, uint16_t operation, uint32_t data_length) {
  std::vector<uint8_t> buffer(data_length + 16, 0xA5);
  uint8_t key[256] = {};
  uint32_t length = data_length;
  StepResult result;
  result.status = engine_call(operation, block.bytes, buffer.data(), &length, key, 255, 0);
  EXPECT_LE(length, data_length) << "more bytes reported than offered";
  for (size_t i = data_length; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xA5) << "written past the buffer";
  result.data.assign(buffer.begin(), buffer.begin() + std::min(length, data_length));
  return result;
}

PositionResult get_position(PositionBlock& block, uint32_t data_length) {
  uint8_t buffer[16] = {};
  uint32_t length = data_length;
  PositionResult result;
  result.status = engine_call(OP_GET_POSITION, block.bytes, buffer, &length, nullptr, 255, 0);
  result.address = static_cast<uint32_t>(buffer[0] | buffer[1] << 8 | buffer[2] << 16) |
                   static_cast<uint32_t>(buffer[3]) << 24;
  result.length = length;
  return result;
}

namespace {

void put_u32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

ChunkResult read_chunk(PositionBlock& block, uint32_t address, uint32_t offset, uint32_t length,
                       uint32_t buffer_size, uint32_t subfunction, uint32_t count) {
  std::vector<uint8_t> buffer(std::max<uint32_t>(buffer_size, 24) + 16, 0);
  put_u32(&buffer[0], address);
  put_u32(&buffer[4], subfunction);
  put_u32(&buffer[8], count);
  put_u32(&buffer[12], offset);
  put_u32(&buffer[16], length);
  std::fill(buffer.begin() + std::max<uint32_t>(buffer_size, 24), buffer.end(), 0x5A);
  uint32_t data_length = buffer_size;
  ChunkResult result;
  result.status = engine_call(OP_GET_DIRECT, block.bytes, buffer.data(), &data_length, nullptr, 255, -2);
  EXPECT_LE(data_length, buffer_size) << "more bytes reported than offered";
  for (size_t i = std::max<uint32_t>(buffer_size, 24); i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], 0x5A) << "written past the buffer";
  }
  if (result.status == 0) result.data.assign(buffer.begin(), buffer.begin() + std::min(data_length, buffer_size));
  return result;
}

ChunkResult read_whole_record(PositionBlock& block, uint32_t address, uint32_t piece) {
  ChunkResult whole;
  for (uint32_t offset = 0;; offset += piece) {
    ChunkResult part = read_chunk(block, address, offset, piece, std::max<uint32_t>(piece, 24));
    whole.status = part.status;
    if (part.status != 0) break;
    whole.data.insert(whole.data.end(), part.data.begin(), part.data.end());
    if (part.data.size() < piece) break;
  }
  return whole;
}

std::string sha_of(const std::vector<uint8_t>& bytes) { return sha256_hex(bytes.data(), bytes.size()); }

Walk walk_file(PositionBlock& block, uint32_t data_length, int continue_after_damage, int max_calls) {
  Walk walk;
  uint16_t operation = OP_STEP_FIRST;
  for (int call = 0; call < max_calls; ++call) {
    StepResult result = step(block, operation, data_length);
    operation = OP_STEP_NEXT;
    if (result.status == 0 || result.status == 22) {
      WalkedRecord record;
      record.status = result.status;
      record.data = result.data;
      PositionResult position = get_position(block);
      EXPECT_EQ(position.status, 0);
      record.address = position.address;
      walk.records.push_back(record);
      continue;
    }
    walk.other_statuses.push_back(result.status);
    if (result.status != 2 || !continue_after_damage) break;
  }
  return walk;
}

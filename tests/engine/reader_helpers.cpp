#include "reader_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "support/test_support.h"

namespace fs = std::filesystem;

std::vector<std::string> sample_names() {
  std::vector<std::string> names;
  std::string dir = samples_dir();
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    std::string name = entry.path().filename().string();
    const std::string suffix = ".manifest.json";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      names.push_back(name.substr(0, name.size() - suffix.size()));
    }
  }
  std::sort(names.begin(), names.end());
  if (names.empty()) ADD_FAILURE() << "no sample manifests found in " << dir;
  return names;
}

std::string sample_path(const std::string& name) { return samples_dir() + "/" + name; }

std::vector<uint8_t> load_sample(const std::string& name) {
  std::vector<uint8_t> bytes = read_file_bytes(sample_path(name));
  if (bytes.empty()) ADD_FAILURE() << "sample " << name << " is missing or empty";
  return bytes;
}

namespace {

// The text of the string value after `"key": ` starting at `from`, or "".
std::string string_value(const std::string& text, const std::string& key, size_t from, size_t* end) {
  size_t at = text.find("\"" + key + "\"", from);
  if (at == std::string::npos) return "";
  size_t open = text.find('"', text.find(':', at) + 1);
  size_t close = text.find('"', open + 1);
  *end = close;
  return text.substr(open + 1, close - open - 1);
}

uint64_t number_value(const std::string& text, const std::string& key, size_t from) {
  size_t at = text.find("\"" + key + "\"", from);
  if (at == std::string::npos) return 0;
  return std::stoull(text.substr(text.find(':', at) + 1));
}

}  // namespace

Manifest load_manifest(const std::string& name) {
  Manifest manifest;
  manifest.name = name;
  std::string text = read_file_text(sample_path(name) + ".manifest.json");
  if (text.empty()) ADD_FAILURE() << "manifest of " << name << " is missing";
  size_t at = text.find("\"records\"");
  while (at != std::string::npos) {
    size_t next = text.find("\"address\"", at);
    if (next == std::string::npos) break;
    ManifestRecord record;
    size_t end = next;
    record.address = static_cast<uint32_t>(std::stoul(string_value(text, "address", next, &end), nullptr, 16));
    record.length = number_value(text, "length", next);
    record.sha256 = string_value(text, "sha256", next, &end);
    manifest.records.push_back(record);
    at = end;
  }
  return manifest;
}

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

namespace {

uint32_t le16(const std::vector<uint8_t>& file, uint64_t at) { return file.at(at) | file.at(at + 1) << 8; }
uint32_t le32(const std::vector<uint8_t>& file, uint64_t at) { return le16(file, at) | le16(file, at + 2) << 16; }

}  // namespace

uint64_t v6_pat_entry_offset(const std::vector<uint8_t>& file, uint32_t logical) {
  uint32_t page_size = le16(file, 8);
  // The current copy of the first table is the one with the larger usage count.
  uint64_t table = le32(file, 2 * page_size + 4) >= le32(file, 3 * page_size + 4) ? 2 * page_size : 3 * page_size;
  return table + 4 + 4 * logical;
}

uint64_t v6_page_offset(const std::vector<uint8_t>& file, uint32_t logical) {
  uint32_t page_size = le16(file, 8);
  uint64_t entry = v6_pat_entry_offset(file, logical);
  uint64_t physical = (uint64_t{file.at(entry)} << 16) | (uint64_t{file.at(entry + 3)} << 8) | file.at(entry + 2);
  return physical * page_size;
}

uint64_t v6_fragment_offset(const std::vector<uint8_t>& file, const uint8_t* pointer) {
  uint32_t page_size = le16(file, 8);
  uint32_t logical = static_cast<uint32_t>(pointer[0]) << 16 | pointer[2] << 8 | pointer[1];
  uint64_t page = v6_page_offset(file, logical);
  uint32_t entry = le16(file, page + page_size - 2 * (pointer[3] + 1));
  return page + (entry & 0x7FFF);
}

uint64_t v6_address_offset(const std::vector<uint8_t>& file, uint32_t address) {
  uint32_t page_size = le16(file, 8);
  return v6_page_offset(file, address / page_size) + address % page_size;
}

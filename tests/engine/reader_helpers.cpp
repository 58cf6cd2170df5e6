#include "reader_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
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

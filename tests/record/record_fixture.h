// Builds record buffers for the record tests, one field at a time.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "record/record.h"

constexpr uint32_t TEST_BUFFER_SIZE = 57000;

struct TestRecord {
  std::string owner = "ABC";
  int16_t contact_number = 0;
  uint32_t autoinc_key = 7;
  std::string name = "Letter";
  std::string type = "Microsoft Word Document";
};

inline void put_text(std::vector<uint8_t>& buffer, uint32_t offset, const std::string& text) {
  memcpy(buffer.data() + offset, text.data(), text.size());
}

inline void put_u32(std::vector<uint8_t>& buffer, uint32_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) buffer[offset + i] = (uint8_t)(value >> (8 * i));
}

// A full-size buffer holding the record; texts end with a NUL (a name or type
// longer than its field runs on into the following bytes, as in a record).
inline std::vector<uint8_t> make_record(const RecordLayout& layout, const TestRecord& fields) {
  std::vector<uint8_t> buffer(TEST_BUFFER_SIZE, 0);
  put_text(buffer, layout.owner_id_offset, fields.owner.substr(0, layout.owner_id_length));
  buffer[layout.contact_number_offset] = (uint8_t)(fields.contact_number & 0xFF);
  buffer[layout.contact_number_offset + 1] = (uint8_t)((uint16_t)fields.contact_number >> 8);
  put_u32(buffer, layout.autoinc_offset, fields.autoinc_key);
  put_text(buffer, layout.type_offset, fields.type);
  buffer[layout.type_offset + fields.type.size()] = 0;
  put_text(buffer, layout.name_offset, fields.name);
  buffer[layout.name_offset + fields.name.size()] = 0;
  return buffer;
}

struct ComposeResult {
  int ok = 0;
  std::string name;
  size_t extension_start = 0;
};

inline ComposeResult compose(const std::vector<uint8_t>& buffer, const RecordLayout& layout,
                             const RunSettings& settings, size_t suffix_reserve = 0,
                             uint32_t record_length = TEST_BUFFER_SIZE) {
  ComposeResult result;
  char export_path[EXPORT_PATH_SIZE];
  memset(export_path, 'Q', sizeof export_path);
  result.ok = compose_export_name(buffer.data(), record_length, layout, settings, export_path, suffix_reserve,
                                  &result.extension_start);
  if (result.ok) result.name = export_path;
  return result;
}

inline RunSettings naming_settings(ContactIdMode contact_id_mode, int autoinc_suffix, int txt_extension) {
  RunSettings settings;
  settings.contact_id_mode = contact_id_mode;
  settings.autoinc_suffix = autoinc_suffix;
  settings.txt_extension = txt_extension;
  return settings;
}

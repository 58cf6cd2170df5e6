// VRAX record layout: fixed fields, then the body or a link block.
#include "vrax_record.h"

#include <algorithm>
#include <cstring>

uint32_t vrax_name_offset(bool version8) { return version8 ? 178 : 54; }
uint32_t vrax_name_end(bool version8) { return version8 ? 434 : 90; }
uint32_t vrax_body_offset(bool version8) { return version8 ? 434 : 178; }
uint32_t vrax_link_block_offset(bool version8) { return version8 ? 2528 : 2272; }

static void put_le(std::vector<uint8_t>& record, uint32_t offset, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; i++) record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Copies at most `width` bytes; a shorter text keeps its NUL from the zeroed record.
static void put_text(std::vector<uint8_t>& record, uint32_t offset, const std::string& text, uint32_t width) {
  size_t length = std::min<size_t>(text.size(), width);
  std::memcpy(record.data() + offset, text.data(), length);
}

static void put_fixed_fields(std::vector<uint8_t>& record, const VraxDocument& d, bool version8) {
  put_text(record, VRAX_OWNER_ID_OFFSET, d.owner_id, VRAX_OWNER_ID_LENGTH);
  put_le(record, VRAX_CONTACT_NUMBER_OFFSET, static_cast<uint16_t>(d.contact_number), 2);
  put_le(record, VRAX_AUTOINC_OFFSET, d.autoinc_key, 4);
  uint32_t name_offset = vrax_name_offset(version8);
  put_text(record, name_offset, d.document_name, vrax_name_end(version8) - name_offset - 1);
  record[VRAX_DATE_OFFSET] = d.day;
  record[VRAX_DATE_OFFSET + 1] = d.month;
  put_le(record, VRAX_DATE_OFFSET + 2, d.year, 2);
  record[VRAX_TIME_OFFSET] = d.fraction;
  record[VRAX_TIME_OFFSET + 1] = d.second;
  record[VRAX_TIME_OFFSET + 2] = d.minute;
  record[VRAX_TIME_OFFSET + 3] = d.hour;
  put_text(record, VRAX_TYPE_OFFSET, d.type_description, VRAX_TYPE_END - VRAX_TYPE_OFFSET - 1);
}

// Link block: S, short path with its NUL, 28 unused bytes, N, 2 unused
// bytes, the UTF-16LE long path, K, 2 unused bytes, the shortcut image.
static std::vector<uint8_t> build_link_block(const VraxDocument& d) {
  uint32_t s = static_cast<uint32_t>(d.link_short_path.size() + 1);
  uint32_t n = static_cast<uint32_t>(2 * d.link_long_path.size());
  uint32_t k = static_cast<uint32_t>(d.shortcut_image.size());
  std::vector<uint8_t> block(44 + s + n + k, 0);
  put_le(block, 0, s, 4);
  std::memcpy(block.data() + 4, d.link_short_path.data(), s - 1);
  put_le(block, 32 + s, n, 4);
  for (size_t i = 0; i < d.link_long_path.size(); i++)
    put_le(block, 38 + s + 2 * static_cast<uint32_t>(i), d.link_long_path[i], 2);
  put_le(block, 38 + s + n, k, 4);
  if (k > 0) std::memcpy(block.data() + 44 + s + n, d.shortcut_image.data(), k);
  return block;
}

std::vector<uint8_t> build_vrax_record(const VraxDocument& document, bool version8) {
  uint32_t body_offset = vrax_body_offset(version8);
  std::vector<uint8_t> record(body_offset, 0);
  put_fixed_fields(record, document, version8);
  if (!document.link_short_path.empty()) {
    std::vector<uint8_t> block = build_link_block(document);
    record.resize(vrax_link_block_offset(version8), 0);
    record.insert(record.end(), block.begin(), block.end());
  } else {
    record.insert(record.end(), document.body.begin(), document.body.end());
  }
  return record;
}

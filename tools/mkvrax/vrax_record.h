// Builds VRAX document records (standard or version 8 layout) and writes
// sample libraries of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VraxDocument {
  std::string owner_id;           // at most 22 bytes are stored
  int16_t contact_number = 0;
  uint32_t autoinc_key = 0;
  std::string document_name;      // Windows-1252 bytes
  std::string type_description;
  uint8_t day = 15, month = 1;
  uint16_t year = 2015;
  uint8_t hour = 13, minute = 5, second = 30, fraction = 0;
  std::vector<uint8_t> body;      // the document's own bytes (document records)
  // Link records: a non-empty short path makes the record carry a link block.
  std::string link_short_path;
  std::u16string link_long_path;
  std::vector<uint8_t> shortcut_image;
};

// The record bytes; `version8` selects the version 8 layout.
std::vector<uint8_t> build_vrax_record(const VraxDocument& document, bool version8);

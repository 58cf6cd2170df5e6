// Builds VRAX document records (standard or version 8 layout) and writes
// sample libraries of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/writer/btrieve_writer.h"

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
  // Link records: a non-empty short path makes the record carry a link block
  // (and no body).
  std::string link_short_path;
  std::u16string link_long_path;
  std::vector<uint8_t> shortcut_image;
};

// Field places of the two record layouts.
constexpr uint32_t VRAX_OWNER_ID_OFFSET = 20;
constexpr uint32_t VRAX_OWNER_ID_LENGTH = 22;
constexpr uint32_t VRAX_CONTACT_NUMBER_OFFSET = 44;
constexpr uint32_t VRAX_AUTOINC_OFFSET = 50;
constexpr uint32_t VRAX_DATE_OFFSET = 90;
constexpr uint32_t VRAX_TIME_OFFSET = 94;
constexpr uint32_t VRAX_TYPE_OFFSET = 98;
constexpr uint32_t VRAX_TYPE_END = 178;
uint32_t vrax_name_offset(bool version8);       // 54 or 178
uint32_t vrax_name_end(bool version8);          // 90 or 434
uint32_t vrax_body_offset(bool version8);       // 178 or 434
uint32_t vrax_link_block_offset(bool version8); // 2272 or 2528

// Fixed header at the start of every RQD document.
constexpr uint32_t VRAX_RQD_HEADER_SIZE = 3328;

// The record bytes; `version8` selects the version 8 layout. Texts longer
// than their field are cut so that their NUL stays inside it.
std::vector<uint8_t> build_vrax_record(const VraxDocument& document, bool version8);

// Writes `documents` as a VRAX library at `native_path`; 1 on success.
// `file_options.fixed_length` must not exceed the shortest record (the body
// offset of the layout is always safe).
int write_vrax_library(const std::string& native_path, const std::vector<VraxDocument>& documents,
                       bool version8, const BtrieveWriterOptions& file_options);

// The documents `mkvrax OUT.DAT` writes: several types, owners and dates, a
// document over 200 KB, an RQD document and a link record.
std::vector<VraxDocument> vrax_sample_documents();

// Writes `count` documents of `body_size` bytes each, one record in memory at
// a time; 1 on success. Document i (from 0) is named "DOC<i+1>", has
// autoinc key i+1 and the body vrax_bulk_body_byte(i, 0..body_size-1).
int write_vrax_bulk_library(const std::string& native_path, uint32_t count, uint64_t body_size, bool version8,
                            const BtrieveWriterOptions& file_options);
uint8_t vrax_bulk_body_byte(uint32_t document_index, uint64_t position);

// Document record layouts, the link test, export naming and the type table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "run/settings.h"

// Byte offsets of a record's fields, counted from the record's first byte.
struct RecordLayout {
  uint32_t owner_id_offset;
  uint32_t owner_id_length;
  uint32_t contact_number_offset;
  uint32_t autoinc_offset;
  uint32_t name_offset;
  uint32_t date_offset;
  uint32_t time_offset;
  uint32_t type_offset;
  uint32_t body_offset;
  uint32_t link_block_offset;
};

extern const RecordLayout StandardLayout;
extern const RecordLayout Version8Layout;

const RecordLayout& select_record_layout(int layout_version8);

// End (exclusive) of the bytes that are read at fixed places: the link test
// reads up to link_block_offset + 6, the last fixed byte of either layout.
uint32_t record_fixed_fields_end(const RecordLayout& layout);

struct RecordDate {
  uint8_t day;
  uint8_t month;
  uint16_t year;
};
struct RecordTime {
  uint8_t fraction;
  uint8_t second;
  uint8_t minute;
  uint8_t hour;
};
RecordDate decode_record_date(uint32_t date_value);
RecordTime decode_record_time(uint32_t time_value);
// The 4 bytes at `offset` as a little-endian 32-bit value.
uint32_t read_record_u32(const uint8_t* record, uint32_t offset);
// The 2 bytes at `offset` as a little-endian signed 16-bit value.
int16_t read_record_i16(const uint8_t* record, uint32_t offset);
// Length of the text at `offset`: up to its NUL byte, the record's end or
// `max_length`, whichever comes first; 0 when `offset` lies past the record.
size_t record_text_length(const uint8_t* record, uint32_t record_length, uint32_t offset, size_t max_length);

// 1 when the record's document name begins with the skip marker "*".
int is_skip_marked(const uint8_t* record_buffer, const RecordLayout& layout);

// 1 when the record is a link record (its short path begins like a network
// or drive path), 0 otherwise.
int is_link_record(const uint8_t* record_buffer, const RecordLayout& layout);

struct FileTypeRow {
  const char* description;
  const char* extension;
};
constexpr int FILE_TYPE_ROWS = 22;
extern const FileTypeRow FileTypeTable[FILE_TYPE_ROWS];

constexpr size_t EXPORT_PATH_SIZE = 256;
constexpr size_t EXPORT_NAME_MAX = 255;

// Builds the export name with its extension into `export_path`. Returns 1, or
// 0 after "Skipping NULL Filename...\n" when the cleaned name is empty.
// `record_length` bounds every text read from the record; `suffix_reserve`
// keeps room for a link suffix appended later. `*extension_start` receives
// the offset where the extension begins.
//
// A name too long for EXPORT_NAME_MAX characters (and, on disk, bytes) loses
// the end of its document name; owner, numbers, separator and extension stay.
// An extension taken from a type description that leaves no room for them and
// for the name's first character is replaced by the default extension.
int compose_export_name(const uint8_t* record_buffer, uint32_t record_length, const RecordLayout& layout,
                        const RunSettings& settings, char export_path[EXPORT_PATH_SIZE], size_t suffix_reserve,
                        size_t* extension_start);

// 1 for the nine characters that a file name may not carry: / \ ' " * $ % ? :
int is_unsafe_name_char(unsigned char c);
// Replaces each unsafe character by "_", in place.
void replace_unsafe_name_characters(char* text);
// Removes trailing blanks, then replaces the unsafe characters, in place.
void sanitize_file_name(char* text);

const char* choose_extension(const char* cleaned_name, const char* type_description, int txt_extension);
// The same choice, given whether the name's fourth character from the end is
// a dot (then the default extension wins whatever the type says).
const char* extension_for_type(int name_has_own_extension, const char* type_description, int txt_extension);
// ".TXT" under /T, otherwise the default row's extension.
const char* default_extension(int txt_extension);

void list_file_types();

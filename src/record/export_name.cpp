#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "record/record.h"

// Owner (22), ";-32768", ";4294967295", "-" and the NUL.
constexpr size_t NAME_PREFIX_SIZE = 48;

// The document name as it stands in the record, trailing blanks left out.
struct NameText {
  const char* text;
  size_t length;
};

static char safe_name_char(char c) {
  return is_unsafe_name_char((unsigned char)c) ? '_' : c;
}

// Bytes one source character takes in a name on disk.
static size_t char_name_length(char c) {
  char single[2] = {c, '\0'};
  return platform_name_length(single);
}

// Owner identifier, the optional numbers and the separator, cleaned.
static size_t compose_name_prefix(const uint8_t* record, uint32_t record_length, const RecordLayout& layout,
                                  const RunSettings& settings, char prefix[NAME_PREFIX_SIZE]) {
  size_t length = record_text_length(record, record_length, layout.owner_id_offset, layout.owner_id_length);
  memcpy(prefix, record + layout.owner_id_offset, length);
  prefix[length] = '\0';
  if (settings.contact_id_mode != ContactIdOff) {
    int contact_number = read_record_i16(record, layout.contact_number_offset);
    if (contact_number != 0 || settings.contact_id_mode == ContactIdAlways) {
      length += (size_t)snprintf(prefix + length, NAME_PREFIX_SIZE - length, ";%d", contact_number);
    }
  }
  if (settings.autoinc_suffix) {
    unsigned long autoinc_key = read_record_u32(record, layout.autoinc_offset);
    length += (size_t)snprintf(prefix + length, NAME_PREFIX_SIZE - length, ";%lu", autoinc_key);
  }
  if (length > 0) {
    prefix[length++] = '-';
    prefix[length] = '\0';
  }
  replace_unsafe_name_characters(prefix);
  return length;
}

// A non-empty prefix ends in "-", so stripping the name's trailing blanks is
// stripping those of the whole text.
static NameText document_name_text(const uint8_t* record, uint32_t record_length, const RecordLayout& layout) {
  NameText name;
  name.text = (const char*)record + layout.name_offset;
  name.length = record_text_length(record, record_length, layout.name_offset, (size_t)-1);
  while (name.length > 0 && name.text[name.length - 1] == ' ') --name.length;
  return name;
}

// Fourth character from the end of prefix + name; dots are never replaced,
// so the raw name byte tells.
static int has_own_extension(const char* prefix, size_t prefix_length, const NameText& name) {
  size_t total = prefix_length + name.length;
  if (total < 4) return 0;
  size_t at = total - 4;
  char c = at < prefix_length ? prefix[at] : name.text[at - prefix_length];
  return c == '.';
}

// The type description, cut at the record's end; 0 when it does not fit.
static int copy_type_description(const uint8_t* record, uint32_t record_length, const RecordLayout& layout,
                                 char type_text[EXPORT_PATH_SIZE]) {
  size_t length = record_text_length(record, record_length, layout.type_offset, EXPORT_PATH_SIZE);
  int complete = length < EXPORT_PATH_SIZE;
  if (!complete) length = EXPORT_PATH_SIZE - 1;
  memcpy(type_text, record + layout.type_offset, length);
  type_text[length] = '\0';
  return complete;
}

// Disk bytes left for the document name once prefix, extension and suffix
// are placed; negative when they do not fit together.
static long name_room(const char* prefix, const char* extension, size_t suffix_reserve) {
  return (long)EXPORT_NAME_MAX - (long)platform_name_length(prefix) - (long)platform_name_length(extension) -
         (long)suffix_reserve;
}

// The extension of the type-table rules. One taken from the type description
// is cleaned of the unsafe characters, so that it cannot lead out of the
// current folder, and must leave room for the prefix and the name's first
// character; otherwise the default extension stands in for it.
static void compose_extension(const uint8_t* record, uint32_t record_length, const RecordLayout& layout,
                              const RunSettings& settings, const char* prefix, const NameText& name,
                              int own_extension, size_t suffix_reserve, char extension[EXPORT_PATH_SIZE]) {
  char type_text[EXPORT_PATH_SIZE];
  int type_complete = copy_type_description(record, record_length, layout, type_text);
  const char* chosen = extension_for_type(own_extension, type_text, settings.txt_extension);
  if (chosen == type_text) {
    replace_unsafe_name_characters(type_text);
    long first_char = name.length > 0 ? (long)char_name_length(safe_name_char(name.text[0])) : 0;
    if (!type_complete || name_room(prefix, type_text, suffix_reserve) < first_char) {
      chosen = default_extension(settings.txt_extension);
    }
  }
  snprintf(extension, EXPORT_PATH_SIZE, "%s", chosen);
}

// Appends as much of the cleaned document name as `room` disk bytes allow,
// whole source characters only.
static size_t append_document_name(char* export_path, size_t at, const NameText& name, long room) {
  for (size_t i = 0; i < name.length; ++i) {
    char c = safe_name_char(name.text[i]);
    long needed = (long)char_name_length(c);
    if (needed > room) break;
    export_path[at++] = c;
    room -= needed;
  }
  export_path[at] = '\0';
  return at;
}

int compose_export_name(const uint8_t* record_buffer, uint32_t record_length, const RecordLayout& layout,
                        const RunSettings& settings, char export_path[EXPORT_PATH_SIZE], size_t suffix_reserve,
                        size_t* extension_start) {
  char prefix[NAME_PREFIX_SIZE];
  size_t prefix_length = compose_name_prefix(record_buffer, record_length, layout, settings, prefix);
  NameText name = document_name_text(record_buffer, record_length, layout);
  if (prefix_length + name.length == 0) {
    export_path[0] = '\0';
    fflush(stdout);
    fputs("Skipping NULL Filename...\n", stderr);
    return 0;
  }
  char extension[EXPORT_PATH_SIZE];
  compose_extension(record_buffer, record_length, layout, settings, prefix, name,
                    has_own_extension(prefix, prefix_length, name), suffix_reserve, extension);
  memcpy(export_path, prefix, prefix_length + 1);
  // The on-disk length is never below the byte count, so keeping it within
  // the limit keeps the characters within it too.
  size_t at = append_document_name(export_path, prefix_length, name, name_room(prefix, extension, suffix_reserve));
  if (extension_start) *extension_start = at;
  memcpy(export_path + at, extension, strlen(extension) + 1);
  return 1;
}

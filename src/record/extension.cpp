#include <cstring>

#include "record/record.h"

static unsigned char ascii_upper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

// ASCII letters match without regard to case, every other byte exactly; the
// type description may go on past the row's description.
static int type_matches_description(const char* type_description, const char* description) {
  for (size_t i = 0; description[i] != '\0'; ++i) {
    unsigned char type_char = (unsigned char)type_description[i];
    if (type_char == '\0') return 0;
    if (ascii_upper(type_char) != ascii_upper((unsigned char)description[i])) return 0;
  }
  return 1;
}

const char* default_extension(int txt_extension) {
  return txt_extension ? ".TXT" : FileTypeTable[0].extension;
}

const char* extension_for_type(int name_has_own_extension, const char* type_description, int txt_extension) {
  if (name_has_own_extension) return default_extension(txt_extension);
  if (type_description[0] == '.') return type_description;
  for (int row = 1; FileTypeTable[row].extension[0] != '\0'; ++row) {
    if (type_matches_description(type_description, FileTypeTable[row].description)) {
      return FileTypeTable[row].extension;
    }
  }
  return default_extension(txt_extension);
}

const char* choose_extension(const char* cleaned_name, const char* type_description, int txt_extension) {
  size_t length = strlen(cleaned_name);
  int has_own_extension = length >= 4 && cleaned_name[length - 4] == '.';
  return extension_for_type(has_own_extension, type_description, txt_extension);
}

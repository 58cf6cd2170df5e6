#include <cstring>

#include "record/record.h"

int is_unsafe_name_char(unsigned char c) {
  return c != 0 && strchr("/\\'\"*$%?:", c) != nullptr;
}

void replace_unsafe_name_characters(char* text) {
  for (; *text; ++text) {
    if (is_unsafe_name_char((unsigned char)*text)) *text = '_';
  }
}

// Blanks go first, so a blank in front of a final "?" stays.
void sanitize_file_name(char* text) {
  size_t length = strlen(text);
  while (length > 0 && text[length - 1] == ' ') --length;
  text[length] = '\0';
  replace_unsafe_name_characters(text);
}

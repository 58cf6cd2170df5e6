// Names shown on the console and stored on disk: UTF-8 on POSIX systems.
#include "platform/platform.h"
#include "platform/posix/windows1252.h"

size_t platform_name_length(const char* ansi_name) {
  size_t length = 0;
  for (const char* p = ansi_name; *p != '\0'; ++p) length += windows1252_utf8_length(static_cast<unsigned char>(*p));
  return length;
}

const char* platform_console_text(const char* ansi_text, char* out, size_t out_size) {
  if (out_size == 0) return "";
  windows1252_to_utf8(ansi_text, out, out_size);
  return out;
}

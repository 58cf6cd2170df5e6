// Windows-1252 to UTF-8. Only 0x80-0x9F differ from Latin-1; the five bytes
// Windows-1252 leaves unassigned keep their C1 code points so that every byte
// survives the round trip through a file name.
#include "platform/posix/windows1252.h"

#include <cstdint>

namespace {

const uint16_t HIGH_CONTROL_ROW[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80-0x87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88-0x8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90-0x97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98-0x9F
};

uint32_t code_point_of(unsigned char ansi_byte) {
  if (ansi_byte >= 0x80 && ansi_byte <= 0x9F) return HIGH_CONTROL_ROW[ansi_byte - 0x80];
  return ansi_byte;
}

size_t utf8_length_of(uint32_t code_point) {
  if (code_point < 0x80) return 1;
  if (code_point < 0x800) return 2;
  return 3;  // Windows-1252 reaches no further than U+2122
}

void encode_utf8(uint32_t code_point, char* out) {
  size_t length = utf8_length_of(code_point);
  if (length == 1) {
    out[0] = static_cast<char>(code_point);
  } else if (length == 2) {
    out[0] = static_cast<char>(0xC0 | (code_point >> 6));
    out[1] = static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out[0] = static_cast<char>(0xE0 | (code_point >> 12));
    out[1] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

}  // namespace

size_t windows1252_utf8_length(unsigned char ansi_byte) { return utf8_length_of(code_point_of(ansi_byte)); }

int windows1252_to_utf8(const char* ansi_text, char* out, size_t out_size) {
  if (out_size == 0) return 0;
  size_t used = 0;
  for (const char* p = ansi_text; *p != '\0'; ++p) {
    uint32_t code_point = code_point_of(static_cast<unsigned char>(*p));
    size_t length = utf8_length_of(code_point);
    if (used + length >= out_size) {
      out[used] = '\0';
      return 0;
    }
    encode_utf8(code_point, out + used);
    used += length;
  }
  out[used] = '\0';
  return 1;
}

// Windows-1252 text from records, turned into the UTF-8 that file names and
// the terminal use on POSIX systems.
#pragma once

#include <cstddef>

// Number of UTF-8 bytes that one Windows-1252 byte becomes (1 to 3).
size_t windows1252_utf8_length(unsigned char ansi_byte);

// Converts `ansi_text` into `out` (always NUL-terminated when out_size > 0).
// Characters are never split: when the text does not fit, it is cut after
// the last whole character and 0 is returned; 1 when all of it fits.
int windows1252_to_utf8(const char* ansi_text, char* out, size_t out_size);

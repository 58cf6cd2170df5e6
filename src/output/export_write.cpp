// The two write operations of export files. Each is one platform write with
// the whole run of bytes: no buffering and no retry of a short write.
#include <cstdio>
#include <cstring>

#include "output/console_order.h"
#include "output/output.h"

int write_bytes(PlatformFile export_file, const void* bytes, uint32_t count) {
  if (count == 0) return 1;
  uint32_t written = 0;
  if (!platform_write(export_file, bytes, count, &written)) {
    unsigned error_code = platform_last_error();
    flush_console_before_error();
    std::fprintf(stderr, " WriteFile Error: %u", error_code);
    return 0;
  }
  return written == count ? 1 : 0;
}

int write_text(PlatformFile export_file, const char* text) {
  size_t length = std::strlen(text);
  if (length > UINT32_MAX) return 0;
  return write_bytes(export_file, text, static_cast<uint32_t>(length));
}

// Export files: named by Windows-1252 text from a record, stored under the
// UTF-8 form of that name, relative to the current folder.
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/windows1252.h"

namespace {

PlatformFile open_export(const char* ansi_name, int flags) {
  char native_name[PLATFORM_PATH_SIZE];
  if (!windows1252_to_utf8(ansi_name, native_name, sizeof native_name)) {
    errno = ENAMETOOLONG;
    return INVALID_HANDLE_VALUE;
  }
  int fd = open(native_name, flags | O_CLOEXEC, 0666);
  return fd < 0 ? INVALID_HANDLE_VALUE : fd;
}

}  // namespace

// POSIX has no share modes, and an advisory lock would not keep other
// programs out, so export files are opened without one.
PlatformFile platform_create_export(const char* ansi_name) {
  return open_export(ansi_name, O_WRONLY | O_CREAT | O_TRUNC);
}

PlatformFile platform_reopen_export(const char* ansi_name) { return open_export(ansi_name, O_WRONLY); }

int platform_write(PlatformFile file, const void* buffer, uint32_t length, uint32_t* written) {
  *written = 0;
  ssize_t count;
  do {
    count = write(static_cast<int>(file), buffer, length);
  } while (count < 0 && errno == EINTR);
  if (count < 0) return 0;
  *written = static_cast<uint32_t>(count);
  return 1;
}

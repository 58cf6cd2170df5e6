// Export files: named by Windows-1252 text from a record, stored under the
// UTF-8 form of that name, relative to the current folder.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/read_files_posix.h"
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

// Opened without O_TRUNC, so that the file can be looked at before it is
// emptied: a file this process is reading (the data file, when a record is
// named like it and the run is in its folder) is refused, as a Windows
// share mode would refuse it, and so is anything but a regular file. A
// symbolic link is not followed: writing through it would reach outside the
// current folder. O_NONBLOCK keeps a FIFO of that name from hanging the run.
// POSIX has no share modes to keep other programs out while writing.
PlatformFile platform_create_export(const char* ansi_name) {
  PlatformFile file = open_export(ansi_name, O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK);
  if (file == INVALID_HANDLE_VALUE) return file;
  int fd = static_cast<int>(file);
  struct stat info;
  int error = 0;
  if (fstat(fd, &info) != 0)
    error = errno;
  else if (!S_ISREG(info.st_mode))
    error = EINVAL;
  else if (is_open_for_reading(info.st_dev, info.st_ino))
    error = EBUSY;
  else if (info.st_size != 0 && ftruncate(fd, 0) != 0)
    error = errno;
  if (error != 0) {
    close(fd);
    errno = error;
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

PlatformFile platform_reopen_export(const char* ansi_name) { return open_export(ansi_name, O_WRONLY | O_NOFOLLOW); }

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

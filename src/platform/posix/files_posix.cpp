// POSIX files named by native paths: the data file, and files the writer makes.
#include "platform/platform.h"
#include "platform/posix/read_files_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

uint32_t platform_last_error() { return static_cast<uint32_t>(errno); }

int platform_error_is_not_found(uint32_t error_code) {
  return error_code == ENOENT || error_code == ENOTDIR;
}

uint32_t platform_invalid_argument_error() { return EINVAL; }

PlatformFile platform_open_read(const char* native_path) {
  int fd = open(native_path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return INVALID_HANDLE_VALUE;
  struct stat info;
  int error = 0;
  if (fstat(fd, &info) != 0)
    error = errno;
  else if (!S_ISREG(info.st_mode))
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;  // a device or pipe is no data file
  if (error != 0) {
    close(fd);
    errno = error;
    return INVALID_HANDLE_VALUE;
  }
  remember_read_file(fd, info.st_dev, info.st_ino);
  return fd;
}

PlatformFile platform_create_native(const char* native_path) {
  int fd = open(native_path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? INVALID_HANDLE_VALUE : fd;
}

int platform_file_size(PlatformFile file, uint64_t* size) {
  struct stat info;
  if (fstat(static_cast<int>(file), &info) != 0) return 0;
  *size = static_cast<uint64_t>(info.st_size);
  return 1;
}

int platform_read_at(PlatformFile file, uint64_t offset, void* buffer, uint32_t length, uint32_t* got) {
  uint32_t done = 0;
  while (done < length) {
    ssize_t n = pread(static_cast<int>(file), static_cast<char*>(buffer) + done, length - done,
                      static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      *got = done;
      return 0;
    }
    if (n == 0) break;
    done += static_cast<uint32_t>(n);
  }
  *got = done;
  return 1;
}

int platform_write_at(PlatformFile file, uint64_t offset, const void* buffer, uint32_t length) {
  uint32_t done = 0;
  while (done < length) {
    ssize_t n = pwrite(static_cast<int>(file), static_cast<const char*>(buffer) + done, length - done,
                       static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return 0;
    }
    done += static_cast<uint32_t>(n);
  }
  return 1;
}

void platform_close(PlatformFile file) {
  if (file == INVALID_HANDLE_VALUE) return;
  forget_read_file(static_cast<int>(file));
  close(static_cast<int>(file));
}

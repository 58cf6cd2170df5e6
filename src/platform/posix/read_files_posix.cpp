#include "platform/posix/read_files_posix.h"

namespace {

struct ReadFile {
  int fd;
  dev_t device;
  ino_t inode;
};

// The engine holds a few files at most; one beyond the table simply goes
// unprotected.
constexpr int READ_FILE_SLOTS = 16;
ReadFile read_files[READ_FILE_SLOTS] = {};
int read_file_count = 0;

}  // namespace

void remember_read_file(int fd, dev_t device, ino_t inode) {
  if (read_file_count < READ_FILE_SLOTS) read_files[read_file_count++] = ReadFile{fd, device, inode};
}

void forget_read_file(int fd) {
  for (int i = 0; i < read_file_count; ++i) {
    if (read_files[i].fd == fd) {
      read_files[i] = read_files[--read_file_count];
      return;
    }
  }
}

int is_open_for_reading(dev_t device, ino_t inode) {
  for (int i = 0; i < read_file_count; ++i) {
    if (read_files[i].device == device && read_files[i].inode == inode) return 1;
  }
  return 0;
}

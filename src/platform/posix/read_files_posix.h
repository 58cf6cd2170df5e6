// The files this process has open for reading (the data file), so that no
// export can empty one of them.
#pragma once

#include <sys/types.h>

void remember_read_file(int fd, dev_t device, ino_t inode);
void forget_read_file(int fd);
int is_open_for_reading(dev_t device, ino_t inode);

// The table of open files and the handles kept in position blocks. A
// handle is a magic number, the table index and the generation of the open
// that filled the entry, so a block of a closed file, a block never opened
// or a stale copy of a block is told apart from a live one.
#include <cstring>

#include "engine/file_table.h"

namespace {

constexpr uint32_t HANDLE_MAGIC = 0x4E455644u;  // "DVEN"

OpenFile open_files[ENGINE_MAX_FILES];
uint32_t last_generation = 0;

struct Handle {
  uint32_t magic;
  uint32_t index;
  uint32_t generation;
};

}  // namespace

OpenFile* file_from_block(const void* position_block) {
  if (!position_block) return nullptr;
  Handle handle;
  std::memcpy(&handle, position_block, sizeof handle);
  if (handle.magic != HANDLE_MAGIC || handle.index >= ENGINE_MAX_FILES) return nullptr;
  OpenFile* file = &open_files[handle.index];
  return file->in_use && file->generation == handle.generation ? file : nullptr;
}

OpenFile* claim_file_entry(void* position_block) {
  for (uint32_t index = 0; index < ENGINE_MAX_FILES; ++index) {
    OpenFile* file = &open_files[index];
    if (file->in_use) continue;
    std::memset(file, 0, sizeof *file);
    file->in_use = 1;
    file->generation = ++last_generation;
    Handle handle{HANDLE_MAGIC, index, file->generation};
    std::memset(position_block, 0, POSITION_BLOCK_SIZE);
    std::memcpy(position_block, &handle, sizeof handle);
    return file;
  }
  return nullptr;
}

void release_file_entry(OpenFile* file, void* position_block) {
  if (file->source.release) file->source.release(file->source.context);
  file->source = ByteSource{};
  file->in_use = 0;
  if (position_block) std::memset(position_block, 0, sizeof(Handle));
}

void release_every_file() {
  for (OpenFile& file : open_files) {
    if (file.in_use) release_file_entry(&file, nullptr);
  }
}

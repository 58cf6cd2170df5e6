// The payload bytes of a tail's fragment chain, in chain order. Every
// pointer, directory entry and fragment bound is checked before use, and the
// walk stops on a loop (Brent's method, constant memory) or after more
// fragments than the file could hold.
#include <cstring>

#include "engine/engine_internal.h"

namespace {

constexpr uint64_t NO_FRAGMENT = ~uint64_t{0};
constexpr uint32_t UNUSED_ENTRY = 0xFFFF;
constexpr uint32_t ENTRY_HAS_POINTER = 0x8000;  // 5.x: the fragment begins with a next pointer

struct TailPointer {
  uint32_t page;
  uint32_t fragment;
  int is_null;
};

TailPointer decode_pointer(const FileLayout& layout, const uint8_t* p) {
  if (layout.family == FamilyV8) {
    uint32_t page = read_u32(p);
    return TailPointer{page, read_u16(p + 4), page == 0xFFFFFFFFu};
  }
  uint32_t page = (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[2]) << 8) | p[1];
  return TailPointer{page, p[3], p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF};
}

// 1 when this fragment was met before within the loop window.
int revisits(ChainCursor* chain, uint64_t fragment_id) {
  if (fragment_id == chain->saved_fragment) return 1;
  if (++chain->steps == chain->power) {
    chain->saved_fragment = fragment_id;
    chain->power <<= 1;
    chain->steps = 0;
  }
  return 0;
}

int read_directory_entry(OpenFile* file, uint32_t index, uint32_t* entry) {
  uint64_t page_start = file->var_page.physical * file->layout.page_size;
  uint8_t bytes[2];
  if (!source_read(file, page_start + file->layout.page_size - 2 * (index + 1), bytes, 2)) return 0;
  *entry = read_u16(bytes);
  return 1;
}

// The directory entries of fragment `index` and of the one after it, in one read.
int read_entry_pair(OpenFile* file, uint32_t index, uint32_t* entry, uint32_t* following) {
  uint64_t page_start = file->var_page.physical * file->layout.page_size;
  uint8_t bytes[4];
  if (!source_read(file, page_start + file->layout.page_size - 2 * (index + 2), bytes, 4)) return 0;
  *following = read_u16(bytes);
  *entry = read_u16(bytes + 2);
  return 1;
}

// The end of fragment `index`: the next directory entry in use after it.
int fragment_end(OpenFile* file, uint32_t index, uint32_t following, uint32_t* end) {
  if (following != UNUSED_ENTRY) {
    *end = following & 0x7FFF;
    return 1;
  }
  for (uint32_t next = index + 2; next <= file->var_page.fragment_count; ++next) {
    uint32_t entry = 0;
    if (!read_directory_entry(file, next, &entry)) return 0;
    if (entry != UNUSED_ENTRY) {
      *end = entry & 0x7FFF;
      return 1;
    }
  }
  return 0;
}

// Sets the chain to read fragment `pointer`; checks the bounds first.
int16_t enter_fragment(OpenFile* file, ChainCursor* chain, const TailPointer& pointer) {
  const FileLayout& layout = file->layout;
  if (load_var_page(file, pointer.page) != STATUS_SUCCESS) return STATUS_IO_ERROR;
  uint32_t count = file->var_page.fragment_count;
  if (pointer.fragment >= count) return STATUS_IO_ERROR;
  uint64_t directory_bytes = 2 * (static_cast<uint64_t>(count) + 1);
  if (directory_bytes > layout.page_size - layout.var_header_size) return STATUS_IO_ERROR;
  uint32_t directory_start = layout.page_size - static_cast<uint32_t>(directory_bytes);
  uint32_t entry = 0;
  uint32_t following = 0;
  uint32_t end = 0;
  if (!read_entry_pair(file, pointer.fragment, &entry, &following) || entry == UNUSED_ENTRY) return STATUS_IO_ERROR;
  if (!fragment_end(file, pointer.fragment, following, &end)) return STATUS_IO_ERROR;
  uint32_t start = entry & 0x7FFF;
  if (start < layout.var_header_size || end < start || end > directory_start) return STATUS_IO_ERROR;
  int has_pointer = layout.family != FamilyV5 || (entry & ENTRY_HAS_POINTER);
  chain->page = pointer.page;
  chain->physical = file->var_page.physical;
  chain->last = !has_pointer;
  chain->position = start;
  chain->end = end;
  if (has_pointer) {
    if (end - start < layout.pointer_size) return STATUS_IO_ERROR;
    if (!source_read(file, chain->physical * layout.page_size + start, chain->next, layout.pointer_size)) {
      return STATUS_IO_ERROR;
    }
    chain->position = start + layout.pointer_size;
  }
  return STATUS_SUCCESS;
}

}  // namespace

void chain_begin(const FileLayout& layout, ChainCursor* chain, const uint8_t* pointer) {
  std::memset(chain, 0, sizeof *chain);
  std::memcpy(chain->next, pointer, layout.pointer_size);
  chain->saved_fragment = NO_FRAGMENT;
  chain->power = 1;
}

int16_t chain_fill(OpenFile* file, ChainCursor* chain) {
  const FileLayout& layout = file->layout;
  // A fragment needs at least its 2-byte directory entry, so no page holds more than this.
  uint64_t most_fragments = layout.page_count * (layout.page_size / 2);
  while (chain->position == chain->end && !chain->finished) {
    TailPointer pointer = decode_pointer(layout, chain->next);
    if (chain->last || pointer.is_null) {
      chain->finished = 1;
      break;
    }
    uint64_t fragment_id = (static_cast<uint64_t>(pointer.page) << 16) | pointer.fragment;
    if (++chain->walked > most_fragments || revisits(chain, fragment_id)) return STATUS_IO_ERROR;
    int16_t status = enter_fragment(file, chain, pointer);
    if (status != STATUS_SUCCESS) return status;
  }
  return STATUS_SUCCESS;
}

int16_t chain_take(OpenFile* file, ChainCursor* chain, uint8_t* out, uint64_t want, uint32_t* taken) {
  uint32_t available = chain->end - chain->position;
  uint32_t count = want < available ? static_cast<uint32_t>(want) : available;
  *taken = 0;
  if (out && count != 0) {
    uint64_t offset = chain->physical * file->layout.page_size + chain->position;
    if (!source_read(file, offset, out, count)) return STATUS_IO_ERROR;
  }
  chain->position += count;
  *taken = count;
  return STATUS_SUCCESS;
}

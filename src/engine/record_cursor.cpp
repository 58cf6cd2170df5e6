// The bytes of one record in order: the fixed part from its slot, then the
// tail from the fragment chain, or the whole expanded record when the file
// is compressed. The cursor stays in the file's state, so a later read that
// starts at or after the position reached continues without going back.
#include <cstring>

#include "engine/engine_internal.h"

void cursor_begin(OpenFile* file, uint32_t page, uint32_t slot) {
  const FileLayout& layout = file->layout;
  RecordCursor& cursor = file->cursor;
  const uint8_t* bytes = slot_bytes(file, slot);
  cursor.valid = 1;
  cursor.address = record_address(layout, page, slot);
  cursor.offset = 0;
  cursor.fixed_position = 0;
  cursor.has_chain = layout.variable || layout.compressed;
  run_decoder_begin(&cursor.decoder);
  if (layout.compressed) {
    cursor.fixed_length = 0;
    chain_begin(layout, &cursor.chain, bytes);
    return;
  }
  uint32_t usage_bytes = layout.family == FamilyV5 ? 0 : 2;
  cursor.fixed_length = layout.fixed_length;
  std::memcpy(cursor.fixed, bytes + usage_bytes, layout.fixed_length);
  if (layout.variable) chain_begin(layout, &cursor.chain, bytes + usage_bytes + layout.fixed_length);
}

namespace {

uint64_t copy_fixed(RecordCursor& cursor, uint8_t* out, uint64_t want) {
  uint64_t left = cursor.fixed_length - cursor.fixed_position;
  uint64_t count = want < left ? want : left;
  if (out && count) std::memcpy(out, cursor.fixed + cursor.fixed_position, count);
  cursor.fixed_position += static_cast<uint32_t>(count);
  return count;
}

int16_t read_tail(OpenFile* file, uint8_t* out, uint64_t want, uint64_t* got) {
  *got = 0;
  while (*got < want) {
    ChainCursor& chain = file->cursor.chain;
    int16_t status = chain_fill(file, &chain);
    if (status != STATUS_SUCCESS || chain.finished) return status;
    uint32_t taken = 0;
    status = chain_take(file, &chain, out ? out + *got : nullptr, want - *got, &taken);
    if (status != STATUS_SUCCESS) return status;
    *got += taken;
  }
  return STATUS_SUCCESS;
}

}  // namespace

int16_t cursor_read(OpenFile* file, uint8_t* out, uint64_t want, uint64_t* got) {
  RecordCursor& cursor = file->cursor;
  *got = copy_fixed(cursor, out, want);
  int16_t status = STATUS_SUCCESS;
  if (*got < want && cursor.has_chain) {
    uint64_t more = 0;
    uint8_t* target = out ? out + *got : nullptr;
    if (file->layout.compressed) {
      status = run_decoder_read(file, target, want - *got, &more);
    } else {
      status = read_tail(file, target, want - *got, &more);
    }
    *got += more;
  }
  cursor.offset += *got;
  return status;
}

int16_t cursor_has_more(OpenFile* file, int* more) {
  RecordCursor& cursor = file->cursor;
  *more = cursor.fixed_position < cursor.fixed_length;
  if (*more || !cursor.has_chain) return STATUS_SUCCESS;
  if (file->layout.compressed) return run_decoder_has_more(file, more);
  int16_t status = chain_fill(file, &cursor.chain);
  *more = !cursor.chain.finished;
  return status;
}

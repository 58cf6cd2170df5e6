// Expands compressed records as they are read. The stored form alternates
// literal runs (u16 n, then n bytes) and repeat runs (u16 n, then one byte
// to repeat n times), starting with a literal run; it may end after any run.
// Counts and runs may be split across fragments, so the decoder keeps its
// state between reads and never needs the whole record in memory.
#include <cstring>

#include "engine/engine_internal.h"

namespace {

RunDecoder& decoder_of(OpenFile* file) { return file->cursor.decoder; }
ChainCursor& chain_of(OpenFile* file) { return file->cursor.chain; }

int16_t take_byte(OpenFile* file, uint8_t* byte, int* ended) {
  int16_t status = chain_fill(file, &chain_of(file));
  if (status != STATUS_SUCCESS) return status;
  *ended = chain_of(file).finished;
  if (*ended) return STATUS_SUCCESS;
  uint32_t taken = 0;
  return chain_take(file, &chain_of(file), byte, 1, &taken);
}

// Reads the next count; a clean end is only allowed before its first byte.
int16_t read_count(OpenFile* file, int* more) {
  RunDecoder& decoder = decoder_of(file);
  while (decoder.count_bytes < 2) {
    uint8_t byte = 0;
    int ended = 0;
    int16_t status = take_byte(file, &byte, &ended);
    if (status != STATUS_SUCCESS) return status;
    if (ended) {
      *more = 0;
      return decoder.count_bytes == 0 ? STATUS_SUCCESS : STATUS_IO_ERROR;
    }
    decoder.count |= static_cast<uint32_t>(byte) << (8 * decoder.count_bytes);
    ++decoder.count_bytes;
  }
  decoder.remaining = decoder.count;
  decoder.count = 0;
  decoder.count_bytes = 0;
  decoder.phase = decoder.phase == PhaseLiteralCount ? PhaseLiteral : PhaseRepeatByte;
  *more = 1;
  return STATUS_SUCCESS;
}

// Moves on until expanded bytes are pending (*more = 1) or the record ends.
int16_t settle(OpenFile* file, int* more) {
  RunDecoder& decoder = decoder_of(file);
  for (;;) {
    switch (decoder.phase) {
      case PhaseLiteral:
      case PhaseRepeat:
        if (decoder.remaining > 0) {
          *more = 1;
          return STATUS_SUCCESS;
        }
        decoder.phase = decoder.phase == PhaseLiteral ? PhaseRepeatCount : PhaseLiteralCount;
        break;
      case PhaseRepeatByte: {
        int ended = 0;
        int16_t status = take_byte(file, &decoder.repeat_byte, &ended);
        if (status != STATUS_SUCCESS) return status;
        if (ended) return STATUS_IO_ERROR;
        decoder.phase = PhaseRepeat;
        break;
      }
      default: {
        int16_t status = read_count(file, more);
        if (status != STATUS_SUCCESS || !*more) return status;
        break;
      }
    }
  }
}

int16_t copy_literal(OpenFile* file, uint8_t* out, uint64_t want, uint64_t* got) {
  RunDecoder& decoder = decoder_of(file);
  int16_t status = chain_fill(file, &chain_of(file));
  if (status != STATUS_SUCCESS) return status;
  if (chain_of(file).finished) return STATUS_IO_ERROR;  // the run promised more bytes
  uint64_t limit = want < decoder.remaining ? want : decoder.remaining;
  uint32_t taken = 0;
  status = chain_take(file, &chain_of(file), out, limit, &taken);
  decoder.remaining -= taken;
  *got = taken;
  return status;
}

}  // namespace

void run_decoder_begin(RunDecoder* decoder) {
  std::memset(decoder, 0, sizeof *decoder);
  decoder->phase = PhaseLiteralCount;
}

int16_t run_decoder_has_more(OpenFile* file, int* more) { return settle(file, more); }

int16_t run_decoder_read(OpenFile* file, uint8_t* out, uint64_t want, uint64_t* got) {
  RunDecoder& decoder = decoder_of(file);
  *got = 0;
  while (*got < want) {
    int more = 0;
    int16_t status = settle(file, &more);
    if (status != STATUS_SUCCESS) return status;
    if (!more) break;
    uint8_t* target = out ? out + *got : nullptr;
    uint64_t step = 0;
    if (decoder.phase == PhaseLiteral) {
      status = copy_literal(file, target, want - *got, &step);
      if (status != STATUS_SUCCESS) return status;
    } else {
      step = want - *got < decoder.remaining ? want - *got : decoder.remaining;
      if (target) std::memset(target, decoder.repeat_byte, step);
      decoder.remaining -= static_cast<uint32_t>(step);
    }
    *got += step;
  }
  return STATUS_SUCCESS;
}

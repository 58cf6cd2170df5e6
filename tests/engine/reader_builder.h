// Builds small compressed data files in memory (6.x or 8.x layout), so the
// reader's run-length decoding and its fragment chains can be tested where
// no sample exists.
#pragma once

#include <cstdint>
#include <vector>

struct CompressedFileOptions {
  int version8 = 0;              // 0: 6.x layout, 1: 8.x layout
  uint16_t version_word = 0;     // 0: 0x0600 or 0x0800
  uint32_t page_size = 1024;
  uint32_t fragment_payload = 37;  // most stored bytes in one fragment
  uint32_t fragments_per_page = 7;
  uint32_t duplicate_pointers = 1;
};

struct CompressedSlot {
  int deleted = 0;
  std::vector<uint8_t> stored;  // the run-length coded record as stored
};

// The run-length code: literal run, repeat run, literal run, ... each with a u16 count.
std::vector<uint8_t> run_length_encode(const std::vector<uint8_t>& record);

// Lays the slots out; `addresses` receives the address of every slot.
std::vector<uint8_t> build_compressed_file(const CompressedFileOptions& options,
                                           const std::vector<CompressedSlot>& slots,
                                           std::vector<uint32_t>* addresses);

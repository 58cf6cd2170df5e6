// Round trips: files made by the test-file writer, read back through the
// engine call exactly as DOCVANE reads a library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/writer/btrieve_writer.h"

constexpr uint16_t RT_OPEN = 0, RT_CLOSE = 1, RT_GET_POSITION = 22, RT_GET_DIRECT = 23, RT_STEP_NEXT = 24,
                   RT_STEP_FIRST = 33;
constexpr uint32_t RT_BUFFER = 57000;
constexpr int16_t RT_STATUS_EOF = 9, RT_STATUS_NOT_FOUND = 12, RT_STATUS_SHORT_BUFFER = 22,
                  RT_STATUS_NOT_BTRIEVE = 30, RT_STATUS_BAD_ADDRESS = 43, RT_STATUS_OFFSET_TOO_BIG = 103;

// One slot to write: a record, or a deleted slot.
struct RtSlot {
  int deleted = 0;
  std::vector<uint8_t> bytes;
};

// A written record and the address the writer gave it.
struct RtWritten {
  std::vector<uint8_t> bytes;
  uint32_t address = 0;
};

// Writes `slots`; fills `written` with the live records in order. 1 on success.
int rt_write_file(const std::string& path, const BtrieveWriterOptions& options, const std::vector<RtSlot>& slots,
                  std::vector<RtWritten>* written);
RtSlot rt_record(size_t length, uint32_t seed);
RtSlot rt_deleted();

// An open data file, closed when the object goes.
class RtFile {
 public:
  explicit RtFile(const std::string& path);
  ~RtFile();
  RtFile(const RtFile&) = delete;
  RtFile& operator=(const RtFile&) = delete;
  int16_t open_status() const { return open_status_; }
  // Step First (first = true) or Step Next with a 57000-byte buffer; `record`
  // receives the bytes returned.
  int16_t step(bool first, std::vector<uint8_t>* record);
  int16_t get_position(uint32_t* address);
  // One direct chunk {address, 0x80000000, 1, offset, length, 0}.
  int16_t get_chunk(uint32_t address, uint32_t offset, uint32_t length, std::vector<uint8_t>* bytes);
  // The whole record at `address` by successive 57000-byte chunks from 0.
  int16_t read_by_chunks(uint32_t address, std::vector<uint8_t>* record);

 private:
  uint8_t position_block_[128] = {};
  int16_t open_status_ = -1;
};

// Steps through the whole file. `statuses` receives each Step's status
// (the last is the one that ended the scan), `records` the bytes each
// returned, `addresses` the Get Position of each.
void rt_step_all(RtFile& file, std::vector<int16_t>* statuses, std::vector<std::vector<uint8_t>>* records,
                 std::vector<uint32_t>* addresses);

// Checks, with gtest assertions, that the file at `path` gives back exactly
// `expected`: Step statuses and prefixes, Get Position, chunked whole records.
void rt_expect_round_trip(const std::string& path, const std::vector<RtWritten>& expected);

// Round trips: files made by the test-file writer, read back through the
// engine call exactly as DOCVANE reads a library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/writer/btrieve_writer.h"
#include "engine_calls.h"

// The data buffer DOCVANE offers to Step and to each chunk request.
constexpr uint32_t RT_BUFFER = 57000;

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

// A data file opened by name and closed when the object goes, so that a
// failed assertion leaves none of the engine's few open files taken.
struct RtFile {
  explicit RtFile(const std::string& path) : status(open_path(block, path)) {}
  ~RtFile() {
    if (status == 0) close_file(block);
  }
  RtFile(const RtFile&) = delete;
  RtFile& operator=(const RtFile&) = delete;
  PositionBlock block;
  int16_t status;  // of the open
};

// Checks, with gtest assertions, that the file at `path` gives back exactly
// `expected`: Step statuses and prefixes, Get Position, chunked whole records.
void rt_expect_round_trip(const std::string& path, const std::vector<RtWritten>& expected);

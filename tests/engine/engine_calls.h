// The engine call as the engine tests make it: operation and status numbers,
// and one wrapper a request (open, step, position, chunk, whole record, walk).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"

constexpr uint16_t OP_OPEN = 0;
constexpr uint16_t OP_CLOSE = 1;
constexpr uint16_t OP_GET_POSITION = 22;
constexpr uint16_t OP_GET_DIRECT = 23;
constexpr uint16_t OP_STEP_NEXT = 24;
constexpr uint16_t OP_RESET = 28;
constexpr uint16_t OP_STEP_FIRST = 33;

constexpr int16_t STATUS_EOF = 9;
constexpr int16_t STATUS_NOT_FOUND = 12;
constexpr int16_t STATUS_SHORT_BUFFER = 22;
constexpr int16_t STATUS_NOT_BTRIEVE = 30;
constexpr int16_t STATUS_BAD_ADDRESS = 43;
constexpr int16_t STATUS_OFFSET_TOO_BIG = 103;

struct PositionBlock {
  uint8_t bytes[128] = {};
};

int16_t open_path(PositionBlock& block, const std::string& path);
// Opens bytes held in memory; they must outlive the open file.
int16_t open_bytes(PositionBlock& block, const std::vector<uint8_t>& bytes);
int16_t close_file(PositionBlock& block);

struct StepResult {
  int16_t status = -1;
  std::vector<uint8_t> data;  // the bytes placed
};
StepResult step(PositionBlock& block, uint16_t operation, uint32_t data_length);

struct PositionResult {
  int16_t status = -1;
  uint32_t address = 0;
  uint32_t length = 0;
};
PositionResult get_position(PositionBlock& block, uint32_t data_length = 4);

struct ChunkResult {
  int16_t status = -1;
  std::vector<uint8_t> data;
};
// One Get Direct/Chunk request with a single chunk; `buffer_size` is the offered data length.
ChunkResult read_chunk(PositionBlock& block, uint32_t address, uint32_t offset, uint32_t length,
                       uint32_t buffer_size, uint32_t subfunction = 0x80000000u, uint32_t count = 1);
// The whole record at `address` through consecutive chunks of `piece` bytes;
// the status is that of the last request.
ChunkResult read_whole_record(PositionBlock& block, uint32_t address, uint32_t piece);

std::string sha_of(const std::vector<uint8_t>& bytes);

// Everything Step First / Step Next return, with Get Position after each record.
struct WalkedRecord {
  int16_t status = -1;
  uint32_t address = 0;
  std::vector<uint8_t> data;
};
struct Walk {
  std::vector<WalkedRecord> records;  // steps that gave 0 or 22
  std::vector<int16_t> other_statuses;  // every other step status, in order
};
// Steps until a status other than 0, 22 and 2 or `max_calls` steps (status 2 is
// recorded and stepping goes on when `continue_after_damage`).
Walk walk_file(PositionBlock& block, uint32_t data_length, int continue_after_damage, int max_calls = 100000);

// Long records: consecutive chunks continue from where the previous one
// ended, so reading a record costs about its own size in file reads, never
// a walk from the chain's start per chunk.
#include <gtest/gtest.h>

#include "engine/writer/btrieve_writer.h"
#include "reader_helpers.h"
#include "support/test_support.h"

namespace {

struct CountingSource {
  ByteSource inner;
  uint64_t bytes_read = 0;
  uint64_t calls = 0;
};

int counting_read(void* context, uint64_t offset, void* buffer, uint32_t length) {
  CountingSource* source = static_cast<CountingSource*>(context);
  source->bytes_read += length;
  ++source->calls;
  return source->inner.read_at(source->inner.context, offset, buffer, length);
}

void counting_release(void* context) {
  CountingSource* source = static_cast<CountingSource*>(context);
  if (source->inner.release) source->inner.release(source->inner.context);
}

int write_library_file(const std::string& path, const std::vector<std::vector<uint8_t>>& records, int version8) {
  BtrieveWriterOptions options;
  options.fixed_length = 178;
  options.format_version8 = version8;
  BtrieveWriter* writer = btrieve_writer_create(path.c_str(), options);
  EXPECT_NE(writer, nullptr);
  if (!writer) return 0;
  for (const std::vector<uint8_t>& record : records) {
    EXPECT_EQ(btrieve_writer_add(writer, record.data(), record.size()), 1);
  }
  EXPECT_EQ(btrieve_writer_finish(writer), 1);
  return 1;
}

std::vector<uint8_t> write_library(const std::vector<std::vector<uint8_t>>& records, int version8) {
  TempDir dir;
  if (!write_library_file(dir.file("long.dat"), records, version8)) return {};
  return read_file_bytes(dir.file("long.dat"));
}

TEST(ReaderStreaming, ConsecutiveChunksReadTheRecordOnce) {
  const uint32_t piece = 57000;
  for (int version8 : {0, 1}) {
    SCOPED_TRACE(version8 ? "8.0" : "6.0");
    std::vector<std::vector<uint8_t>> records = {pattern_bytes(300, 1), pattern_bytes(3 * 1024 * 1024 + 17, 2),
                                                 pattern_bytes(500, 3)};
    std::vector<uint8_t> file = write_library(records, version8);
    ASSERT_FALSE(file.empty());
    CountingSource counter{memory_byte_source(file.data(), file.size())};
    PositionBlock block;
    ASSERT_EQ(engine_open_source(block.bytes, ByteSource{&counter, counting_read, counting_release, file.size()}), 0);
    ASSERT_EQ(step(block, OP_STEP_FIRST, piece).status, 0);
    StepResult first = step(block, OP_STEP_NEXT, piece);
    ASSERT_EQ(first.status, 22);
    uint32_t address = get_position(block).address;
    uint64_t before = counter.bytes_read;
    uint64_t calls_before = counter.calls;
    std::vector<uint8_t> whole = first.data;
    for (uint32_t offset = piece;; offset += piece) {
      ChunkResult part = read_chunk(block, address, offset, piece, piece);
      ASSERT_EQ(part.status, 0);
      whole.insert(whole.end(), part.data.begin(), part.data.end());
      if (part.data.size() < piece) break;
    }
    EXPECT_EQ(whole, records[1]);
    uint64_t read = counter.bytes_read - before;
    EXPECT_LT(read, records[1].size() + records[1].size() / 10) << "bytes read for the chunks: " << read;
    // A fragment costs a handful of small reads (header, directory, pointer,
    // payload); a walk from the chain's start per chunk would cost the
    // whole chain's worth again for each of the 56 chunks.
    uint64_t fragments = records[1].size() / (4096 - 32) + 1;
    uint64_t calls = counter.calls - calls_before;
    EXPECT_LT(calls, 10 * fragments) << "reads for " << fragments << " fragments: " << calls;
    StepResult next = step(block, OP_STEP_NEXT, piece);
    EXPECT_EQ(next.data, records[2]) << "Step Next goes on after the chunked record";
    close_file(block);
  }
}

TEST(ReaderStreaming, GoingBackRestartsFromTheChainStart) {
  std::vector<std::vector<uint8_t>> records = {pattern_bytes(400000, 5)};
  std::vector<uint8_t> file = write_library(records, 0);
  PositionBlock block;
  ASSERT_EQ(open_bytes(block, file), 0);
  ASSERT_EQ(step(block, OP_STEP_FIRST, 10).status, 22);
  uint32_t address = get_position(block).address;
  for (uint32_t offset : {300000u, 100u, 399990u, 0u, 200000u, 200001u}) {
    ChunkResult part = read_chunk(block, address, offset, 50, 50);
    ASSERT_EQ(part.status, 0);
    size_t expected = std::min<size_t>(50, records[0].size() - offset);
    EXPECT_EQ(part.data, std::vector<uint8_t>(records[0].begin() + offset, records[0].begin() + offset + expected))
        << "offset " << offset;
  }
  close_file(block);
}

// A named file is read through read-ahead buffers; records that jump back
// to shared tail pages and across megabytes must read as from memory.
TEST(ReaderStreaming, NamedFileReadsLikeTheBytesInMemory) {
  std::vector<std::vector<uint8_t>> records;
  for (uint32_t i = 0; i < 24; ++i) {
    size_t length = i % 3 == 0 ? 178 + i : 150000 + 37 * i * i;
    records.push_back(pattern_bytes(length, 100 + i));
  }
  for (int version8 : {0, 1}) {
    SCOPED_TRACE(version8 ? "8.0" : "6.0");
    TempDir dir;
    ASSERT_EQ(write_library_file(dir.file("lib.dat"), records, version8), 1);
    PositionBlock block;
    ASSERT_EQ(open_path(block, dir.file("lib.dat")), 0);
    Walk walk = walk_file(block, 57000, 0);
    ASSERT_EQ(walk.records.size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
      ChunkResult whole = read_whole_record(block, walk.records[i].address, 57000);
      EXPECT_EQ(whole.data, records[i]) << "record " << i;
    }
    close_file(block);
  }
}

}  // namespace

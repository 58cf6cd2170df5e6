// Statuses of the engine call: opening, unknown blocks and operations,
// positioning, the end of the file, and bad chunk requests.
#include <gtest/gtest.h>

#include <set>

#include "reader_helpers.h"
#include "support/test_support.h"

namespace {

constexpr uint32_t LARGE_BUFFER = 65536;

TEST(ReaderOpen, NamesThatCannotBeOpened) {
  TempDir dir;
  write_file_bytes(dir.file("text.DAT"), std::vector<uint8_t>(4096, 'x'));
  write_file_bytes(dir.file("empty.DAT"), {});
  struct Case {
    std::string path;
    int16_t status;
  } cases[] = {
      {dir.file("missing.DAT"), 12},
      {dir.file("no-folder/missing.DAT"), 12},
      {dir.file("text.DAT"), 30},
      {dir.file("empty.DAT"), 30},
      {dir.path(), 46},  // a folder is no file to read
      {"", 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    PositionBlock block;
    EXPECT_EQ(open_path(block, c.path), c.status);
    EXPECT_EQ(step(block, OP_STEP_FIRST, 100).status, 3) << "a failed open leaves no open file";
  }
}

TEST(ReaderOpen, NameWithoutTerminatorIsRefused) {
  std::vector<char> name(5000, 'a');
  PositionBlock block;
  uint32_t length = 0;
  EXPECT_EQ(engine_call(OP_OPEN, block.bytes, nullptr, &length, name.data(), 255, 0), 11);
}

TEST(ReaderOpen, AnyOpenModeReadsTheFile) {
  std::string path = sample_path("WGSMENU2.DAT");
  std::vector<char> key(path.begin(), path.end());
  key.push_back('\0');
  for (int8_t mode : {0, -1, -2, -3, -4}) {
    PositionBlock block;
    uint32_t length = 0;
    EXPECT_EQ(engine_call(OP_OPEN, block.bytes, nullptr, &length, key.data(), 255, mode), 0);
    EXPECT_EQ(step(block, OP_STEP_FIRST, LARGE_BUFFER).status, 0);
    close_file(block);
  }
}

void put_u16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  bytes.at(at) = static_cast<uint8_t>(value);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

// Patches both control-record copies of a 6.x sample.
std::vector<uint8_t> patched_v6(const std::string& name, size_t at, uint32_t value) {
  std::vector<uint8_t> bytes = load_sample(name);
  put_u16(bytes, at, value);
  put_u16(bytes, 4096 + at, value);
  return bytes;
}

TEST(ReaderOpen, LayoutsThisReaderCannotReadAreRefused) {
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"variable-tail allocation tables", 0x106, 0x0801},
      {"key-only file", 0x106, 0x0011},
      {"blank truncation of tails", 0x106, 0x0003},
      {"version 9.5", 0x4A, 0x0950},
      {"version 5.0 with a 6.x signature", 0x4A, 0x0500},
      {"version word with a minor nibble", 0x4A, 0x0601},
      {"page size 0", 0x08, 0},
      {"page size not a multiple of 512", 0x08, 1000},
      {"page size above 16384", 0x08, 32768},
      {"slot length 0", 0x18, 0},
      {"slot shorter than the fixed part", 0x18, 449},
      {"slot longer than a page", 0x18, 4095},
      {"duplicate pointers outside the slot", 0x74, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = patched_v6("WGSMENU2.DAT", c.at, c.value);
    PositionBlock block;
    EXPECT_EQ(open_bytes(block, bytes), 30);
  }
}

TEST(ReaderOpen, OwnerFlagAndLaterSixFamilyVersionsAreRead) {
  Manifest manifest = load_manifest("WGSMENU2.DAT");
  for (uint32_t version : {0xFA00u, 0x0610u, 0x0700u, 0xF900u}) {
    SCOPED_TRACE(version);
    std::vector<uint8_t> bytes = patched_v6("WGSMENU2.DAT", 0x4A, version);
    PositionBlock block;
    ASSERT_EQ(open_bytes(block, bytes), 0);
    Walk walk = walk_file(block, LARGE_BUFFER, 0);
    EXPECT_EQ(walk.records.size(), manifest.records.size());
    close_file(block);
  }
}

TEST(ReaderOpen, OlderControlRecordCopyIsIgnored) {
  // Page 1 holds the newer copy. Make page 0 the newer one with a slot
  // length that cannot be read, then the older one again.
  std::vector<uint8_t> bytes = load_sample("WGSMENU2.DAT");
  bytes[0x04] = 0x50;  // page 0 becomes the current copy...
  put_u16(bytes, 0x18, 10);  // ...with a slot length too short to be read
  PositionBlock block;
  EXPECT_EQ(open_bytes(block, bytes), 30);
  bytes[0x04] = 0x00;  // page 0 older again: page 1's numbers apply
  EXPECT_EQ(open_bytes(block, bytes), 0);
  EXPECT_EQ(walk_file(block, LARGE_BUFFER, 0).records.size(), load_manifest("WGSMENU2.DAT").records.size());
  close_file(block);
}

TEST(ReaderBlocks, UnknownAndClosedBlocksGiveStatus3) {
  PositionBlock never_opened;
  EXPECT_EQ(step(never_opened, OP_STEP_FIRST, 100).status, 3);
  EXPECT_EQ(get_position(never_opened).status, 3);
  EXPECT_EQ(close_file(never_opened), 3);

  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("WGSMENU2.DAT")), 0);
  PositionBlock stale = block;
  EXPECT_EQ(close_file(block), 0);
  EXPECT_EQ(step(block, OP_STEP_NEXT, 100).status, 3);
  EXPECT_EQ(close_file(block), 3);
  // A copy of a closed block stays dead even when its table entry is reused.
  PositionBlock reopened;
  ASSERT_EQ(open_path(reopened, sample_path("WGSMENU2.DAT")), 0);
  EXPECT_EQ(step(stale, OP_STEP_FIRST, 100).status, 3);
  EXPECT_EQ(step(reopened, OP_STEP_FIRST, LARGE_BUFFER).status, 0);
  close_file(reopened);
}

TEST(ReaderBlocks, ResetClosesEveryOpenFile) {
  PositionBlock first;
  PositionBlock second;
  ASSERT_EQ(open_path(first, sample_path("WGSMENU2.DAT")), 0);
  ASSERT_EQ(open_path(second, sample_path("GALTELA.DAT")), 0);
  uint32_t length = 0;
  EXPECT_EQ(engine_call(OP_RESET, nullptr, nullptr, &length, nullptr, 0, 0), 0);
  EXPECT_EQ(step(first, OP_STEP_FIRST, 100).status, 3);
  EXPECT_EQ(step(second, OP_STEP_FIRST, 100).status, 3);
}

TEST(ReaderBlocks, TwoOpensOfOneFileKeepTheirOwnPositions) {
  Manifest manifest = load_manifest("GALTELA.DAT");
  PositionBlock first;
  PositionBlock second;
  ASSERT_EQ(open_path(first, sample_path("GALTELA.DAT")), 0);
  ASSERT_EQ(open_path(second, sample_path("GALTELA.DAT")), 0);
  step(first, OP_STEP_FIRST, LARGE_BUFFER);
  step(first, OP_STEP_NEXT, LARGE_BUFFER);
  step(second, OP_STEP_FIRST, LARGE_BUFFER);
  EXPECT_EQ(get_position(first).address, manifest.records[1].address);
  EXPECT_EQ(get_position(second).address, manifest.records[0].address);
  close_file(first);
  close_file(second);
}

TEST(ReaderBlocks, TableFullGives86AndFreesAgainOnClose) {
  std::vector<PositionBlock> blocks(16);
  for (PositionBlock& block : blocks) ASSERT_EQ(open_path(block, sample_path("GALTELA.DAT")), 0);
  PositionBlock one_more;
  EXPECT_EQ(open_path(one_more, sample_path("GALTELA.DAT")), 86);
  close_file(blocks[3]);
  EXPECT_EQ(open_path(one_more, sample_path("GALTELA.DAT")), 0);
  uint32_t length = 0;
  engine_call(OP_RESET, nullptr, nullptr, &length, nullptr, 0, 0);
}

TEST(ReaderOperations, UnknownOperationsGiveStatus1) {
  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("WGSMENU2.DAT")), 0);
  for (uint16_t operation : {2, 5, 6, 12, 25, 34, 35, 53, 124, 0xFFFF}) {
    SCOPED_TRACE(operation);
    uint8_t buffer[64] = {};
    uint32_t length = sizeof buffer;
    EXPECT_EQ(engine_call(operation, block.bytes, buffer, &length, nullptr, 255, 0), 1);
  }
  // Get Direct with a key number other than the chunk one.
  for (int8_t key : {0, -1, 1}) {
    uint8_t buffer[64] = {};
    uint32_t length = sizeof buffer;
    EXPECT_EQ(engine_call(OP_GET_DIRECT, block.bytes, buffer, &length, nullptr, 255, key), 1);
  }
  EXPECT_EQ(step(block, OP_STEP_FIRST, LARGE_BUFFER).status, 0) << "the file is still usable";
  close_file(block);
}

TEST(ReaderPosition, GetPositionNeedsACurrentRecordAndFourBytes) {
  Manifest manifest = load_manifest("WGSMENU2.DAT");
  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("WGSMENU2.DAT")), 0);
  EXPECT_EQ(get_position(block).status, 8);
  ASSERT_EQ(step(block, OP_STEP_FIRST, LARGE_BUFFER).status, 0);
  EXPECT_EQ(get_position(block, 3).status, 22);
  PositionResult position = get_position(block, 100);
  EXPECT_EQ(position.status, 0);
  EXPECT_EQ(position.length, 4u);
  EXPECT_EQ(position.address, manifest.records[0].address);
  close_file(block);
}

TEST(ReaderPosition, EmptyFileEndsAtOnceAndHasNoPosition) {
  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("MULTIACS.DAT")), 0);
  EXPECT_EQ(step(block, OP_STEP_FIRST, LARGE_BUFFER).status, 9);
  EXPECT_EQ(step(block, OP_STEP_NEXT, LARGE_BUFFER).status, 9);
  EXPECT_EQ(get_position(block).status, 8);
  close_file(block);
}

TEST(ReaderChunks, GetDirectMakesTheNamedRecordCurrent) {
  Manifest manifest = load_manifest("WGSMENU2.DAT");
  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("WGSMENU2.DAT")), 0);
  ASSERT_EQ(read_chunk(block, manifest.records[10].address, 0, 10, 100).status, 0);
  EXPECT_EQ(get_position(block).address, manifest.records[10].address);
  StepResult next = step(block, OP_STEP_NEXT, LARGE_BUFFER);
  EXPECT_EQ(next.status, 0);
  EXPECT_EQ(sha_of(next.data), manifest.records[11].sha256);
  close_file(block);
}

// Addresses of slots on the sample's data pages that hold no live record.
std::vector<uint32_t> free_slot_addresses(const Manifest& manifest, uint32_t page_size, uint32_t slot_length) {
  std::set<uint32_t> live;
  std::set<uint32_t> pages;
  for (const ManifestRecord& record : manifest.records) {
    live.insert(record.address);
    pages.insert(record.address / page_size);
  }
  std::vector<uint32_t> free;
  for (uint32_t page : pages) {
    for (uint32_t offset = 6; offset + slot_length <= page_size; offset += slot_length) {
      if (!live.count(page * page_size + offset)) free.push_back(page * page_size + offset);
    }
  }
  return free;
}

TEST(ReaderChunks, AddressesNamingNoLiveRecordGive43) {
  Manifest manifest = load_manifest("WGSMENU2.DAT");
  std::vector<uint32_t> free = free_slot_addresses(manifest, 4096, 454);
  ASSERT_FALSE(free.empty()) << "the sample has free slots on its data pages";
  uint32_t first = manifest.records[0].address;
  std::vector<uint32_t> bad = {
      first + 1,         // not on a slot boundary
      first - 6,         // the page header
      first - 6 + 4095,  // the page tail after the last whole slot
      0,                 // logical page 0
      6 + 4096,          // a page that is no data page
      4096 * 60 + 6,     // beyond the logical pages in use
      0xFFFFFFFFu,
  };
  bad.insert(bad.end(), free.begin(), free.end());
  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("WGSMENU2.DAT")), 0);
  for (uint32_t address : bad) {
    SCOPED_TRACE(address);
    EXPECT_EQ(read_chunk(block, address, 0, 100, 100).status, 43);
  }
  close_file(block);
}

TEST(ReaderChunks, BadDescriptorsGive62AndLongChunks22) {
  Manifest manifest = load_manifest("WGSMENU2.DAT");
  uint32_t address = manifest.records[1].address;
  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("WGSMENU2.DAT")), 0);
  EXPECT_EQ(read_chunk(block, address, 0, 10, 100, 0x80000001u).status, 62) << "indirect chunks";
  EXPECT_EQ(read_chunk(block, address, 0, 10, 100, 0x80000002u).status, 62) << "rectangles";
  EXPECT_EQ(read_chunk(block, address, 0, 10, 100, 0xC0000000u).status, 62) << "next in record";
  EXPECT_EQ(read_chunk(block, address, 0, 10, 100, 0x80000000u, 2).status, 62);
  EXPECT_EQ(read_chunk(block, address, 0, 10, 100, 0x80000000u, 0).status, 62);
  EXPECT_EQ(read_chunk(block, address, 0, 10, 19).status, 62) << "no room for the descriptor";
  EXPECT_EQ(read_chunk(block, address, 0, 101, 100).status, 22) << "chunk longer than the buffer";
  ChunkResult exact = read_chunk(block, address, 0, 100, 100);
  EXPECT_EQ(exact.status, 0);
  EXPECT_EQ(exact.data.size(), 100u);
  close_file(block);
}

TEST(ReaderChunks, ChunksInAnyOrderGiveTheSameBytes) {
  Manifest manifest = load_manifest("VARIABLE.DAT");
  PositionBlock block;
  ASSERT_EQ(open_path(block, sample_path("VARIABLE.DAT")), 0);
  const ManifestRecord& record = manifest.records.back();
  ChunkResult forward = read_whole_record(block, record.address, 100);
  ASSERT_EQ(sha_of(forward.data), record.sha256);
  // Backwards, and alternating between two records, each piece must match.
  const ManifestRecord& other = manifest.records[500];
  ChunkResult other_whole = read_whole_record(block, other.address, 1000);
  for (uint32_t offset = static_cast<uint32_t>(record.length); offset-- > 0;) {
    if (offset % 97 != 0) continue;
    ChunkResult piece = read_chunk(block, record.address, offset, 13, 100);
    ASSERT_EQ(piece.status, 0);
    size_t expected = std::min<size_t>(13, record.length - offset);
    EXPECT_EQ(piece.data, std::vector<uint8_t>(forward.data.begin() + offset,
                                               forward.data.begin() + offset + expected));
    ChunkResult other_piece = read_chunk(block, other.address, 3, 5, 100);
    EXPECT_EQ(other_piece.data, std::vector<uint8_t>(other_whole.data.begin() + 3, other_whole.data.begin() + 8));
  }
  close_file(block);
}

}  // namespace

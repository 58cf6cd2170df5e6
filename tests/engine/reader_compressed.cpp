// Compressed files (6.x and 8.x layouts) built in memory: records come back
// expanded, whole or in chunks, however the stored runs are split over
// fragments and pages.
#include <gtest/gtest.h>

#include "reader_builder.h"
#include "reader_helpers.h"
#include "support/test_support.h"

namespace {

std::vector<uint8_t> text_with_runs(size_t length, uint32_t seed) {
  std::vector<uint8_t> bytes = pattern_bytes(length, seed);
  for (size_t i = 0; i < length; ++i) {
    if ((i / 50) % 3 == 1) bytes[i] = ' ';  // runs of blanks between literal stretches
  }
  return bytes;
}

std::vector<std::vector<uint8_t>> sample_records() {
  return {
      text_with_runs(400, 1),
      std::vector<uint8_t>(70000, 'A'),  // longer than one run can say
      pattern_bytes(1, 2),
      {},                                // nothing stored at all
      std::vector<uint8_t>(5, 0),        // begins with a run: an empty literal first
      text_with_runs(3000, 3),
      pattern_bytes(300, 4),             // literal only
  };
}

struct Built {
  std::vector<uint8_t> file;
  std::vector<std::vector<uint8_t>> records;  // live records, expanded
  std::vector<uint32_t> addresses;            // of the live records
};

Built build(const CompressedFileOptions& options) {
  Built built;
  std::vector<CompressedSlot> slots;
  std::vector<uint32_t> all_addresses;
  int n = 0;
  for (const std::vector<uint8_t>& record : sample_records()) {
    if (n++ == 2) slots.push_back(CompressedSlot{1, run_length_encode(pattern_bytes(90, 9))});  // a deleted entry
    CompressedSlot slot;
    if (!record.empty()) slot.stored = run_length_encode(record);
    slots.push_back(slot);
  }
  built.file = build_compressed_file(options, slots, &all_addresses);
  size_t r = 0;
  std::vector<std::vector<uint8_t>> records = sample_records();
  for (size_t s = 0; s < slots.size(); ++s) {
    if (slots[s].deleted) continue;
    built.records.push_back(records[r++]);
    built.addresses.push_back(all_addresses[s]);
  }
  return built;
}

struct Variant {
  const char* name;
  CompressedFileOptions options;
};

std::vector<Variant> variants() {
  CompressedFileOptions v6;
  CompressedFileOptions v6_one_byte_fragments;
  v6_one_byte_fragments.fragment_payload = 1;
  v6_one_byte_fragments.fragments_per_page = 200;
  v6_one_byte_fragments.page_size = 4096;
  CompressedFileOptions v7;
  v7.version_word = 0x0700;
  CompressedFileOptions v8;
  v8.version8 = 1;
  CompressedFileOptions v9_owner;
  v9_owner.version8 = 1;
  v9_owner.version_word = static_cast<uint16_t>(-0x0900);
  v9_owner.page_size = 2048;
  v9_owner.fragment_payload = 501;
  v9_owner.duplicate_pointers = 0;
  return {{"6.0", v6}, {"6.0, one byte per fragment", v6_one_byte_fragments}, {"7.0", v7}, {"8.0", v8},
          {"9.0 with owner flag", v9_owner}};
}

TEST(ReaderCompressed, StepsReturnExpandedRecords) {
  for (const Variant& variant : variants()) {
    SCOPED_TRACE(variant.name);
    Built built = build(variant.options);
    PositionBlock block;
    ASSERT_EQ(open_bytes(block, built.file), 0);
    Walk walk = walk_file(block, 100000, 0);
    ASSERT_EQ(walk.records.size(), built.records.size());
    for (size_t i = 0; i < walk.records.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(walk.records[i].status, 0);
      EXPECT_EQ(walk.records[i].data, built.records[i]);
      EXPECT_EQ(walk.records[i].address, built.addresses[i]);
    }
    EXPECT_EQ(walk.other_statuses, std::vector<int16_t>{9});
    close_file(block);
  }
}

TEST(ReaderCompressed, ShortBuffersAndChunksCutRunsAnywhere) {
  for (const Variant& variant : variants()) {
    SCOPED_TRACE(variant.name);
    Built built = build(variant.options);
    PositionBlock block;
    ASSERT_EQ(open_bytes(block, built.file), 0);
    for (uint32_t offered : {0u, 3u, 60u, 399u}) {
      StepResult result = step(block, OP_STEP_FIRST, offered);
      for (const std::vector<uint8_t>& record : built.records) {
        size_t expected = std::min<size_t>(offered, record.size());
        EXPECT_EQ(result.status, record.size() > offered ? 22 : 0);
        EXPECT_EQ(result.data, std::vector<uint8_t>(record.begin(), record.begin() + expected));
        result = step(block, OP_STEP_NEXT, offered);
      }
    }
    for (uint32_t piece : {1u, 7u, 1000u, 57000u}) {
      for (size_t i = 0; i < built.records.size(); ++i) {
        if (piece == 1 && built.records[i].size() > 5000) continue;  // enough for one-byte pieces
        ChunkResult whole = read_whole_record(block, built.addresses[i], piece);
        EXPECT_EQ(whole.status, 0);
        EXPECT_EQ(whole.data, built.records[i]) << "record " << i << " in pieces of " << piece;
      }
    }
    close_file(block);
  }
}

TEST(ReaderCompressed, StoredFormThatEndsTooSoonGives2) {
  struct Case {
    const char* what;
    std::vector<uint8_t> stored;
  } cases[] = {
      {"half a count", {0x03}},
      {"literal run longer than what is stored", {0x05, 0x00, 'a', 'b'}},
      {"repeat count without its byte", {0x01, 0x00, 'a', 0x09, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CompressedFileOptions options;
    std::vector<CompressedSlot> slots = {CompressedSlot{0, run_length_encode({'o', 'k'})}, CompressedSlot{0, c.stored},
                                         CompressedSlot{0, run_length_encode({'n', 'e', 'x', 't'})}};
    std::vector<uint32_t> addresses;
    std::vector<uint8_t> file = build_compressed_file(options, slots, &addresses);
    PositionBlock block;
    ASSERT_EQ(open_bytes(block, file), 0);
    EXPECT_EQ(step(block, OP_STEP_FIRST, 1000).data, (std::vector<uint8_t>{'o', 'k'}));
    EXPECT_EQ(step(block, OP_STEP_NEXT, 1000).status, 2);
    EXPECT_EQ(read_chunk(block, addresses[1], 0, 100, 100).status, 2);
    StepResult next = step(block, OP_STEP_NEXT, 1000);
    EXPECT_EQ(next.status, 0) << "the walk goes on after a damaged record";
    EXPECT_EQ(next.data, (std::vector<uint8_t>{'n', 'e', 'x', 't'}));
    close_file(block);
  }
}

}  // namespace

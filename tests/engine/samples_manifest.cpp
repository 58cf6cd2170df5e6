// Every sample file reads back exactly as its manifest lists it: order,
// addresses, lengths and content.
#include <gtest/gtest.h>

#include "reader_helpers.h"

namespace {

constexpr uint32_t LARGE_BUFFER = 65536;

TEST(SamplesManifest, StepsReturnEveryRecordInManifestOrder) {
  for (const std::string& name : sample_names()) {
    SCOPED_TRACE(name);
    Manifest manifest = load_manifest(name);
    PositionBlock block;
    ASSERT_EQ(open_path(block, sample_path(name)), 0);
    Walk walk = walk_file(block, LARGE_BUFFER, 0);
    ASSERT_EQ(walk.records.size(), manifest.records.size());
    for (size_t i = 0; i < walk.records.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(walk.records[i].status, 0);
      EXPECT_EQ(walk.records[i].address, manifest.records[i].address);
      EXPECT_EQ(walk.records[i].data.size(), manifest.records[i].length);
      EXPECT_EQ(sha_of(walk.records[i].data), manifest.records[i].sha256);
    }
    EXPECT_EQ(walk.other_statuses, std::vector<int16_t>{9});
    EXPECT_EQ(step(block, OP_STEP_NEXT, LARGE_BUFFER).status, 9) << "the end stays the end";
    EXPECT_EQ(close_file(block), 0);
  }
}

TEST(SamplesManifest, StepNextStraightAfterOpenReturnsTheFirstRecord) {
  for (const std::string& name : sample_names()) {
    SCOPED_TRACE(name);
    Manifest manifest = load_manifest(name);
    PositionBlock block;
    ASSERT_EQ(open_path(block, sample_path(name)), 0);
    StepResult first = step(block, OP_STEP_NEXT, LARGE_BUFFER);
    if (manifest.records.empty()) {
      EXPECT_EQ(first.status, 9);
    } else {
      EXPECT_EQ(first.status, 0);
      EXPECT_EQ(sha_of(first.data), manifest.records[0].sha256);
    }
    close_file(block);
  }
}

TEST(SamplesManifest, ShortBufferGivesStatus22WithTheFirstBytes) {
  for (const std::string& name : sample_names()) {
    SCOPED_TRACE(name);
    Manifest manifest = load_manifest(name);
    PositionBlock block;
    ASSERT_EQ(open_path(block, sample_path(name)), 0);
    Walk whole = walk_file(block, LARGE_BUFFER, 0);
    for (uint32_t offered : {0u, 1u, 7u, 449u}) {
      SCOPED_TRACE(offered);
      StepResult result = step(block, OP_STEP_FIRST, offered);
      for (size_t i = 0; i < whole.records.size(); ++i) {
        const std::vector<uint8_t>& full = whole.records[i].data;
        if (full.size() > offered) {
          EXPECT_EQ(result.status, 22);
          EXPECT_EQ(result.data, std::vector<uint8_t>(full.begin(), full.begin() + offered));
        } else {
          EXPECT_EQ(result.status, 0);
          EXPECT_EQ(result.data, full);
        }
        result = step(block, OP_STEP_NEXT, offered);
      }
      EXPECT_EQ(result.status, 9);
    }
    close_file(block);
  }
}

TEST(SamplesManifest, ChunkReadsReproduceEveryRecord) {
  for (const std::string& name : sample_names()) {
    SCOPED_TRACE(name);
    Manifest manifest = load_manifest(name);
    PositionBlock block;
    ASSERT_EQ(open_path(block, sample_path(name)), 0);
    for (uint32_t piece : {1000u, 57u}) {
      for (const ManifestRecord& record : manifest.records) {
        ChunkResult whole = read_whole_record(block, record.address, piece);
        EXPECT_EQ(whole.status, 0);
        EXPECT_EQ(sha_of(whole.data), record.sha256) << "record at " << std::hex << record.address;
      }
    }
    close_file(block);
  }
}

TEST(SamplesManifest, ChunkAtTheRecordEndIsEmptyAndPastItIs103) {
  for (const std::string& name : sample_names()) {
    SCOPED_TRACE(name);
    Manifest manifest = load_manifest(name);
    PositionBlock block;
    ASSERT_EQ(open_path(block, sample_path(name)), 0);
    for (const ManifestRecord& record : manifest.records) {
      uint32_t end = static_cast<uint32_t>(record.length);
      ChunkResult at_end = read_chunk(block, record.address, end, 100, 100);
      EXPECT_EQ(at_end.status, 0);
      EXPECT_TRUE(at_end.data.empty());
      EXPECT_EQ(read_chunk(block, record.address, end + 1, 100, 100).status, 103);
      EXPECT_EQ(read_chunk(block, record.address, 0xFFFFFFF0u, 100, 100).status, 103);
      ChunkResult tail = read_chunk(block, record.address, end - 1, 100, 100);
      EXPECT_EQ(tail.status, 0);
      EXPECT_EQ(tail.data.size(), 1u) << "a chunk is clipped at the record's end";
    }
    close_file(block);
  }
}

}  // namespace

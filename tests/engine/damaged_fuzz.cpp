// Byte flips in copies of the samples: whatever the damage, every status is
// one of the defined ones and the walk ends within a bounded number of
// calls. Run under the sanitizers this also shows no read goes astray.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "reader_helpers.h"

namespace {

const std::set<int16_t> OPEN_STATUSES = {0, 30};
const std::set<int16_t> STEP_STATUSES = {0, 2, 9, 22};
const std::set<int16_t> CHUNK_STATUSES = {0, 2, 43, 103};

// Opens the damaged bytes and uses every operation on them; returns the
// number of statuses outside the defined sets.
int exercise(const std::vector<uint8_t>& bytes, int max_steps, uint32_t random_address) {
  int bad = 0;
  PositionBlock block;
  int16_t open_status = open_bytes(block, bytes);
  if (!OPEN_STATUSES.count(open_status)) ++bad;
  if (open_status != 0) return bad;
  uint16_t operation = OP_STEP_FIRST;
  for (int call = 0; call < max_steps; ++call) {
    int16_t status = step(block, operation, 2000).status;
    operation = OP_STEP_NEXT;
    if (!STEP_STATUSES.count(status)) ++bad;
    if (status == 9) break;
    if (status != 0 && status != 22) continue;
    PositionResult position = get_position(block);
    if (position.status != 0) ++bad;
    if (!CHUNK_STATUSES.count(read_chunk(block, position.address, 1500, 700, 700).status)) ++bad;
  }
  if (!CHUNK_STATUSES.count(read_chunk(block, random_address, 0, 100, 100).status)) ++bad;
  if (close_file(block) != 0) ++bad;
  return bad;
}

struct FuzzCase {
  const char* sample;
  size_t exhaustive_bytes;  // every byte of this many leading bytes is flipped once
  int random_cases;
};

TEST(DamagedFuzz, ByteFlipsGiveOnlyDefinedStatuses) {
  const FuzzCase cases[] = {
      {"WGSMENU2.DAT", 4 * 4096, 1500},
      {"GALTELA.DAT", 1024, 1000},
      {"VARIABLE.DAT", 3072, 300},
  };
  std::mt19937 random(20261211);
  for (const FuzzCase& c : cases) {
    SCOPED_TRACE(c.sample);
    std::vector<uint8_t> original = load_sample(c.sample);
    ASSERT_FALSE(original.empty());
    int max_steps = static_cast<int>(load_manifest(c.sample).records.size()) * 2 + 50;
    std::vector<uint8_t> bytes = original;
    for (size_t at = 0; at < std::min(c.exhaustive_bytes, original.size()); ++at) {
      uint8_t flip = static_cast<uint8_t>(1u << (at % 8)) | 0x80;
      bytes[at] ^= flip;
      ASSERT_EQ(exercise(bytes, max_steps, static_cast<uint32_t>(random())), 0) << "byte " << at;
      bytes[at] = original[at];
    }
    for (int n = 0; n < c.random_cases; ++n) {
      int flips = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] ^= static_cast<uint8_t>(1 + random() % 255);
      ASSERT_EQ(exercise(bytes, max_steps, static_cast<uint32_t>(random())), 0) << "random case " << n;
      bytes = original;
    }
  }
}

}  // namespace

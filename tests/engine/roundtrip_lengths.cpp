// Records of every awkward length come back byte-exact through Step, Get
// Position and chunked reads, in both file formats.
#include <gtest/gtest.h>

#include "roundtrip_helpers.h"
#include "support/test_support.h"

namespace {

struct FormatCase {
  const char* name;
  int version8;
  uint16_t page_size;
};

const FormatCase kFormats[] = {
    {"v6_512", 0, 512}, {"v6_1024", 0, 1024}, {"v6_4096", 0, 4096},
    {"v8_512", 1, 512}, {"v8_1024", 1, 1024}, {"v8_4096", 1, 4096},
};

class RoundTripFormat : public ::testing::TestWithParam<FormatCase> {
 protected:
  BtrieveWriterOptions options(uint16_t fixed_length) const {
    BtrieveWriterOptions o;
    o.page_size = GetParam().page_size;
    o.format_version8 = GetParam().version8;
    o.fixed_length = fixed_length;
    return o;
  }
};

// Lengths around the 57000-byte buffer, over 64 KB and several MB.
const size_t kLengths[] = {0, 1, 2, 20, 21, 57000, 57001, 114000, 200000, 5000000};

TEST_P(RoundTripFormat, EveryLengthComesBackWhole) {
  for (uint16_t fixed : {0, 20}) {
    SCOPED_TRACE("fixed length " + std::to_string(fixed));
    TempDir dir;
    std::vector<RtSlot> slots;
    uint32_t seed = 1;
    for (size_t length : kLengths)
      if (length >= fixed) slots.push_back(rt_record(length, seed++));
    std::vector<RtWritten> written;
    ASSERT_EQ(rt_write_file(dir.file("lengths.dat"), options(fixed), slots, &written), 1);
    rt_expect_round_trip(dir.file("lengths.dat"), written);
  }
}

// A tail that fills a whole 'V' page exactly, and one byte either side.
TEST_P(RoundTripFormat, TailsAroundOnePageOfPayload) {
  uint32_t page = GetParam().page_size;
  uint32_t payload = GetParam().version8 ? page - 16 - 6 - 4 : page - 12 - 4 - 4;
  TempDir dir;
  std::vector<RtSlot> slots;
  for (uint32_t tail : {payload - 1, payload, payload + 1, 2 * payload, 2 * payload + 1})
    slots.push_back(rt_record(20 + tail, tail));
  std::vector<RtWritten> written;
  ASSERT_EQ(rt_write_file(dir.file("page.dat"), options(20), slots, &written), 1);
  rt_expect_round_trip(dir.file("page.dat"), written);
}

// Many small tails share 'V' pages, dozens of fragments to a page.
TEST_P(RoundTripFormat, ManySmallRecordsShareVariablePages) {
  TempDir dir;
  std::vector<RtSlot> slots;
  for (uint32_t i = 0; i < 1500; i++) slots.push_back(rt_record(20 + i % 41, i));
  std::vector<RtWritten> written;
  ASSERT_EQ(rt_write_file(dir.file("small.dat"), options(20), slots, &written), 1);
  rt_expect_round_trip(dir.file("small.dat"), written);
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTripFormat, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

}  // namespace

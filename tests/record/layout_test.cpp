#include <gtest/gtest.h>

#include <vector>

#include "record_fixture.h"

namespace {

TEST(RecordLayout, Offsets) {
  const RecordLayout* layouts[] = {&StandardLayout, &Version8Layout};
  const uint32_t expected[2][10] = {
      {20, 22, 44, 50, 54, 90, 94, 98, 178, 2272},
      {20, 22, 44, 50, 178, 90, 94, 98, 434, 2528},
  };
  for (int i = 0; i < 2; ++i) {
    const RecordLayout& l = *layouts[i];
    const uint32_t actual[10] = {l.owner_id_offset, l.owner_id_length, l.contact_number_offset, l.autoinc_offset,
                                 l.name_offset,     l.date_offset,     l.time_offset,           l.type_offset,
                                 l.body_offset,     l.link_block_offset};
    for (int field = 0; field < 10; ++field) EXPECT_EQ(actual[field], expected[i][field]) << i << "/" << field;
  }
  EXPECT_EQ(&select_record_layout(0), &StandardLayout);
  EXPECT_EQ(&select_record_layout(1), &Version8Layout);
  EXPECT_EQ(record_fixed_fields_end(StandardLayout), 2279u);
  EXPECT_EQ(record_fixed_fields_end(Version8Layout), 2535u);
}

TEST(RecordFields, IntegerReads) {
  struct Row {
    uint8_t bytes[4];
    int16_t as_i16;
    uint32_t as_u32;
  };
  const Row rows[] = {
      {{0xFF, 0xFF, 0xFF, 0xFF}, -1, 4294967295u},
      {{0x00, 0x80, 0x00, 0x00}, -32768, 0x8000u},
      {{0xFF, 0x7F, 0x00, 0x80}, 32767, 0x80007FFFu},
      {{0x07, 0x00, 0x00, 0x00}, 7, 7u},
      {{0x78, 0x56, 0x34, 0x12}, 0x5678, 0x12345678u},
  };
  for (const Row& row : rows) {
    std::vector<uint8_t> record(64, 0xEE);
    memcpy(record.data() + 44, row.bytes, 4);
    EXPECT_EQ(read_record_i16(record.data(), 44), row.as_i16);
    EXPECT_EQ(read_record_u32(record.data(), 44), row.as_u32);
  }
}

TEST(RecordFields, TextLength) {
  std::vector<uint8_t> record = {'a', 'b', 'c', 0, 'd', 'e', 'f', 'g'};
  EXPECT_EQ(record_text_length(record.data(), 8, 0, 100), 3u);
  EXPECT_EQ(record_text_length(record.data(), 8, 0, 2), 2u);
  EXPECT_EQ(record_text_length(record.data(), 8, 4, 100), 4u);
  EXPECT_EQ(record_text_length(record.data(), 6, 4, 100), 2u);
  EXPECT_EQ(record_text_length(record.data(), 8, 3, 100), 0u);
  EXPECT_EQ(record_text_length(record.data(), 8, 8, 100), 0u);
  EXPECT_EQ(record_text_length(record.data(), 4, 9, 100), 0u);
}

TEST(RecordFields, DateAndTime) {
  const uint8_t date_bytes[4] = {0x0F, 0x01, 0xDF, 0x07};
  const uint8_t time_bytes[4] = {0x05, 0x1E, 0x2D, 0x0D};
  RecordDate date = decode_record_date(read_record_u32(date_bytes, 0));
  EXPECT_EQ(date.day, 15);
  EXPECT_EQ(date.month, 1);
  EXPECT_EQ(date.year, 2015);
  RecordTime time = decode_record_time(read_record_u32(time_bytes, 0));
  EXPECT_EQ(time.fraction, 5);
  EXPECT_EQ(time.second, 30);
  EXPECT_EQ(time.minute, 45);
  EXPECT_EQ(time.hour, 13);
  // Out-of-range values pass unchanged.
  RecordDate odd = decode_record_date(0xFFFF0D00u);
  EXPECT_EQ(odd.day, 0);
  EXPECT_EQ(odd.month, 13);
  EXPECT_EQ(odd.year, 65535);
}

TEST(RecordFields, SkipMarkerIsTheNameFieldsFirstByte) {
  std::vector<uint8_t> record(TEST_BUFFER_SIZE, 0);
  record[54] = '*';
  EXPECT_EQ(is_skip_marked(record.data(), StandardLayout), 1);
  EXPECT_EQ(is_skip_marked(record.data(), Version8Layout), 0);
  record[178] = '*';
  record[54] = 'A';
  EXPECT_EQ(is_skip_marked(record.data(), StandardLayout), 0);
  EXPECT_EQ(is_skip_marked(record.data(), Version8Layout), 1);
  record[178] = 'x';
  record[179] = '*';
  EXPECT_EQ(is_skip_marked(record.data(), Version8Layout), 0);
}

TEST(IsLinkRecord, ShortPathBeginnings) {
  struct Row {
    const char* path;  // the first bytes of the short path
    int expected;
  };
  const Row rows[] = {
      {"\\\\server\\share", 1}, {"C:\\Docs", 1}, {"\x01:\\", 1},   {"\\:\\", 1},    {"\\Docs", 0},
      {":\\Docs", 0},          {"C:/Docs", 0},  {"CD:\\", 0},     {"\\/x", 0},     {"", 0},
      {"C:", 0},               {"/\\\\", 0},    {"\\\\", 1},
  };
  const RecordLayout* layouts[] = {&StandardLayout, &Version8Layout};
  for (const RecordLayout* layout : layouts) {
    for (const Row& row : rows) {
      std::vector<uint8_t> record(TEST_BUFFER_SIZE, 0);
      put_u32(record, layout->link_block_offset, 0);  // the length is not consulted
      put_text(record, layout->link_block_offset + 4, row.path);
      EXPECT_EQ(is_link_record(record.data(), *layout), row.expected) << row.path;
    }
  }
}

TEST(IsLinkRecord, EachLayoutLooksAtItsOwnBlock) {
  std::vector<uint8_t> record(TEST_BUFFER_SIZE, 0);
  put_text(record, StandardLayout.link_block_offset + 4, "C:\\");
  EXPECT_EQ(is_link_record(record.data(), StandardLayout), 1);
  EXPECT_EQ(is_link_record(record.data(), Version8Layout), 0);
}

}  // namespace

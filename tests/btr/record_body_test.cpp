// Body retrieval: the buffer's part of a record, and the pieces of a long
// one fetched through Get Position and Get Direct/Chunk.
#include <algorithm>
#include <ostream>
#include <string>

#include "btr_fixture.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace {

constexpr uint32_t STANDARD_BODY = 178;
constexpr uint32_t VERSION8_BODY = 434;
constexpr uint32_t PIECE = DOCUMENT_BUFFER_SIZE;
constexpr uint32_t RECORD_POSITION = 0x0A0B0C0D;

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
  to = std::min(to, bytes.size());
  if (from >= to) return {};
  return std::vector<uint8_t>(bytes.begin() + from, bytes.begin() + to);
}

std::vector<uint8_t> le32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}

std::vector<uint8_t> descriptor_bytes(uint32_t offset) {
  std::vector<uint8_t> bytes;
  for (uint32_t field : {RECORD_POSITION, 0x80000000u, 1u, offset, PIECE, 0u}) {
    std::vector<uint8_t> part = le32(field);
    bytes.insert(bytes.end(), part.begin(), part.end());
  }
  return bytes;
}

struct BodyResult {
  int result = -1;
  std::vector<uint8_t> file;
  std::string out;
  std::string err;
};

class RecordBodyTest : public BtrTest {
 protected:
  void SetUp() override {
    BtrTest::SetUp();
    name_slot("lib.dat");
    data_slot().data_buffer = record_buffer.data();
    data_slot().key_buffer = step_key;
  }

  // Places what a Step would have returned: the record's first bytes and
  // the length reported for them.
  void place_record(const std::vector<uint8_t>& record, uint16_t reported_length) {
    std::fill(record_buffer.begin(), record_buffer.end(), 0xEE);
    std::copy_n(record.begin(), std::min<size_t>(record.size(), PIECE), record_buffer.begin());
    data_slot().data_length = reported_length;
    data_slot().key_number = 0;
    data_slot().operation = OP_STEP_NEXT;
  }

  template <typename Writer>
  BodyResult write_into_file(Writer writer) {
    BodyResult outcome;
    std::string path = dir.file("body.out");
    PlatformFile file = platform_create_native(path.c_str());
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    capture_streams([&] { outcome.result = writer(file); }, &outcome.out, &outcome.err);
    platform_close(file);
    outcome.file = read_file_bytes(path);
    return outcome;
  }

  BodyResult write_short(const std::vector<uint8_t>& record, uint16_t reported_length, uint32_t body_offset) {
    place_record(record, reported_length);
    return write_into_file([&](PlatformFile file) { return write_record_body(file, body_offset); });
  }

  // A long record whose pieces the engine hands out as a real one would;
  // `end_reply` answers the request past the end when the record's length
  // is a multiple of the piece size.
  BodyResult write_long(const std::vector<uint8_t>& record, uint32_t body_offset, const ScriptedReply& end_reply) {
    std::vector<ScriptedReply> script = {reply_bytes(0, le32(RECORD_POSITION))};
    size_t offset = PIECE;
    for (; offset < record.size(); offset += PIECE) script.push_back(reply_bytes(0, slice(record, offset, offset + PIECE)));
    if (record.size() % PIECE == 0) script.push_back(end_reply);
    install_scripted_engine(script);
    place_record(record, PIECE);
    return write_into_file([&](PlatformFile file) { return write_long_record_body(file, body_offset); });
  }

  std::vector<uint8_t> record_buffer = std::vector<uint8_t>(DOCUMENT_BUFFER_SIZE);
  uint8_t step_key[256] = {};
  TempDir dir;
};

struct ShortCase {
  uint32_t record_length;
  uint16_t reported_length;
  uint32_t body_offset;
  size_t body_length;
};

void PrintTo(const ShortCase& c, std::ostream* os) {
  *os << c.reported_length << " bytes reported, body at " << c.body_offset;
}

class ShortRecordTest : public RecordBodyTest, public testing::WithParamInterface<ShortCase> {};

TEST_P(ShortRecordTest, WritesTheRecordFromBodyOffsetToItsEnd) {
  const ShortCase& c = GetParam();
  std::vector<uint8_t> record = pattern_bytes(c.record_length, c.record_length);
  BodyResult outcome = write_short(record, c.reported_length, c.body_offset);
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.file.size(), c.body_length);
  EXPECT_EQ(outcome.file, slice(record, c.body_offset, c.body_offset + c.body_length));
  EXPECT_EQ(outcome.err, "");
  EXPECT_TRUE(scripted_engine_log().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Records, ShortRecordTest,
    testing::Values(ShortCase{STANDARD_BODY, STANDARD_BODY, STANDARD_BODY, 0},        // empty body
                    ShortCase{100, 100, STANDARD_BODY, 0},                            // stops before the body
                    ShortCase{0, 0, STANDARD_BODY, 0},
                    ShortCase{STANDARD_BODY + 1, STANDARD_BODY + 1, STANDARD_BODY, 1},
                    ShortCase{5000, 5000, STANDARD_BODY, 5000 - STANDARD_BODY},
                    ShortCase{PIECE, PIECE, STANDARD_BODY, PIECE - STANDARD_BODY},    // fills the buffer
                    ShortCase{VERSION8_BODY, VERSION8_BODY, VERSION8_BODY, 0},
                    ShortCase{300, 300, VERSION8_BODY, 0},
                    ShortCase{5000, 5000, VERSION8_BODY, 5000 - VERSION8_BODY},
                    // an engine reporting more than the buffer holds is not believed
                    ShortCase{PIECE, 65535, STANDARD_BODY, PIECE - STANDARD_BODY}));

struct LongCase {
  const char* name;
  uint32_t record_length;
  uint32_t body_offset;
  int16_t end_status;  // answer to the request at the record's end, for exact multiples
};

void PrintTo(const LongCase& c, std::ostream* os) { *os << c.name; }

class LongRecordTest : public RecordBodyTest, public testing::WithParamInterface<LongCase> {};

TEST_P(LongRecordTest, WritesTheWholeBodyPieceByPiece) {
  const LongCase& c = GetParam();
  std::vector<uint8_t> record = pattern_bytes(c.record_length, 7);
  BodyResult outcome = write_long(record, c.body_offset, reply_status(c.end_status, 0));
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.file, slice(record, c.body_offset, record.size()));
  EXPECT_EQ(scripted_replies_left(), 0u);

  const auto& log = scripted_engine_log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0].operation, OP_GET_POSITION);
  EXPECT_EQ(log[0].data_length_in, 4u);
  EXPECT_EQ(log[0].key_number, 0);
  EXPECT_EQ(log[0].key_buffer, step_key);
  EXPECT_EQ(log[0].data_buffer, record_buffer.data());
  for (size_t i = 1; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].operation, OP_GET_DIRECT_CHUNK);
    EXPECT_EQ(log[i].data_length_in, PIECE);
    EXPECT_EQ(log[i].key_number, -2);
    EXPECT_EQ(log[i].key_length, 255);
    EXPECT_EQ(log[i].key_buffer, step_key);
    EXPECT_EQ(log[i].data_buffer, record_buffer.data());
    EXPECT_EQ(log[i].descriptor, descriptor_bytes(static_cast<uint32_t>(i) * PIECE));
  }
  uint32_t pieces_asked = (c.record_length - 1) / PIECE + (c.record_length % PIECE == 0 ? 1 : 0);
  EXPECT_EQ(log.size(), 1u + pieces_asked);
}

INSTANTIATE_TEST_SUITE_P(
    Records, LongRecordTest,
    testing::Values(LongCase{"OneByteOver", PIECE + 1, STANDARD_BODY, 0},
                    LongCase{"TwoPiecesEndingEmpty", 2 * PIECE, STANDARD_BODY, 0},
                    LongCase{"TwoPiecesEndingWith103", 2 * PIECE, STANDARD_BODY, 103},
                    LongCase{"TwoHundredThousand", 200000, STANDARD_BODY, 0},
                    LongCase{"Version8", 60000, VERSION8_BODY, 0},
                    LongCase{"Version8ThreePieces", 3 * PIECE, VERSION8_BODY, 103}),
    [](const testing::TestParamInfo<LongCase>& info) { return std::string(info.param.name); });

TEST_F(RecordBodyTest, EndAnswered103IsReportedAndCounted) {
  std::vector<uint8_t> record = pattern_bytes(2 * PIECE, 3);
  BodyResult outcome = write_long(record, STANDARD_BODY, reply_status(103, 0));
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.err, "Btrieve Error 103: Operation=23, File=lib.dat\nChunk Call Failed With Status 103\n");
}

TEST_F(RecordBodyTest, PieceFailingMidwayIsReportedAndNotCounted) {
  std::vector<uint8_t> record = pattern_bytes(200000, 5);
  install_scripted_engine({reply_bytes(0, le32(RECORD_POSITION)), reply_bytes(0, slice(record, PIECE, 2 * PIECE)),
                           reply_status(43, 0)});
  place_record(record, PIECE);
  BodyResult outcome =
      write_into_file([&](PlatformFile file) { return write_long_record_body(file, STANDARD_BODY); });
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.file, slice(record, STANDARD_BODY, 2 * PIECE));  // what came before stays
  EXPECT_EQ(outcome.err, "Btrieve Error 43: Operation=23, File=lib.dat\nChunk Call Failed With Status 43\n");
  EXPECT_EQ(scripted_engine_log().size(), 3u);
}

TEST_F(RecordBodyTest, FailedGetPositionStopsBeforeAnyPiece) {
  std::vector<uint8_t> record = pattern_bytes(100000, 9);
  install_scripted_engine({reply_status(8, 0)});
  place_record(record, PIECE);
  BodyResult outcome =
      write_into_file([&](PlatformFile file) { return write_long_record_body(file, STANDARD_BODY); });
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.file, slice(record, STANDARD_BODY, PIECE));
  EXPECT_EQ(outcome.err, "Btrieve Error 8: Operation=22, File=lib.dat\nGetPosition Call Failed With Status 8\n");
  EXPECT_EQ(logged_operations(), "22");
}

TEST_F(RecordBodyTest, LongRecordTraceLinesAtSuperDebug) {
  btr_debug_level = DebugSuper;
  std::vector<uint8_t> record = pattern_bytes(PIECE + 10, 11);
  BodyResult outcome = write_long(record, STANDARD_BODY, reply_status(0, 0));
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.out, "Op: 22, Buflen: 4, KeyNum: 0 Status: 0\nOp: 23, Buflen: 57000, KeyNum: -2 Status: 0\n");
  // The slot is left as the last piece left it, for Step Next to set anew.
  EXPECT_EQ(data_slot().key_number, -2);
  EXPECT_EQ(data_slot().data_length, 10);
}

// The code the platform reports for a write through an invalid handle.
std::string invalid_handle_write_error() {
  uint32_t written = 0;
  uint8_t byte = 0;
  platform_write(INVALID_HANDLE_VALUE, &byte, 1, &written);
  return " WriteFile Error: " + std::to_string(platform_last_error());
}

TEST_F(RecordBodyTest, FailedWriteOfAShortRecordIsReportedAndNotCounted) {
  place_record(pattern_bytes(1000, 1), 1000);
  std::string expected = invalid_handle_write_error();
  int result = -1;
  std::string out, err;
  capture_streams([&] { result = write_record_body(INVALID_HANDLE_VALUE, STANDARD_BODY); }, &out, &err);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(err, expected);
}

TEST_F(RecordBodyTest, FailedFirstWriteOfALongRecordMakesNoRequest) {
  place_record(pattern_bytes(PIECE, 1), PIECE);
  std::string expected = invalid_handle_write_error();
  install_scripted_engine({reply_bytes(0, le32(RECORD_POSITION))});
  int result = -1;
  std::string out, err;
  capture_streams([&] { result = write_long_record_body(INVALID_HANDLE_VALUE, STANDARD_BODY); }, &out, &err);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(err, expected);
  EXPECT_TRUE(scripted_engine_log().empty());
}

}  // namespace

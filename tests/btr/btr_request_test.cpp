// btr_call and btr_request: what reaches the engine, what comes back, the
// request trace and the status messages.
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "btr_fixture.h"
#include "support/test_support.h"

namespace {

struct StatusCase {
  int16_t status;
  uint16_t operation;
  const char* expected_error;
};

const char* const FILE_NAME = "C:\\data\\LIB.DAT";

void PrintTo(const StatusCase& c, std::ostream* os) { *os << "status " << c.status << ", operation " << c.operation; }

class StatusTableTest : public BtrTest, public testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTableTest, ReportsEachStatusAsTheTableSays) {
  const StatusCase& c = GetParam();
  name_slot(FILE_NAME);
  data_slot().operation = c.operation;
  install_scripted_engine({reply_status(c.status)});
  int16_t returned = 0;
  std::string out, err;
  capture_streams([&] { returned = btr_request(data_slot()); }, &out, &err);
  EXPECT_EQ(returned, c.status);
  EXPECT_EQ(err, c.expected_error);
  EXPECT_EQ(out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, StatusTableTest,
    testing::Values(
        StatusCase{0, OP_STEP_NEXT, ""}, StatusCase{3, OP_STEP_NEXT, ""}, StatusCase{4, OP_STEP_NEXT, ""},
        StatusCase{5, OP_STEP_NEXT, ""}, StatusCase{9, OP_STEP_NEXT, ""}, StatusCase{12, OP_OPEN, ""},
        StatusCase{22, OP_STEP_FIRST, ""},
        StatusCase{2, OP_STEP_NEXT, "Data File Corruption (Status 2) Detected!\n"},
        StatusCase{30, OP_OPEN, "C:\\data\\LIB.DAT: Not a Btrieve File\n"},
        StatusCase{51, OP_OPEN,
                   "C:\\data\\LIB.DAT: Owner-Protected Data File.\n"
                   "Use BUTIL -CLROWNER to remove owner name and try again.\n"},
        StatusCase{1, OP_STEP_FIRST, "Btrieve Error 1: Operation=33, File=C:\\data\\LIB.DAT\n"},
        StatusCase{43, OP_GET_DIRECT_CHUNK, "Btrieve Error 43: Operation=23, File=C:\\data\\LIB.DAT\n"},
        StatusCase{6, OP_CLOSE, "Btrieve Error 6: Operation=1, File=C:\\data\\LIB.DAT\n"},
        StatusCase{21, OP_RESET, "Btrieve Error 21: Operation=28, File=C:\\data\\LIB.DAT\n"},
        StatusCase{52, OP_STEP_NEXT, "Btrieve Error 52: Operation=24, File=C:\\data\\LIB.DAT\n"},
        StatusCase{103, OP_GET_DIRECT_CHUNK, "Btrieve Error 103: Operation=23, File=C:\\data\\LIB.DAT\n"},
        StatusCase{-1, OP_GET_POSITION, "Btrieve Error -1: Operation=22, File=C:\\data\\LIB.DAT\n"},
        StatusCase{-32768, OP_STEP_NEXT, "Btrieve Error -32768: Operation=24, File=C:\\data\\LIB.DAT\n"},
        StatusCase{32767, 40000, "Btrieve Error 32767: Operation=40000, File=C:\\data\\LIB.DAT\n"}));

TEST_F(BtrTest, Status20EndsTheProcessWithPendingOutputWritten) {
  TempDir dir;
  std::string out_path = dir.file("stdout");
  name_slot(FILE_NAME);
  data_slot().operation = OP_STEP_NEXT;
  data_slot().data_length = DOCUMENT_BUFFER_SIZE;
  install_scripted_engine({reply_status(20)});
  EXPECT_EXIT(
      {
        if (!std::freopen(out_path.c_str(), "w", stdout)) std::abort();
        btr_debug_level = DebugSuper;
        btr_request(data_slot());
        std::fputs("still running\n", stderr);
      },
      testing::ExitedWithCode(1), "^Please load the Btrieve Record Manager\n$");
  EXPECT_EQ(read_file_text(out_path), "Op: 24, Buflen: 57000, KeyNum: 0 Status: 20\n");
}

struct TraceCase {
  uint16_t operation;
  uint16_t data_length;
  int16_t key_number;
  int16_t status;
  const char* expected_trace;
};

void PrintTo(const TraceCase& c, std::ostream* os) { *os << c.expected_trace; }

class SuperDebugTraceTest : public BtrTest, public testing::WithParamInterface<TraceCase> {};

TEST_P(SuperDebugTraceTest, WritesOneLineWithTheFieldsBeforeTheCall) {
  const TraceCase& c = GetParam();
  name_slot("lib.dat");
  uint8_t buffer[CHUNK_DESCRIPTOR_SIZE] = {};
  data_slot().operation = c.operation;
  data_slot().data_buffer = buffer;
  data_slot().data_length = c.data_length;
  data_slot().key_number = c.key_number;
  btr_debug_level = DebugSuper;
  install_scripted_engine({reply_status(c.status, 3)});
  std::string out, err;
  capture_streams([&] { btr_request(data_slot()); }, &out, &err);
  EXPECT_EQ(out, c.expected_trace);
  EXPECT_EQ(data_slot().data_length, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, SuperDebugTraceTest,
    testing::Values(TraceCase{OP_STEP_NEXT, 57000, 0, 0, "Op: 24, Buflen: 57000, KeyNum: 0 Status: 0\n"},
                    TraceCase{OP_GET_POSITION, 4, 0, 0, "Op: 22, Buflen: 4, KeyNum: 0 Status: 0\n"},
                    TraceCase{OP_GET_DIRECT_CHUNK, 57000, -2, 43,
                              "Op: 23, Buflen: 57000, KeyNum: -2 Status: 43\n"},
                    TraceCase{OP_STEP_NEXT, 65535, 0, -3, "Op: 24, Buflen: 65535, KeyNum: 0 Status: -3\n"},
                    TraceCase{65535, 0, 0, 9, "Op: 65535, Buflen: 0, KeyNum: 0 Status: 9\n"}));

TEST_F(BtrTest, NoRequestTraceBelowSuperDebug) {
  name_slot("lib.dat");
  for (DebugLevel level : {DebugOff, DebugFull}) {
    btr_debug_level = level;
    install_scripted_engine({reply_status(0)});
    std::string out, err;
    capture_streams([&] { btr_request(data_slot()); }, &out, &err);
    EXPECT_EQ(out, "") << "level " << level;
  }
}

TEST_F(BtrTest, TraceLineAndStatusMessageGoToTheirOwnStreams) {
  name_slot("lib.dat");
  data_slot().operation = OP_GET_DIRECT_CHUNK;
  data_slot().data_length = DOCUMENT_BUFFER_SIZE;
  data_slot().key_number = -2;
  btr_debug_level = DebugSuper;
  install_scripted_engine({reply_status(43, 0)});
  std::string out, err;
  capture_streams([&] { btr_request(data_slot()); }, &out, &err);
  EXPECT_EQ(out, "Op: 23, Buflen: 57000, KeyNum: -2 Status: 43\n");
  EXPECT_EQ(err, "Btrieve Error 43: Operation=23, File=lib.dat\n");
}

TEST_F(BtrTest, PassesTheSlotsFieldsAndKeyLength255) {
  uint8_t data[16] = {};
  uint8_t key[16] = {};
  FileSlot& slot = data_slot();
  slot.data_buffer = data;
  slot.data_length = 12;
  install_scripted_engine({reply_status(0, 12), reply_status(0, 12)});

  slot.operation = OP_STEP_FIRST;
  slot.key_buffer = key;
  slot.key_number = -2;
  btr_request(slot);
  slot.operation = OP_RESET;
  slot.key_buffer = nullptr;
  slot.key_number = 0;
  btr_request(slot);

  const auto& log = scripted_engine_log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].operation, OP_STEP_FIRST);
  EXPECT_EQ(log[0].data_buffer, data);
  EXPECT_EQ(log[0].key_buffer, key);
  EXPECT_EQ(log[0].key_number, -2);
  EXPECT_EQ(log[0].data_length_in, 12u);
  EXPECT_EQ(log[1].key_buffer, nullptr);
  EXPECT_EQ(log[1].key_number, 0);
  for (const LoggedRequest& request : log) EXPECT_EQ(request.key_length, 255);
}

struct LengthCase {
  uint16_t length_before;
  uint32_t engine_sees;
  uint32_t engine_returns;
  uint16_t slot_gets;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
  *os << c.length_before << " in, " << c.engine_returns << " back";
}

class DataLengthTest : public BtrTest, public testing::WithParamInterface<LengthCase> {};

TEST_P(DataLengthTest, WidensForTheEngineAndKeepsTheLow16BitsAfter) {
  const LengthCase& c = GetParam();
  uint8_t buffer[4] = {};
  uint16_t length = c.length_before;
  install_scripted_engine({reply_status(0, c.engine_returns)});
  btr_call(OP_STEP_NEXT, data_slot().position_block, buffer, &length, nullptr, 0);
  ASSERT_EQ(scripted_engine_log().size(), 1u);
  EXPECT_EQ(scripted_engine_log()[0].data_length_in, c.engine_sees);
  EXPECT_EQ(length, c.slot_gets);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DataLengthTest,
                         testing::Values(LengthCase{57000, 57000, 1234, 1234}, LengthCase{65535, 65535, 0, 0},
                                         LengthCase{0, 0, 65535, 65535}, LengthCase{4, 4, 65536, 0},
                                         LengthCase{57000, 57000, 70000, 70000 - 65536},
                                         LengthCase{57000, 57000, 0xFFFFFFFFu, 65535}));

TEST_F(BtrTest, CallReturnsTheLow16BitsOfTheResult) {
  uint16_t length = 0;
  install_scripted_engine({reply_status(-1), reply_status(-32768), reply_status(22)});
  EXPECT_EQ(btr_call(OP_STEP_NEXT, nullptr, nullptr, &length, nullptr, 0), 65535);
  EXPECT_EQ(btr_call(OP_STEP_NEXT, nullptr, nullptr, &length, nullptr, 0), 32768);
  EXPECT_EQ(btr_call(OP_STEP_NEXT, nullptr, nullptr, &length, nullptr, 0), 22);
}

}  // namespace

// Open, Close and Reset: the settings they send and their traces.
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

#include "btr_fixture.h"
#include "support/test_support.h"

namespace {

class DataFileTest : public BtrTest {
 protected:
  std::vector<uint8_t> record_buffer = std::vector<uint8_t>(DOCUMENT_BUFFER_SIZE);
};

TEST_F(DataFileTest, OpenSendsTheNameAsKeyAndTheRecordBufferAsData) {
  install_scripted_engine({reply_status(0, 0)});
  EXPECT_EQ(open_data_file("dir/LIB.DAT", record_buffer.data()), 0);
  const auto& log = scripted_engine_log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].operation, OP_OPEN);
  EXPECT_EQ(log[0].key_text, "dir/LIB.DAT");
  EXPECT_EQ(log[0].key_length, 255);
  EXPECT_EQ(log[0].key_number, 0);
  EXPECT_EQ(log[0].data_length_in, 57000u);
  EXPECT_EQ(log[0].data_buffer, record_buffer.data());
  EXPECT_STREQ(data_slot().file_name, "dir/LIB.DAT");
}

struct OpenTraceCase {
  DebugLevel level;
  int16_t status;
  const char* expected_out;
  const char* expected_err;
};

void PrintTo(const OpenTraceCase& c, std::ostream* os) { *os << "level " << c.level << ", status " << c.status; }

class OpenTraceTest : public DataFileTest, public testing::WithParamInterface<OpenTraceCase> {};

TEST_P(OpenTraceTest, TracesTheOpenByLevel) {
  const OpenTraceCase& c = GetParam();
  btr_debug_level = c.level;
  install_scripted_engine({reply_status(c.status, 0)});
  int16_t status = -1;
  std::string out, err;
  capture_streams([&] { status = open_data_file("x/LIB.DAT", record_buffer.data()); }, &out, &err);
  EXPECT_EQ(status, c.status);
  EXPECT_EQ(out, c.expected_out);
  EXPECT_EQ(err, c.expected_err);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, OpenTraceTest,
    testing::Values(
        OpenTraceCase{DebugOff, 0, "", ""},
        OpenTraceCase{DebugFull, 0, "Opening Files\nData Files Opened: 0\n", ""},
        OpenTraceCase{DebugSuper, 0,
                      "Opening Files\nOp: 0, Buflen: 57000, KeyNum: 0 Status: 0\nData Files Opened: 0\n", ""},
        OpenTraceCase{DebugFull, 12, "Opening Files\nData Files Opened: 12\n", ""},
        OpenTraceCase{DebugOff, 12, "", ""},
        OpenTraceCase{DebugFull, 30, "Opening Files\nData Files Opened: 30\n", "x/LIB.DAT: Not a Btrieve File\n"}));

TEST_F(DataFileTest, OpenAnswered20EndsBeforeItsClosingTrace) {
  TempDir dir;
  std::string out_path = dir.file("stdout");
  install_scripted_engine({reply_status(20, 0)});
  EXPECT_EXIT(
      {
        if (!std::freopen(out_path.c_str(), "w", stdout)) std::abort();
        btr_debug_level = DebugFull;
        open_data_file("LIB.DAT", record_buffer.data());
      },
      testing::ExitedWithCode(1), "^Please load the Btrieve Record Manager\n$");
  EXPECT_EQ(read_file_text(out_path), "Opening Files\n");
}

TEST_F(DataFileTest, KeepsTheWholeOfTheLongestName) {
  std::string name(PLATFORM_PATH_SIZE - 1, 'n');
  install_scripted_engine({reply_status(12, 0)});
  EXPECT_EQ(open_data_file(name.c_str(), record_buffer.data()), 12);
  ASSERT_EQ(scripted_engine_log().size(), 1u);
  EXPECT_EQ(scripted_engine_log()[0].key_text, name);
  EXPECT_EQ(std::string(data_slot().file_name), name);
}

TEST_F(DataFileTest, RefusesANameThatDoesNotFitWithoutARequest) {
  std::string name(PLATFORM_PATH_SIZE, 'n');
  btr_debug_level = DebugFull;
  std::string out, err;
  int16_t status = 0;
  capture_streams([&] { status = open_data_file(name.c_str(), record_buffer.data()); }, &out, &err);
  EXPECT_EQ(status, STATUS_FILE_NOT_FOUND);
  EXPECT_TRUE(scripted_engine_log().empty());
  EXPECT_EQ(out, "");
}

TEST_F(DataFileTest, CloseSendsWhatTheLastStepLeft) {
  uint8_t key[256] = {};
  FileSlot& slot = data_slot();
  slot.data_buffer = record_buffer.data();
  slot.data_length = 1234;
  slot.key_buffer = key;
  slot.key_number = 0;
  slot.operation = OP_STEP_NEXT;
  install_scripted_engine({reply_status(0, 1234)});
  close_data_file();
  ASSERT_EQ(scripted_engine_log().size(), 1u);
  const LoggedRequest& close = scripted_engine_log()[0];
  EXPECT_EQ(close.operation, OP_CLOSE);
  EXPECT_EQ(close.data_buffer, record_buffer.data());
  EXPECT_EQ(close.data_length_in, 1234u);
  EXPECT_EQ(close.key_buffer, key);
  EXPECT_EQ(close.key_number, 0);
}

struct CloseTraceCase {
  DebugLevel level;
  int16_t status;
  const char* expected_out;
  const char* expected_err;
};

void PrintTo(const CloseTraceCase& c, std::ostream* os) { *os << "level " << c.level << ", status " << c.status; }

class CloseTraceTest : public DataFileTest, public testing::WithParamInterface<CloseTraceCase> {};

TEST_P(CloseTraceTest, TracesTheCloseWhateverItsStatus) {
  const CloseTraceCase& c = GetParam();
  name_slot("LIB.DAT");
  data_slot().data_length = 300;
  btr_debug_level = c.level;
  install_scripted_engine({reply_status(c.status, 300)});
  std::string out, err;
  capture_streams([&] { close_data_file(); }, &out, &err);
  EXPECT_EQ(out, c.expected_out);
  EXPECT_EQ(err, c.expected_err);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, CloseTraceTest,
    testing::Values(CloseTraceCase{DebugOff, 0, "", ""},
                    CloseTraceCase{DebugFull, 0, "Closing Files\nData Files Closed\n", ""},
                    CloseTraceCase{DebugFull, 3, "Closing Files\nData Files Closed\n", ""},
                    CloseTraceCase{DebugFull, 43, "Closing Files\nData Files Closed\n",
                                   "Btrieve Error 43: Operation=1, File=LIB.DAT\n"},
                    CloseTraceCase{DebugSuper, 0,
                                   "Closing Files\nOp: 1, Buflen: 300, KeyNum: 0 Status: 0\nData Files Closed\n",
                                   ""}));

TEST_F(DataFileTest, CloseAnswered20EndsTheProcess) {
  install_scripted_engine({reply_status(20, 0)});
  EXPECT_EXIT(close_data_file(), testing::ExitedWithCode(1), "^Please load the Btrieve Record Manager\n$");
}

TEST_F(DataFileTest, ResetDropsTheKeyBufferAndKeepsTheData) {
  uint8_t key[256] = {};
  FileSlot& slot = data_slot();
  slot.data_buffer = record_buffer.data();
  slot.data_length = 4321;
  slot.key_buffer = key;
  slot.key_number = -2;
  btr_debug_level = DebugFull;
  install_scripted_engine({reply_status(7, 4321)});
  std::string out, err;
  int16_t status = 0;
  name_slot("LIB.DAT");
  capture_streams([&] { status = reset_record_manager(); }, &out, &err);
  EXPECT_EQ(status, 7);
  EXPECT_EQ(out, "");  // the Reset has no traces of its own
  EXPECT_EQ(err, "Btrieve Error 7: Operation=28, File=LIB.DAT\n");
  ASSERT_EQ(scripted_engine_log().size(), 1u);
  const LoggedRequest& reset = scripted_engine_log()[0];
  EXPECT_EQ(reset.operation, OP_RESET);
  EXPECT_EQ(reset.key_buffer, nullptr);
  EXPECT_EQ(reset.key_number, 0);
  EXPECT_EQ(reset.key_length, 255);
  EXPECT_EQ(reset.data_buffer, record_buffer.data());
  EXPECT_EQ(reset.data_length_in, 4321u);
}

}  // namespace

namespace {

TEST(CopyWholeName, CopiesOnlyANameThatFitsWithItsEnd) {
  struct Case {
    const char* name;
    size_t out_size;
    int fits;
  };
  for (const Case& c : {Case{"", 1, 1}, Case{"a", 1, 0}, Case{"abc", 4, 1}, Case{"abcd", 4, 0}, Case{"ab", 8, 1}}) {
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(copy_whole_name(c.name, out, c.out_size), c.fits) << c.name << " into " << c.out_size;
    if (c.fits) EXPECT_STREQ(out, c.name);
    else EXPECT_EQ(out[0], '#') << "nothing is copied from " << c.name;
  }
}

}  // namespace

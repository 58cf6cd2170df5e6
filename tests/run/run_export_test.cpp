// Whole export runs in-process against the scripted engine: what each
// stream shows, which requests go out, and the exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "../btr/scripted_engine.h"
#include "run/run.h"
#include "support/test_support.h"
#include "mkvrax/vrax_record.h"

namespace {

std::vector<uint8_t> document_record(const std::string& owner, const std::string& name, const std::string& type,
                                     const std::vector<uint8_t>& body) {
  VraxDocument document;
  document.owner_id = owner;
  document.document_name = name;
  document.type_description = type;
  document.body = body;
  return build_vrax_record(document, false);
}

std::vector<uint8_t> skipped_record() { return document_record("ABC", "*hidden", "Package", {1, 2, 3}); }

std::vector<uint8_t> first_bytes(const std::vector<uint8_t>& bytes, size_t count) {
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::min(count, bytes.size()));
}

class RunExportTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_dir = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    std::filesystem::current_path(previous_dir);
    remove_scripted_engine();
    btr_debug_level = DebugOff;
  }

  // A run that ends normally: its return value and both streams.
  int run(const RunSettings& settings, const char* name, const std::vector<ScriptedReply>& script) {
    install_scripted_engine(script);
    int status = -1;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    status = run_export(settings, name);
    err = testing::internal::GetCapturedStderr();
    out = testing::internal::GetCapturedStdout();
    return status;
  }

  // Lets a dying run write its standard output to a file the test reads
  // afterwards, and its engine requests to standard error at exit.
  void prepare_to_die() {
    if (!std::freopen(out_path().c_str(), "w", stdout)) std::abort();
    report_operations_at_exit();
  }
  std::string out_path() const { return dir.file("stdout.txt"); }

  TempDir dir;
  std::filesystem::path previous_dir;
  RunSettings settings;
  std::string out, err;
};

TEST_F(RunExportTest, EmptyFileEndsWithStatus9AndNoRecords) {
  int status = run(settings, "lib.dat", {reply_status(0, 0), reply_status(9, 0), reply_status(0, 0), reply_status(0, 0)});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "Scanning Data File lib.dat...\nStatus 9 terminated application.\nCreated 0 files from 0 Records.\n");
  EXPECT_EQ(err, "");
  EXPECT_EQ(logged_operations(), "0 33 1 28");
}

TEST_F(RunExportTest, SendsEachRequestWithTheRunsBuffers) {
  std::vector<uint8_t> record = skipped_record();
  run(settings, "lib.dat", {reply_status(0, 0), reply_bytes(0, record), reply_status(9, 77), reply_status(0, 77),
                            reply_status(0, 77)});
  const auto& log = scripted_engine_log();
  ASSERT_EQ(logged_operations(), "0 33 24 1 28");
  const void* record_buffer = log[0].data_buffer;
  const void* step_key = log[1].key_buffer;
  EXPECT_TRUE(log[0].data_all_zero);
  EXPECT_EQ(log[0].key_text, "lib.dat");
  EXPECT_NE(step_key, nullptr);
  EXPECT_NE(step_key, log[0].key_buffer);
  for (size_t i = 1; i <= 2; ++i) {  // Step First, Step Next
    EXPECT_EQ(log[i].data_buffer, record_buffer);
    EXPECT_EQ(log[i].data_length_in, 57000u);
    EXPECT_EQ(log[i].key_buffer, step_key);
    EXPECT_EQ(log[i].key_number, 0);
  }
  EXPECT_EQ(log[3].data_buffer, record_buffer);  // Close: as the last Step left the slot
  EXPECT_EQ(log[3].data_length_in, 77u);
  EXPECT_EQ(log[3].key_buffer, step_key);
  EXPECT_EQ(log[4].key_buffer, nullptr);  // Reset
  EXPECT_EQ(log[4].key_number, 0);
  EXPECT_EQ(out, "Scanning Data File lib.dat...\nStatus 9 terminated application.\nCreated 0 files from 1 Records.\n");
}

TEST_F(RunExportTest, CountsEveryRecordAndOnlyTheFilesWritten) {
  std::vector<uint8_t> exported = document_record("ABC", "Letter", "Microsoft Word Document", {'h', 'i'});
  std::vector<uint8_t> unnamed = document_record("", "", "Package", {1});
  int status = run(settings, "lib.dat",
                   {reply_status(0, 0), reply_bytes(0, skipped_record()), reply_bytes(0, unnamed),
                    reply_bytes(0, exported), reply_status(9, 0), reply_status(0, 0), reply_status(0, 0)});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out,
            "Scanning Data File lib.dat...\n"
            "Creating ABC-Letter.DOC...\n"
            "Status 9 terminated application.\nCreated 1 files from 3 Records.\n");
  EXPECT_EQ(err, "Skipping NULL Filename...\n");
  EXPECT_EQ(read_file_text(dir.file("ABC-Letter.DOC")), "hi");
}

TEST_F(RunExportTest, Status2EndsTheScanNotTheRun) {
  int status = run(settings, "lib.dat",
                   {reply_status(0, 0), reply_bytes(0, skipped_record()), reply_status(2, 0), reply_status(0, 0),
                    reply_status(0, 0)});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "Scanning Data File lib.dat...\nStatus 2 terminated application.\nCreated 0 files from 1 Records.\n");
  EXPECT_EQ(err, "Data File Corruption (Status 2) Detected!\n");
  EXPECT_EQ(logged_operations(), "0 33 24 1 28");
}

TEST_F(RunExportTest, StatusesOfCloseAndResetLeaveTheExitStatus) {
  int status = run(settings, "lib.dat", {reply_status(0, 0), reply_status(9, 0), reply_status(3, 0), reply_status(43, 0)});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(err, "Btrieve Error 43: Operation=28, File=lib.dat\n");
}

struct FailedOpenCase {
  int16_t status;
  const char* expected_err;  // a regular expression
};

void PrintTo(const FailedOpenCase& c, std::ostream* os) { *os << "status " << c.status; }

class FailedOpenTest : public RunExportTest, public testing::WithParamInterface<FailedOpenCase> {};

TEST_P(FailedOpenTest, ReportsResetsAndEndsWithStatus1) {
  const FailedOpenCase& c = GetParam();
  install_scripted_engine({reply_status(c.status, 0), reply_status(0, 0)});
  EXPECT_EXIT(
      {
        prepare_to_die();
        run_export(settings, "data/missing.dat");
      },
      testing::ExitedWithCode(1), c.expected_err);
  EXPECT_EQ(read_file_text(out_path()), "Scanning Data File data/missing.dat...\n");
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, FailedOpenTest,
    testing::Values(FailedOpenCase{12, "^Unable to Open File - Status 12\nengine log: 0 28\n$"},
                    FailedOpenCase{30,
                                   "^data/missing.dat: Not a Btrieve File\n"
                                   "Unable to Open File - Status 30\nengine log: 0 28\n$"},
                    FailedOpenCase{51,
                                   "^data/missing.dat: Owner-Protected Data File.\n"
                                   "Use BUTIL -CLROWNER to remove owner name and try again.\n"
                                   "Unable to Open File - Status 51\nengine log: 0 28\n$"}));

TEST_F(RunExportTest, EngineMissingAtTheOpenEndsBeforeTheOpenMessage) {
  install_scripted_engine({reply_status(20, 0)});
  EXPECT_EXIT(
      {
        prepare_to_die();
        run_export(settings, "lib.dat");
      },
      testing::ExitedWithCode(1), "^Please load the Btrieve Record Manager\nengine log: 0\n$");
  EXPECT_EQ(read_file_text(out_path()), "Scanning Data File lib.dat...\n");
}

TEST_F(RunExportTest, EngineMissingDuringTheScanEndsWithoutSummary) {
  install_scripted_engine({reply_status(0, 0), reply_bytes(0, skipped_record()), reply_status(20, 0)});
  EXPECT_EXIT(
      {
        prepare_to_die();
        run_export(settings, "lib.dat");
      },
      testing::ExitedWithCode(1), "^Please load the Btrieve Record Manager\nengine log: 0 33 24\n$");
  EXPECT_EQ(read_file_text(out_path()), "Scanning Data File lib.dat...\n");
}

TEST_F(RunExportTest, EngineMissingAtTheCloseEndsWithoutReset) {
  install_scripted_engine({reply_status(0, 0), reply_status(9, 0), reply_status(20, 0)});
  EXPECT_EXIT(
      {
        prepare_to_die();
        run_export(settings, "lib.dat");
      },
      testing::ExitedWithCode(1), "^Please load the Btrieve Record Manager\nengine log: 0 33 1\n$");
  EXPECT_EQ(read_file_text(out_path()),
            "Scanning Data File lib.dat...\nStatus 9 terminated application.\nCreated 0 files from 0 Records.\n");
}

TEST_F(RunExportTest, RefusesANameTooLongToKeepWhole) {
  std::string name(PLATFORM_PATH_SIZE, 'n');
  std::string expected_err = "^Data file name too long \\(" + std::to_string(PLATFORM_PATH_SIZE) + " bytes, at most " +
                             std::to_string(PLATFORM_PATH_SIZE - 1) + "\\)\\.\nengine log: \n$";
  install_scripted_engine({});
  EXPECT_EXIT(
      {
        prepare_to_die();
        run_export(settings, name.c_str());
      },
      testing::ExitedWithCode(1), expected_err);
  EXPECT_EQ(read_file_text(out_path()), "");
}

TEST_F(RunExportTest, KeepsTheWholeOfTheLongestName) {
  std::string name(PLATFORM_PATH_SIZE - 1, 'n');
  run(settings, name.c_str(), {reply_status(0, 0), reply_status(9, 0), reply_status(0, 0), reply_status(0, 0)});
  EXPECT_EQ(out.substr(0, 19 + name.size() + 4), "Scanning Data File " + name + "...\n");
  EXPECT_EQ(scripted_engine_log()[0].key_text, name);
}

TEST_F(RunExportTest, SuperDebugTraceLinesInterleaveWithProgressLines) {
  std::vector<uint8_t> letter = document_record("ABC", "Letter", "Microsoft Word Document", {'h', 'i'});
  std::vector<uint8_t> big = document_record("ABC", "Big", "Microsoft Excel", pattern_bytes(60000 - 178, 4));
  ASSERT_EQ(big.size(), 60000u);
  settings.debug_level = DebugSuper;
  int status = run(settings, "lib.dat",
                   {reply_status(0, 0), reply_bytes(0, letter), reply_bytes(22, first_bytes(big, 57000)),
                    reply_bytes(0, {0x10, 0, 0, 0}), reply_bytes(0, std::vector<uint8_t>(big.begin() + 57000, big.end())),
                    reply_status(9, 0), reply_status(0, 0), reply_status(0, 0)});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out,
            "Scanning Data File lib.dat...\n"
            "Opening Files\n"
            "Op: 0, Buflen: 57000, KeyNum: 0 Status: 0\n"
            "Data Files Opened: 0\n"
            "Op: 33, Buflen: 57000, KeyNum: 0 Status: 0\n"
            "Creating ABC-Letter.DOC...\n"
            "Op: 24, Buflen: 57000, KeyNum: 0 Status: 22\n"
            "Creating ABC-Big.XLS...Op: 22, Buflen: 4, KeyNum: 0 Status: 0\n"
            "Op: 23, Buflen: 57000, KeyNum: -2 Status: 0\n"
            "\n"
            "Op: 24, Buflen: 57000, KeyNum: 0 Status: 9\n"
            "Status 9 terminated application.\n"
            "Created 2 files from 2 Records.\n"
            "Closing Files\n"
            "Op: 1, Buflen: 0, KeyNum: 0 Status: 0\n"
            "Data Files Closed\n"
            "Op: 28, Buflen: 0, KeyNum: 0 Status: 0\n");
  EXPECT_EQ(err, "");
  EXPECT_EQ(read_file_text(dir.file("ABC-Letter.DOC")), "hi");
  EXPECT_EQ(read_file_bytes(dir.file("ABC-Big.XLS")), std::vector<uint8_t>(big.begin() + 178, big.end()));
}

}  // namespace

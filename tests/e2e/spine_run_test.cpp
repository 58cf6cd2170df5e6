// Whole runs of the built program on files made with the writer: summary,
// failed opens, and the open/close and request traces.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "spine_fixture.h"

namespace {

TEST(SpineRun, EmptyLibraryEndsWithStatus9) {
  TempDir dir;
  ASSERT_TRUE(spine_write_library(dir.file("lib.dat"), {}));
  ProgramResult result = run_docvane_in(dir, {"lib.dat"});
  EXPECT_EQ(result.out, SPINE_BANNER +
                            "Scanning Data File lib.dat...\n"
                            "Status 9 terminated application.\nCreated 0 files from 0 Records.\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_status, 0);
}

TEST(SpineRun, MissingFileStopsAfterTheOpen) {
  TempDir dir;
  ProgramResult result = run_docvane_in(dir, {"missing.dat"});
  EXPECT_EQ(result.out, SPINE_BANNER + "Scanning Data File missing.dat...\n");
  EXPECT_EQ(result.err, "Unable to Open File - Status 12\n");
  EXPECT_EQ(result.exit_status, 1);
}

TEST(SpineRun, FileThatIsNotBtrieveIsNamedAsTyped) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("sub"));
  write_file_bytes(dir.file("sub/notes.dat"), std::vector<uint8_t>(8192, 'x'));
  ProgramResult result = run_docvane_in(dir, {"sub/../sub/notes.dat"});
  EXPECT_EQ(result.out, SPINE_BANNER + "Scanning Data File sub/../sub/notes.dat...\n");
  EXPECT_EQ(result.err, "sub/../sub/notes.dat: Not a Btrieve File\nUnable to Open File - Status 30\n");
  EXPECT_EQ(result.exit_status, 1);
}

TEST(SpineRun, MissingFileAtFullDebugShowsTheOpensStatus) {
  TempDir dir;
  ProgramResult result = run_docvane_in(dir, {"missing.dat", "/D"});
  EXPECT_EQ(result.out, SPINE_BANNER + "Scanning Data File missing.dat...\nOpening Files\nData Files Opened: 12\n");
  EXPECT_EQ(result.err, "Full Debug!\nUnable to Open File - Status 12\n");
  EXPECT_EQ(result.exit_status, 1);
}

TEST(SpineRun, NameTooLongToKeepWholeIsRefused) {
  TempDir dir;
  std::string name(PLATFORM_PATH_SIZE + 10, 'a');
  ProgramResult result = run_docvane_in(dir, {name});
  EXPECT_EQ(result.out, SPINE_BANNER);
  EXPECT_EQ(result.err, "Data file name too long (" + std::to_string(name.size()) + " bytes, at most " +
                            std::to_string(PLATFORM_PATH_SIZE - 1) + ").\n");
  EXPECT_EQ(result.exit_status, 1);
}

// Both streams into one file, as on a terminal: each message where it was
// written, not where a buffer happened to be flushed.
TEST(SpineRun, StreamsKeepTheirOrderWhenSharingOneFile) {
  TempDir dir;
  std::string command = "cd '" + dir.path() + "' && '" DOCVANE_BINARY "' missing.dat /D >both.txt 2>&1";
  std::system(command.c_str());
  EXPECT_EQ(read_file_text(dir.file("both.txt")), SPINE_BANNER +
                                                      "Full Debug!\n"
                                                      "Scanning Data File missing.dat...\n"
                                                      "Opening Files\n"
                                                      "Data Files Opened: 12\n"
                                                      "Unable to Open File - Status 12\n");
}

class SpineTracedRun : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(spine_write_library(dir.file("lib.dat"),
                                    {spine_document("Letter", "Microsoft Word Document", {'h', 'i'}),
                                     spine_document("Sheet", "Microsoft Excel", pattern_bytes(60000 - 178, 2))}));
  }
  void expect_exported_files() {
    EXPECT_EQ(read_file_text(dir.file("ABC-Letter.DOC")), "hi");
    EXPECT_EQ(read_file_bytes(dir.file("ABC-Sheet.XLS")), pattern_bytes(60000 - 178, 2));
  }
  TempDir dir;
};

TEST_F(SpineTracedRun, FullDebugTracesOpenAndClose) {
  ProgramResult result = run_docvane_in(dir, {"lib.dat", "/D"});
  EXPECT_EQ(result.out, SPINE_BANNER +
                            "Scanning Data File lib.dat...\n"
                            "Opening Files\n"
                            "Data Files Opened: 0\n"
                            "Creating ABC-Letter.DOC...\n"
                            "Creating ABC-Sheet.XLS...\n"
                            "Status 9 terminated application.\n"
                            "Created 2 files from 2 Records.\n"
                            "Closing Files\n"
                            "Data Files Closed\n");
  EXPECT_EQ(result.err, "Full Debug!\n");
  EXPECT_EQ(result.exit_status, 0);
  expect_exported_files();
}

TEST_F(SpineTracedRun, SuperDebugTracesEveryRequest) {
  ProgramResult result = run_docvane_in(dir, {"lib.dat", "/DD"});
  EXPECT_EQ(result.out, SPINE_BANNER +
                            "Scanning Data File lib.dat...\n"
                            "Opening Files\n"
                            "Op: 0, Buflen: 57000, KeyNum: 0 Status: 0\n"
                            "Data Files Opened: 0\n"
                            "Op: 33, Buflen: 57000, KeyNum: 0 Status: 0\n"
                            "Creating ABC-Letter.DOC...\n"
                            "Op: 24, Buflen: 57000, KeyNum: 0 Status: 22\n"
                            "Creating ABC-Sheet.XLS...Op: 22, Buflen: 4, KeyNum: 0 Status: 0\n"
                            "Op: 23, Buflen: 57000, KeyNum: -2 Status: 0\n"
                            "\n"
                            "Op: 24, Buflen: 57000, KeyNum: 0 Status: 9\n"
                            "Status 9 terminated application.\n"
                            "Created 2 files from 2 Records.\n"
                            "Closing Files\n"
                            "Op: 1, Buflen: 57000, KeyNum: 0 Status: 0\n"
                            "Data Files Closed\n"
                            "Op: 28, Buflen: 57000, KeyNum: 0 Status: 0\n");
  EXPECT_EQ(result.err, "Full Debug!\nSuper Debug!\n");
  EXPECT_EQ(result.exit_status, 0);
  expect_exported_files();
}

}  // namespace

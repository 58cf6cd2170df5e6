// Creating, writing, re-opening and closing export files.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "output/output.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Runs a test body with the current folder set to `dir`, as the program runs.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& dir) : previous_(fs::current_path()) { fs::current_path(dir); }
  ~ScopedCurrentFolder() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

TEST(BeginExportFile, AnnouncesAndReplacesAnExistingFile) {
  TempDir dir;
  ScopedCurrentFolder in_dir(dir.path());
  write_file_bytes(dir.file("ANNA-Letter.DOC"), {'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'});

  testing::internal::CaptureStdout();
  PlatformFile file = begin_export_file("ANNA-Letter.DOC");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating ANNA-Letter.DOC...");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(fs::file_size(dir.file("ANNA-Letter.DOC")), 0u);
  EXPECT_EQ(write_text(file, "new"), 1);
  close_export_file(file);
  EXPECT_EQ(read_file_text(dir.file("ANNA-Letter.DOC")), "new");
}

TEST(BeginExportFile, ShowsTheNameInUtf8AndStoresItSo) {
  TempDir dir;
  ScopedCurrentFolder in_dir(dir.path());
  testing::internal::CaptureStdout();
  PlatformFile file = begin_export_file("ANNA-Gr\xFC\xDF" "e.DOC");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating ANNA-Grüße.DOC...");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  close_export_file(file);
  EXPECT_TRUE(fs::is_regular_file(dir.file("ANNA-Grüße.DOC")));
}

// A failed create continues the line with the platform's reason and leaves
// what stands under the name as it was; some names are refused on purpose.
TEST(BeginExportFile, FailureContinuesTheLineWithTheErrorCode) {
  TempDir dir;
  TempDir elsewhere;
  ScopedCurrentFolder in_dir(dir.path());
  fs::create_directory(dir.file("FOLDER.DOC"));
  write_file_bytes(elsewhere.file("target.txt"), {'k', 'e', 'e', 'p'});
  fs::create_symlink(elsewhere.file("target.txt"), dir.file("LINKED.DOC"));
  ASSERT_EQ(std::system(("mkfifo '" + dir.file("PIPE.DOC") + "'").c_str()), 0);
  write_file_bytes(dir.file("LIBRARY.DAT"), {'d', 'a', 't', 'a'});
  PlatformFile data_file = platform_open_read("LIBRARY.DAT");  // as the engine holds the data file
  ASSERT_NE(data_file, INVALID_HANDLE_VALUE);

  struct Case {
    const char* name;
    int error_code;
  };
  const Case cases[] = {
      {"FOLDER.DOC", EISDIR},        // a folder of that name is in the way
      {"missing/ANNA.DOC", ENOENT},  // the folder part does not exist
      {"", ENOENT},
      {"LINKED.DOC", ELOOP},   // a symbolic link would lead out of the folder
      {"PIPE.DOC", ENXIO},     // a FIFO without a reader, which would hang an open
      {"LIBRARY.DAT", EBUSY},  // the file being read
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    PlatformFile file = begin_export_file(c.name);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Creating " + std::string(c.name) + "... CreateFile Error " + std::to_string(c.error_code));
    EXPECT_EQ(file, INVALID_HANDLE_VALUE) << c.name;
  }
  EXPECT_TRUE(fs::is_directory(dir.file("FOLDER.DOC")));
  EXPECT_EQ(read_file_text(elsewhere.file("target.txt")), "keep");
  EXPECT_EQ(read_file_text(dir.file("LIBRARY.DAT")), "data");

  // Once closed, the data file is an ordinary export target again.
  platform_close(data_file);
  testing::internal::CaptureStdout();
  PlatformFile file = begin_export_file("LIBRARY.DAT");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating LIBRARY.DAT...");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  close_export_file(file);
  EXPECT_EQ(fs::file_size(dir.file("LIBRARY.DAT")), 0u);
}

TEST(CreateExportFile, IsSilentAndEmptiesAnExistingFile) {
  TempDir dir;
  write_file_bytes(dir.file("X.DOC.LINK"), {'o', 'l', 'd'});
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  PlatformFile file = create_export_file(dir.file("X.DOC.LINK").c_str());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  close_export_file(file);
  EXPECT_EQ(fs::file_size(dir.file("X.DOC.LINK")), 0u);
}

TEST(ReopenExportFile, OpensAnExistingFileWithItsContentAtOffsetZero) {
  TempDir dir;
  const std::string path = dir.file("copy.DOC");
  write_file_bytes(path, {'a', 'b', 'c', 'd', 'e', 'f'});
  PlatformFile file = reopen_export_file(path.c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  close_export_file(file);
  EXPECT_EQ(read_file_text(path), "abcdef");

  file = reopen_export_file(path.c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(write_text(file, "XY"), 1);
  close_export_file(file);
  EXPECT_EQ(read_file_text(path), "XYcdef");
}

TEST(ReopenExportFile, FailsSilentlyForAMissingFile) {
  TempDir dir;
  testing::internal::CaptureStdout();
  PlatformFile file = reopen_export_file(dir.file("missing.DOC").c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(file, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(fs::exists(dir.file("missing.DOC")));
}

TEST(WriteExport, TextAndBytesGoOutAsGiven) {
  TempDir dir;
  const std::string path = dir.file("out.bin");
  PlatformFile file = create_export_file(path.c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const std::vector<uint8_t> body = pattern_bytes(70000, 7);
  const uint8_t with_zeros[] = {0x00, 0x41, 0x00, 0xFF};
  EXPECT_EQ(write_text(file, "C:\\Docs\\scan.doc"), 1);
  EXPECT_EQ(write_bytes(file, with_zeros, sizeof with_zeros), 1);
  EXPECT_EQ(write_bytes(file, body.data(), static_cast<uint32_t>(body.size())), 1);
  close_export_file(file);

  std::vector<uint8_t> expected = {'C', ':', '\\', 'D', 'o', 'c', 's', '\\', 's', 'c', 'a', 'n', '.', 'd', 'o', 'c'};
  expected.insert(expected.end(), with_zeros, with_zeros + sizeof with_zeros);
  expected.insert(expected.end(), body.begin(), body.end());
  EXPECT_EQ(read_file_bytes(path), expected);
}

TEST(WriteExport, NothingToWriteSucceedsWithoutWriting) {
  TempDir dir;
  const std::string path = dir.file("empty.DOC");
  PlatformFile file = create_export_file(path.c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const uint8_t unused = 0x55;
  EXPECT_EQ(write_text(file, ""), 1);
  EXPECT_EQ(write_bytes(file, &unused, 0), 1);
  close_export_file(file);
  EXPECT_EQ(fs::file_size(path), 0u);
  // Even a handle that cannot be written is not touched for nothing.
  EXPECT_EQ(write_bytes(INVALID_HANDLE_VALUE, &unused, 0), 1);
}

TEST(WriteExport, FailedWriteIsReportedOnStandardError) {
  const uint8_t bytes[] = {1, 2, 3};
  const std::string expected = " WriteFile Error: " + std::to_string(EBADF);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(write_text(INVALID_HANDLE_VALUE, "text"), 0);
  EXPECT_EQ(write_bytes(INVALID_HANDLE_VALUE, bytes, sizeof bytes), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), expected + expected);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace

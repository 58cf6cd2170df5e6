// A write error on standard error must show after the progress text that
// standard output already holds, when both streams share one terminal or file.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "output/output.h"
#include "support/test_support.h"

namespace {

constexpr const char* CHILD_VARIABLE = "DOCVANE_CONSOLE_ORDER_CHILD";

// In the child: the record sequence of a failed body write, both streams
// going to one file that is not a terminal, so standard output is fully
// buffered.
void write_progress_line_with_error() {
  std::printf("Creating ANNA-Letter.DOC...");
  write_text(INVALID_HANDLE_VALUE, "body");
  std::printf("\n");
  std::fflush(stdout);
}

TEST(ConsoleOrder, WriteErrorStaysOnTheProgressLine) {
  if (std::getenv(CHILD_VARIABLE) != nullptr) {
    write_progress_line_with_error();
    return;
  }
  TempDir dir;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string both = dir.file("both");
  const std::string command = std::string(CHILD_VARIABLE) + "=1 '" + self +
                              "' --gtest_filter=ConsoleOrder.WriteErrorStaysOnTheProgressLine >'" + both + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string expected = "Creating ANNA-Letter.DOC... WriteFile Error: " + std::to_string(EBADF) + "\n";
  EXPECT_NE(read_file_text(both).find(expected), std::string::npos) << read_file_text(both);
}

}  // namespace

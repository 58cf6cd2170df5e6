// The entry point as a user meets it: banner, usage text, type listing and
// the option scan's messages, from the built program.
#include <ostream>

#include "platform/platform.h"
#include "spine_fixture.h"

namespace {

struct UsageCase {
  std::vector<std::string> args;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
  for (const std::string& arg : c.args) *os << "[" << arg << "] ";
}

class SpineUsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(SpineUsageTest, PrintsBannerAndUsageAndEndsWithStatus1) {
  TempDir dir;
  ProgramResult result = run_docvane_in(dir, GetParam().args);
  EXPECT_EQ(result.out, SPINE_BANNER);
  EXPECT_EQ(result.err, SPINE_USAGE);
  EXPECT_EQ(result.exit_status, 1);
}

INSTANTIATE_TEST_SUITE_P(FirstArguments, SpineUsageTest,
                         testing::Values(UsageCase{{}}, UsageCase{{"?"}}, UsageCase{{"/?"}}, UsageCase{{"-?"}},
                                         UsageCase{{"x?"}}, UsageCase{{"??", "lib.dat"}},
                                         UsageCase{{"/?", "/D"}}));

// The listing as the console shows it: descriptions in the console's encoding.
std::string expected_listing() {
  static const char* const rows[][2] = {
      {".RQD", "(Default)"},
      {".DOC", "Microsoft Word 6.0 Document"},
      {".DOC", "Microsoft Word Document"},
      {".DOC", "Microsoft Word"},
      {".DOC", "Document Microsoft Word"},
      {".PPT", "Microsoft PowerPoint Presentation"},
      {".PPT", "Microsoft PowerPoint"},
      {".PPT", "Pr\xE9sentation Microsoft PowerPoint"},
      {".XLS", "Microsoft Excel Worksheet"},
      {".XLS", "Microsoft Excel"},
      {".XLS", "Feuille de calcul Microsoft Office Exce"},
      {".MSG", "Email Message"},
      {".MSG", "E-mail Message"},
      {".VSD", "VISIO 5 Drawing"},
      {".VSD", "VISIO"},
      {".PKG", "Package"},
      {".PDF_OLE", "Adobe Acrobat Document"},
      {".DOC", "Microsoft Office Word Document"},
      {".XLS", "Microsoft Office Excel Worksheet"},
      {".XLS", "Microsoft Office Excel Chart"},
      {".BMP_OLE", "Bitmap Image"},
  };
  std::string text = "Ext   File Type Definition From VRAX\r\n===   ==============================\r\n";
  for (const auto& row : rows) {
    std::string extension = row[0];
    if (extension.size() < 6) extension.resize(6, ' ');
    char console[128];
    text += extension + platform_console_text(row[1], console, sizeof console) + "\r\n";
  }
  return text;
}

TEST(SpineTypeListing, SlashFAloneListsTheTypesAndOpensNothing) {
  TempDir dir;
  ProgramResult result = run_docvane_in(dir, {"/F"});
  EXPECT_EQ(result.out, SPINE_BANNER + expected_listing());
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_status, 1);
}

TEST(SpineTypeListing, DebugOptionSpeaksBeforeTheListing) {
  TempDir dir;
  ProgramResult result = run_docvane_in(dir, {"missing.dat", "/D", "/f"});
  EXPECT_EQ(result.out, SPINE_BANNER + expected_listing());
  EXPECT_EQ(result.err, "Full Debug!\n");
  EXPECT_EQ(result.exit_status, 1);
}

struct DebugOrderCase {
  std::vector<std::string> options;
  std::string expected_err;
  bool super;  // level 2: one trace line per request
};

void PrintTo(const DebugOrderCase& c, std::ostream* os) {
  for (const std::string& option : c.options) *os << option << " ";
}

class SpineDebugOrderTest : public testing::TestWithParam<DebugOrderCase> {};

TEST_P(SpineDebugOrderTest, MessagesComeRightToLeftAndTheLeftmostDecides) {
  const DebugOrderCase& c = GetParam();
  TempDir dir;
  ASSERT_TRUE(spine_write_library(dir.file("lib.dat"), {}));
  std::vector<std::string> args = {"lib.dat"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  ProgramResult result = run_docvane_in(dir, args);
  EXPECT_EQ(result.err, c.expected_err);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_NE(result.out.find("Opening Files\n"), std::string::npos);
  EXPECT_EQ(result.out.find("Op: 33, Buflen: 57000, KeyNum: 0 Status: 9\n") != std::string::npos, c.super);
}

INSTANTIATE_TEST_SUITE_P(Options, SpineDebugOrderTest,
                         testing::Values(DebugOrderCase{{"/DD", "/D"}, "Full Debug!\nFull Debug!\nSuper Debug!\n", true},
                                         DebugOrderCase{{"/D", "/DD"}, "Full Debug!\nSuper Debug!\nFull Debug!\n", false}));

TEST(SpineExportStart, QuestionMarkAfterTheNameIsNoUsageRequest) {
  TempDir dir;
  ASSERT_TRUE(spine_write_library(dir.file("lib.dat"), {}));
  ProgramResult result = run_docvane_in(dir, {"lib.dat", "/?"});
  EXPECT_EQ(result.out, SPINE_BANNER +
                            "Scanning Data File lib.dat...\n"
                            "Status 9 terminated application.\nCreated 0 files from 0 Records.\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_status, 0);
}

TEST(SpineExportStart, AnOptionFirstIsTheDataFileName) {
  TempDir dir;
  ProgramResult result = run_docvane_in(dir, {"/V8", "lib.dat"});
  EXPECT_EQ(result.out, SPINE_BANNER + "Scanning Data File /V8...\n");
  EXPECT_EQ(result.err, "Unable to Open File - Status 12\n");
  EXPECT_EQ(result.exit_status, 1);
}

}  // namespace

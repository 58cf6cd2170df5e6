#include <filesystem>

#include "export_fixture.h"

namespace {

const std::vector<uint8_t> letter_body = {'D', 'e', 'a', 'r', ' ', 'A', 'n', 'n', 'a'};

TEST(ExportProgress, DocumentLinkAndFailedCreate) {
  TempDir dir;
  ASSERT_TRUE(write_documents(dir.file("lib.dat"),
                              {anna_document("Letter", "Microsoft Word Document", letter_body),
                               anna_link("Map", "C:\\DOCS\\MAP.DOC"),
                               anna_document("Offer", "Microsoft Word", letter_body)},
                              false));
  std::filesystem::create_directory(dir.file("ANNA-Offer.DOC"));
  ProgramResult result = run_docvane(dir);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating ANNA-Letter.DOC...\n"
            " Link Skipped\n"
            "Creating ANNA-Offer.DOC... CreateFile Error 21\n"
            "Status 9 terminated application.\n"
            "Created 1 files from 3 Records.\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(read_file_bytes(dir.file("ANNA-Letter.DOC")), letter_body);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("ANNA-Offer.DOC")));
  EXPECT_EQ(exported_names(dir), (std::set<std::string>{"ANNA-Letter.DOC", "ANNA-Offer.DOC"}));
}

// Run in the data file's folder, a record named like the data file must not
// empty it: the create is refused and the scan reads on to the end.
TEST(ExportProgress, RecordNamedLikeTheDataFileLeavesItWhole) {
  TempDir dir;
  const std::string library = "ANNA-Notes.RQD";
  ASSERT_TRUE(write_documents(dir.file(library),
                              {anna_document("Letter", "Microsoft Word Document", letter_body),
                               anna_document("Notes", "", letter_body),
                               anna_document("Offer", "Microsoft Word", letter_body)},
                              false));
  const std::vector<uint8_t> library_bytes = read_file_bytes(dir.file(library));
  ProgramResult result = run_program(DOCVANE_BINARY, {library}, dir.path(), {"TZ=UTC"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(scan_output(result),
            "Scanning Data File ANNA-Notes.RQD...\n"
            "Creating ANNA-Letter.DOC...\n"
            "Creating ANNA-Notes.RQD... CreateFile Error 16\n"
            "Creating ANNA-Offer.DOC...\n"
            "Status 9 terminated application.\n"
            "Created 2 files from 3 Records.\n");
  EXPECT_EQ(read_file_bytes(dir.file(library)), library_bytes);
  EXPECT_EQ(read_file_bytes(dir.file("ANNA-Offer.DOC")), letter_body);
}

// Until links are exported, every link mode passes a link record over.
TEST(ExportProgress, LinkRecordsAreSkippedUnderEveryLinkMode) {
  TempDir dir;
  ASSERT_TRUE(write_documents(dir.file("lib.dat"),
                              {anna_link("Net", "\\\\SERVER\\DOCS\\NET.DOC"), anna_link("Map", "C:\\MAP.DOC")},
                              false));
  for (const char* option : {"", "/L", "/LL", "/LS", "/LC", "/LW"}) {
    std::vector<std::string> options;
    if (option[0] != '\0') options.push_back(option);
    ProgramResult result = run_docvane(dir, options);
    EXPECT_EQ(scan_output(result),
              "Scanning Data File lib.dat...\n"
              " Link Skipped\n"
              " Link Skipped\n"
              "Status 9 terminated application.\n"
              "Created 0 files from 2 Records.\n")
        << option;
    EXPECT_TRUE(exported_names(dir).empty()) << option;
  }
}

TEST(ExportProgress, MixedFileSummary) {
  TempDir dir;
  VraxDocument nameless = anna_document("   ", "Package", letter_body);
  nameless.owner_id = "";
  ASSERT_TRUE(write_documents(dir.file("lib.dat"),
                              {anna_document("First", "Package", letter_body),
                               anna_document("*Hidden", "Package", letter_body), nameless,
                               anna_link("Map", "C:\\MAP.DOC"), anna_document("Last", "Email Message", {})},
                              false));
  ProgramResult result = run_docvane(dir);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating ANNA-First.PKG...\n"
            " Link Skipped\n"
            "Creating ANNA-Last.MSG...\n"
            "Status 9 terminated application.\n"
            "Created 2 files from 5 Records.\n");
  EXPECT_EQ(result.err, "Skipping NULL Filename...\n");
  EXPECT_EQ(exported_names(dir), (std::set<std::string>{"ANNA-First.PKG", "ANNA-Last.MSG"}));
  EXPECT_EQ(std::filesystem::file_size(dir.file("ANNA-Last.MSG")), 0u);
}

TEST(ExportProgress, SkipMarkerIsReadInTheLayoutsOwnNameField) {
  TempDir dir;
  ASSERT_TRUE(write_documents(dir.file("lib.dat"),
                              {anna_document("*Gone", "Package", letter_body),
                               anna_document("Kept", "Package", letter_body)},
                              true));
  ProgramResult result = run_docvane(dir, {"/V8"});
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating ANNA-Kept.PKG...\n"
            "Status 9 terminated application.\n"
            "Created 1 files from 2 Records.\n");
}

}  // namespace

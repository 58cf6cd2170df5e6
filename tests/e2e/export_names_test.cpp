#include <cstring>

#include "export_fixture.h"

namespace {

std::vector<uint8_t> bytes_of(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(ExportNames, SameNameTwiceInOneRunGetsANumber) {
  TempDir dir;
  VraxDocument lower = anna_document("letter", "microsoft word document", bytes_of("third"));
  lower.owner_id = "anna";
  ASSERT_TRUE(write_documents(dir.file("lib.dat"),
                              {anna_document("Letter", "Microsoft Word Document", bytes_of("first")),
                               anna_document("Letter", "Microsoft Word", bytes_of("second")), lower},
                              false));
  // A file left by an earlier run is replaced, not avoided.
  write_file_bytes(dir.file("ANNA-Letter.DOC"), bytes_of("from an earlier run"));
  ProgramResult result = run_docvane(dir);
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating ANNA-Letter.DOC...\n"
            "Creating ANNA-Letter(2).DOC...\n"
            "Creating anna-letter(3).DOC...\n"
            "Status 9 terminated application.\n"
            "Created 3 files from 3 Records.\n");
  EXPECT_EQ(read_file_text(dir.file("ANNA-Letter.DOC")), "first");
  EXPECT_EQ(read_file_text(dir.file("ANNA-Letter(2).DOC")), "second");
  EXPECT_EQ(read_file_text(dir.file("anna-letter(3).DOC")), "third");
}

TEST(ExportNames, Windows1252NamesBecomeUtf8FileNames) {
  TempDir dir;
  VraxDocument document = anna_document("Caf\xE9 \x80 M\xFCnchen", "Pr\xE9sentation Microsoft PowerPoint",
                                        bytes_of("slides"));
  ASSERT_TRUE(write_documents(dir.file("lib.dat"), {document}, false));
  ProgramResult result = run_docvane(dir);
  const std::string utf8_name = "ANNA-Caf\xC3\xA9 \xE2\x82\xAC M\xC3\xBCnchen.PPT";
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating " + utf8_name + "...\n"
            "Status 9 terminated application.\n"
            "Created 1 files from 1 Records.\n");
  EXPECT_EQ(exported_names(dir), std::set<std::string>{utf8_name});
  EXPECT_EQ(read_file_text(dir.file(utf8_name)), "slides");
}

// The file system takes at most 255 bytes of UTF-8: the document name is cut
// to whole characters so that the extension stays.
TEST(ExportNames, LongNameIsCutToFitTheFileSystem) {
  TempDir dir;
  VraxDocument document = anna_document(std::string(255, '\xE9'), "Package", bytes_of("long"));
  ASSERT_TRUE(write_documents(dir.file("lib.dat"), {document}, true));
  ProgramResult result = run_docvane(dir, {"/V8"});
  std::string utf8_name = "ANNA-";
  for (int i = 0; i < 123; ++i) utf8_name += "\xC3\xA9";
  utf8_name += ".PKG";
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating " + utf8_name + "...\n"
            "Status 9 terminated application.\n"
            "Created 1 files from 1 Records.\n");
  EXPECT_EQ(read_file_text(dir.file(utf8_name)), "long");
}

// A short record must not inherit the link block or the name of the longer
// record that the buffer held before it.
TEST(ExportNames, ShortRecordAfterLinkRecord) {
  TempDir dir;
  VraxDocument link = anna_link("Map Of The Town", "C:\\TOWN\\MAP.DOC");
  RecordBytes link_record = build_vrax_record(link, false);
  RecordBytes short_record(60, 0);
  memcpy(short_record.data() + 20, "ANNA", 4);
  memcpy(short_record.data() + 54, "Tiny!?", 6);  // no NUL: the record ends first
  ASSERT_TRUE(write_records(dir.file("lib.dat"), {link_record, short_record}, false, 60));
  ProgramResult result = run_docvane(dir);
  // The date bytes lie past the record, so there is no valid date to set.
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            " Link Skipped\n"
            "Creating ANNA-Tiny!_.RQD... SetFileTime Error: 22\n"
            "Status 9 terminated application.\n"
            "Created 1 files from 2 Records.\n");
  EXPECT_EQ(exported_names(dir), std::set<std::string>{"ANNA-Tiny!_.RQD"});
  EXPECT_EQ(std::filesystem::file_size(dir.file("ANNA-Tiny!_.RQD")), 0u);
}

// A record that ends inside the name, type or body area exports what it has.
TEST(ExportNames, RecordShorterThanTheBodyOffset) {
  TempDir dir;
  VraxDocument document = anna_document("Brief", "Package", {});
  RecordBytes record = build_vrax_record(document, true);
  record.resize(200);  // ends in the name field of the version 8 layout
  ASSERT_TRUE(write_records(dir.file("lib.dat"), {build_vrax_record(anna_document("Before", "Package",
                                                                                   pattern_bytes(3000, 1)),
                                                                    true),
                                                  record},
                            true, 200));
  ProgramResult result = run_docvane(dir, {"/V8"});
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating ANNA-Before.PKG...\n"
            "Creating ANNA-Brief.PKG...\n"
            "Status 9 terminated application.\n"
            "Created 2 files from 2 Records.\n");
  EXPECT_EQ(std::filesystem::file_size(dir.file("ANNA-Brief.PKG")), 0u);
}

}  // namespace

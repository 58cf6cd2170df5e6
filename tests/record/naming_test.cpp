#include <gtest/gtest.h>

#include "record_fixture.h"

namespace {

struct NamingCase {
  const char* owner;
  int16_t contact_number;
  ContactIdMode contact_id_mode;
  int autoinc_suffix;
  int txt_extension;
  const char* name;
  const char* type;
  const char* expected;
};

// The worked examples of the naming rules; autoinc key 7 throughout.
const NamingCase worked_examples[] = {
    {"ABC", 0, ContactIdOff, 0, 0, "Letter", "Microsoft Word Document", "ABC-Letter.DOC"},
    {"ABC", 0, ContactIdNonZero, 0, 0, "Letter", "Microsoft Word Document", "ABC-Letter.DOC"},
    {"ABC", 0, ContactIdAlways, 0, 0, "Letter", "Microsoft Word Document", "ABC;0-Letter.DOC"},
    {"ABC", -5, ContactIdNonZero, 1, 0, "Letter", "MICROSOFT WORD DOCUMENT", "ABC;-5;7-Letter.DOC"},
    {"", 12, ContactIdNonZero, 0, 0, "Letter", "Package", ";12-Letter.PKG"},
    {"", 0, ContactIdOff, 0, 0, "Letter", "Microsoft Excel 2003", "Letter.XLS"},
    {"ABC", 0, ContactIdOff, 0, 0, "report.doc", "Microsoft Word Document", "ABC-report.doc.RQD"},
    {"ABC", 0, ContactIdOff, 0, 1, "report.doc", "Microsoft Word Document", "ABC-report.doc.TXT"},
    {"ABC", 0, ContactIdOff, 0, 0, "Notes", ".pdf", "ABC-Notes.pdf"},
    {"ABC", 0, ContactIdOff, 0, 0, "Notes", "Sound Recording", "ABC-Notes.RQD"},
    {"ABC", 0, ContactIdOff, 0, 1, "Notes", "Sound Recording", "ABC-Notes.TXT"},
    {"ABC", 0, ContactIdOff, 0, 0, "a/b:c?", "", "ABC-a_b_c_.RQD"},
    {"ABC", 0, ContactIdOff, 0, 0, "", "", "ABC-.RQD"},
    {"", 0, ContactIdAlways, 0, 0, "", "", ";0-.RQD"},
};

// Further naming cases around blanks, the separator and the extension rules.
const NamingCase edge_cases[] = {
    {"ABC", 0, ContactIdOff, 0, 0, "Letter   ", "Microsoft Word", "ABC-Letter.DOC"},
    {"ABC  ", 0, ContactIdOff, 0, 0, "Letter", "Microsoft Word", "ABC  -Letter.DOC"},
    {"ABC", 0, ContactIdOff, 0, 0, "Who ?", "", "ABC-Who _.RQD"},
    {"ABC", 0, ContactIdOff, 0, 0, "Tab\t", "", "ABC-Tab\t.RQD"},
    {"ABC", 0, ContactIdOff, 0, 0, "Mid dle", "", "ABC-Mid dle.RQD"},
    {"ABC", 0, ContactIdOff, 0, 0, "Memo", "Microsoft Wor", "ABC-Memo.RQD"},
    {"ABC", 0, ContactIdOff, 0, 0, "Sheet", "Feuille de calcul Microsoft Office Excel 97", "ABC-Sheet.XLS"},
    {"ABC", 0, ContactIdOff, 0, 0, "a.bcd", ".pdf", "ABC-a.bcd.RQD"},
    {"ABC", 0, ContactIdOff, 0, 1, "a.bcd", "Package", "ABC-a.bcd.TXT"},
    {"", 0, ContactIdOff, 0, 0, ".abc", "Package", ".abc.RQD"},
    {"", 0, ContactIdOff, 0, 0, "abc", "Package", "abc.PKG"},
    {"AB", 0, ContactIdOff, 0, 0, "c", "Package", "AB-c.PKG"},
    {"A.B", 0, ContactIdOff, 0, 0, "", "Package", "A.B-.PKG"},
    {"A.BC", 0, ContactIdOff, 0, 0, "", "Package", "A.BC-.RQD"},
    {"A/B:C", 0, ContactIdOff, 0, 0, "x*y$z%", "", "A_B_C-x_y_z_.RQD"},
    {"O'Neil", 0, ContactIdOff, 0, 0, "say \"hi\"", "", "O_Neil-say _hi_.RQD"},
    {"", 0, ContactIdOff, 1, 0, "", "", ";7-.RQD"},
    {"ABC", 1, ContactIdOff, 0, 0, "Letter", "", "ABC-Letter.RQD"},
};

void expect_naming(const NamingCase& row, const RecordLayout& layout) {
  TestRecord fields;
  fields.owner = row.owner;
  fields.contact_number = row.contact_number;
  fields.name = row.name;
  fields.type = row.type;
  std::vector<uint8_t> buffer = make_record(layout, fields);
  RunSettings settings = naming_settings(row.contact_id_mode, row.autoinc_suffix, row.txt_extension);
  ComposeResult result = compose(buffer, layout, settings);
  EXPECT_EQ(result.ok, 1) << row.expected;
  EXPECT_EQ(result.name, row.expected);
}

TEST(ComposeExportName, WorkedExamplesInBothLayouts) {
  for (const NamingCase& row : worked_examples) {
    expect_naming(row, StandardLayout);
    expect_naming(row, Version8Layout);
  }
}

TEST(ComposeExportName, EdgeCases) {
  for (const NamingCase& row : edge_cases) expect_naming(row, StandardLayout);
}

TEST(ComposeExportName, ExtensionStartPointsAtTheExtension) {
  TestRecord fields;
  ComposeResult result = compose(make_record(StandardLayout, fields), StandardLayout, RunSettings{});
  ASSERT_EQ(result.name, "ABC-Letter.DOC");
  EXPECT_EQ(result.extension_start, 10u);
}

TEST(ComposeExportName, EmptyNameIsSkippedWithOnlyTheMessage) {
  const char* blank_names[] = {"", " ", "     "};
  for (const char* blank : blank_names) {
    TestRecord fields;
    fields.owner = "";
    fields.name = blank;
    std::vector<uint8_t> buffer = make_record(StandardLayout, fields);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ComposeResult result = compose(buffer, StandardLayout, naming_settings(ContactIdNonZero, 0, 0));
    std::string err = testing::internal::GetCapturedStderr();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(err, "Skipping NULL Filename...\n");
    EXPECT_EQ(out, "");
  }
}

TEST(ComposeExportName, EachLayoutReadsItsOwnNameField) {
  std::vector<uint8_t> buffer(TEST_BUFFER_SIZE, 0);
  put_text(buffer, 20, "ABC");
  put_text(buffer, 54, "Standard");
  put_text(buffer, 178, "Eight");
  EXPECT_EQ(compose(buffer, StandardLayout, RunSettings{}).name, "ABC-Standard.RQD");
  EXPECT_EQ(compose(buffer, Version8Layout, RunSettings{}).name, "ABC-Eight.RQD");
}

TEST(ComposeExportName, FieldValuesAtTheirLimits) {
  TestRecord fields;
  fields.contact_number = -1;
  fields.autoinc_key = 4294967295u;
  RunSettings settings = naming_settings(ContactIdNonZero, 1, 0);
  EXPECT_EQ(compose(make_record(StandardLayout, fields), StandardLayout, settings).name,
            "ABC;-1;4294967295-Letter.DOC");
  fields.contact_number = -32768;
  EXPECT_EQ(compose(make_record(StandardLayout, fields), StandardLayout, settings).name,
            "ABC;-32768;4294967295-Letter.DOC");
}

TEST(ComposeExportName, OwnerIdStopsAfter22BytesOrAtItsNul) {
  std::vector<uint8_t> buffer = make_record(StandardLayout, TestRecord{});
  put_text(buffer, 20, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");  // runs over offset 42
  put_text(buffer, 54, "N");
  buffer[55] = 0;
  EXPECT_EQ(compose(buffer, StandardLayout, RunSettings{}).name, "ABCDEFGHIJKLMNOPQRSTUV-N.DOC");
  buffer[20] = 0;
  EXPECT_EQ(compose(buffer, StandardLayout, RunSettings{}).name, "N.DOC");
}

// Texts end at the record's end: bytes beyond it belong to no record.
TEST(ComposeExportName, TextsStopAtTheRecordEnd) {
  std::vector<uint8_t> buffer(TEST_BUFFER_SIZE, 'Z');
  put_text(buffer, 20, std::string("ABC\0", 4));
  put_text(buffer, 98, std::string("Package\0", 8));
  put_text(buffer, 178, "Short");
  ComposeResult result = compose(buffer, Version8Layout, RunSettings{}, 0, 183);
  EXPECT_EQ(result.name, "ABC-Short.PKG");
  result = compose(buffer, Version8Layout, RunSettings{}, 0, 180);
  EXPECT_EQ(result.name, "ABC-Sh.PKG");
  result = compose(buffer, Version8Layout, RunSettings{}, 0, 178);
  EXPECT_EQ(result.name, "ABC-.PKG");
  result = compose(buffer, Version8Layout, RunSettings{}, 0, 100);
  EXPECT_EQ(result.name, "ABC-.RQD");  // type cut to "Pa"
}

// A type description that begins with a dot becomes the extension; it must
// not lead out of the current folder.
TEST(ComposeExportName, ExtensionFromTypeCannotNameAnotherFolder) {
  struct Row {
    const char* type;
    const char* expected;
  };
  const Row rows[] = {
      {"./../../x", "ABC-Notes._.._.._x"},
      {".\\..\\x", "ABC-Notes._.._x"},
      {"\\..\\x", "ABC-Notes.RQD"},  // no leading dot: no extension of its own
      {".:x*?", "ABC-Notes._x__"},
      {".doc ", "ABC-Notes.doc "},
  };
  for (const Row& row : rows) {
    TestRecord fields;
    fields.name = "Notes";
    fields.type = row.type;
    EXPECT_EQ(compose(make_record(StandardLayout, fields), StandardLayout, RunSettings{}).name, row.expected);
  }
}

}  // namespace

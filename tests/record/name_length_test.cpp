#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "record_fixture.h"

namespace {

// Long names go in the version 8 layout, where the name field has room to run
// on into the body; long types in the standard layout, for the same reason.
ComposeResult compose_long(const std::string& owner, const std::string& name, const std::string& type,
                           const RecordLayout& layout, const RunSettings& settings, size_t suffix_reserve) {
  TestRecord fields;
  fields.owner = owner;
  fields.name = name;
  fields.type = type;
  fields.contact_number = -32768;
  fields.autoinc_key = 4294967295u;
  return compose(make_record(layout, fields), layout, settings, suffix_reserve);
}

TEST(ExportNameLength, AsciiNamesAreCutToTheLimit) {
  for (size_t name_length = 240; name_length <= 300; name_length += 3) {
    for (size_t suffix : {0u, 4u, 5u}) {
      ComposeResult result =
          compose_long("ABC", std::string(name_length, 'n'), "Package", Version8Layout, RunSettings{}, suffix);
      size_t expected_length = std::min(4 + name_length + 4, EXPORT_NAME_MAX - suffix);
      ASSERT_EQ(result.name.size(), expected_length) << name_length << "/" << suffix;
      EXPECT_EQ(result.name.substr(0, 4), "ABC-");
      EXPECT_EQ(result.name.substr(result.name.size() - 4), ".PKG");
      EXPECT_EQ(result.extension_start, expected_length - 4);
      EXPECT_EQ(result.name.find_first_not_of('n', 4), expected_length - 4);
    }
  }
}

#ifndef _WIN32
// On POSIX the name on disk is UTF-8: 0xE9 takes two bytes, 0x80 (the euro
// sign) three; the cut keeps whole characters.
TEST(ExportNameLength, UtfEightGrowthIsCounted) {
  struct Row {
    std::string name;
    size_t suffix;
    std::string expected_name_part;
  };
  const Row rows[] = {
      {std::string(300, '\xE9'), 0, std::string(123, '\xE9')},
      {std::string(300, '\x80'), 0, std::string(82, '\x80')},
      {std::string(300, '\x80'), 5, std::string(80, '\x80')},
      {std::string(246, 'a') + "\xE9" + "bbbb", 0, std::string(246, 'a')},
      {std::string(245, 'a') + "\xE9" + "bbbb", 0, std::string(245, 'a') + "\xE9"},
      {std::string(245, 'a') + "\x80" + "bbbb", 0, std::string(245, 'a')},
      {std::string(244, 'a') + "\x80" + "bbbb", 0, std::string(244, 'a') + "\x80"},
  };
  for (const Row& row : rows) {
    ComposeResult result = compose_long("ABC", row.name, "Package", Version8Layout, RunSettings{}, row.suffix);
    EXPECT_EQ(result.name, "ABC-" + row.expected_name_part + ".PKG");
    EXPECT_LE(platform_name_length(result.name.c_str()) + row.suffix, EXPORT_NAME_MAX);
  }
}

TEST(ExportNameLength, OwnerAndNumbersAlwaysFit) {
  RunSettings settings = naming_settings(ContactIdNonZero, 1, 0);
  ComposeResult result =
      compose_long(std::string(22, '\x80'), std::string(300, 'n'), "Package", Version8Layout, settings, 5);
  std::string prefix = std::string(22, '\x80') + ";-32768;4294967295-";
  EXPECT_EQ(result.name, prefix + std::string(161, 'n') + ".PKG");
  EXPECT_EQ(platform_name_length(result.name.c_str()), 250u);
}
#endif

TEST(ExportNameLength, ExtensionFromTypeIsNeverCut) {
  struct Row {
    size_t type_length;  // the dot included
    const char* expected_name_part;
    bool type_used;
  };
  const Row rows[] = {
      {101, "Notes", true},
      {249, "No", true},
      {250, "N", true},
      {251, "", false},
      {300, "", false},
  };
  for (const Row& row : rows) {
    std::string type = "." + std::string(row.type_length - 1, 'x');
    ComposeResult result = compose_long("ABC", "Notes", type, StandardLayout, RunSettings{}, 0);
    if (row.type_used) {
      EXPECT_EQ(result.name, "ABC-" + std::string(row.expected_name_part) + type) << row.type_length;
      EXPECT_LE(result.name.size(), EXPORT_NAME_MAX);
    } else {
      EXPECT_EQ(result.name, "ABC-Notes.RQD") << row.type_length;
    }
  }
}

TEST(ExportNameLength, TooLongTypeExtensionRespectsTheSuffixAndTxt) {
  std::string type = "." + std::string(248, 'x');
  RunSettings txt = naming_settings(ContactIdOff, 0, 1);
  EXPECT_EQ(compose_long("ABC", "Notes", type, StandardLayout, txt, 0).name, "ABC-No" + type);
  EXPECT_EQ(compose_long("ABC", "Notes", type, StandardLayout, txt, 5).name, "ABC-Notes.TXT");
}

}  // namespace

// The option scan: argument vectors and the settings and messages they give.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "run/settings.h"

namespace {

struct OptionCase {
  std::vector<const char*> arguments;  // after the program's own name
  RunSettings expected;
  const char* expected_err;
};

RunSettings with_link(LinkMode mode) {
  RunSettings s;
  s.link_mode = mode;
  return s;
}
RunSettings with_contact(ContactIdMode mode) {
  RunSettings s;
  s.contact_id_mode = mode;
  return s;
}
RunSettings with_debug(DebugLevel level) {
  RunSettings s;
  s.debug_level = level;
  return s;
}
RunSettings with_flag(int RunSettings::*flag) {
  RunSettings s;
  s.*flag = 1;
  return s;
}
RunSettings everything() {
  RunSettings s;
  s.debug_level = DebugSuper;
  s.link_mode = LinkShortcut;
  s.contact_id_mode = ContactIdAlways;
  s.layout_version8 = s.autoinc_suffix = s.txt_extension = s.list_types = s.text_conversion = 1;
  return s;
}

void expect_same_settings(const RunSettings& actual, const RunSettings& expected) {
  EXPECT_EQ(actual.debug_level, expected.debug_level);
  EXPECT_EQ(actual.link_mode, expected.link_mode);
  EXPECT_EQ(actual.contact_id_mode, expected.contact_id_mode);
  EXPECT_EQ(actual.layout_version8, expected.layout_version8);
  EXPECT_EQ(actual.autoinc_suffix, expected.autoinc_suffix);
  EXPECT_EQ(actual.txt_extension, expected.txt_extension);
  EXPECT_EQ(actual.list_types, expected.list_types);
  EXPECT_EQ(actual.text_conversion, expected.text_conversion);
}

std::string describe(const std::vector<const char*>& arguments) {
  std::string text;
  for (const char* argument : arguments) text += std::string(" [") + argument + "]";
  return text;
}

void PrintTo(const OptionCase& c, std::ostream* os) { *os << describe(c.arguments); }

class OptionScanTest : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionScanTest, GivesTheSettingsAndDebugMessages) {
  const OptionCase& c = GetParam();
  std::vector<const char*> argv = {"docvane"};
  argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
  SCOPED_TRACE(describe(c.arguments));
  testing::internal::CaptureStderr();
  RunSettings settings = parse_options(static_cast<int>(argv.size()), argv.data());
  std::string err = testing::internal::GetCapturedStderr();
  expect_same_settings(settings, c.expected);
  EXPECT_EQ(err, c.expected_err);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, OptionScanTest,
    testing::Values(
        OptionCase{{"lib.dat"}, RunSettings{}, ""},
        OptionCase{{}, RunSettings{}, ""},
        // Link mode: the leftmost /L decides; the third character picks the mode.
        OptionCase{{"lib.dat", "/LS", "/LC"}, with_link(LinkShortText), ""},
        OptionCase{{"lib.dat", "/LC", "/LS"}, with_link(LinkCopy), ""},
        OptionCase{{"lib.dat", "/L"}, with_link(LinkLongText), ""},
        OptionCase{{"lib.dat", "/LL"}, with_link(LinkLongText), ""},
        OptionCase{{"lib.dat", "/LX"}, with_link(LinkLongText), ""},
        OptionCase{{"lib.dat", "/ls"}, with_link(LinkShortText), ""},
        OptionCase{{"lib.dat", "-LW"}, with_link(LinkShortcut), ""},
        OptionCase{{"lib.dat", "/lcopy"}, with_link(LinkCopy), ""},
        // Contact number.
        OptionCase{{"lib.dat", "/C", "/CZ"}, with_contact(ContactIdNonZero), ""},
        OptionCase{{"lib.dat", "/CZ", "/C"}, with_contact(ContactIdAlways), ""},
        OptionCase{{"lib.dat", "/C0"}, with_contact(ContactIdNonZero), ""},
        OptionCase{{"lib.dat", "-cz"}, with_contact(ContactIdAlways), ""},
        // Debug messages come in the order the arguments are visited: right to left.
        OptionCase{{"lib.dat", "/D"}, with_debug(DebugFull), "Full Debug!\n"},
        OptionCase{{"lib.dat", "/DD"}, with_debug(DebugSuper), "Full Debug!\nSuper Debug!\n"},
        OptionCase{{"lib.dat", "/DD", "/D"}, with_debug(DebugSuper), "Full Debug!\nFull Debug!\nSuper Debug!\n"},
        OptionCase{{"lib.dat", "/D", "/DD"}, with_debug(DebugFull), "Full Debug!\nSuper Debug!\nFull Debug!\n"},
        OptionCase{{"lib.dat", "/DEBUG"}, with_debug(DebugFull), "Full Debug!\n"},
        OptionCase{{"lib.dat", "-dd"}, with_debug(DebugSuper), "Full Debug!\nSuper Debug!\n"},
        OptionCase{{"lib.dat", "/D", "/D"}, with_debug(DebugFull), "Full Debug!\nFull Debug!\n"},
        // Version 8 layout: only /V8, wherever it stands, and nothing undoes it.
        OptionCase{{"lib.dat", "/V"}, RunSettings{}, ""},
        OptionCase{{"lib.dat", "/V7"}, RunSettings{}, ""},
        OptionCase{{"lib.dat", "/V8", "/V7"}, with_flag(&RunSettings::layout_version8), ""},
        OptionCase{{"lib.dat", "/V7", "/v8"}, with_flag(&RunSettings::layout_version8), ""},
        OptionCase{{"lib.dat", "/V8X"}, with_flag(&RunSettings::layout_version8), ""},
        OptionCase{{"/V8", "lib.dat"}, with_flag(&RunSettings::layout_version8), ""},
        // Flags.
        OptionCase{{"/F"}, with_flag(&RunSettings::list_types), ""},
        OptionCase{{"lib.dat", "/f"}, with_flag(&RunSettings::list_types), ""},
        OptionCase{{"lib.dat", "/M"}, with_flag(&RunSettings::text_conversion), ""},
        OptionCase{{"-m.dat"}, with_flag(&RunSettings::text_conversion), ""},
        OptionCase{{"lib.dat", "/U"}, with_flag(&RunSettings::autoinc_suffix), ""},
        OptionCase{{"lib.dat", "-t"}, with_flag(&RunSettings::txt_extension), ""},
        OptionCase{{"lib.dat", "/TT", "/T"}, with_flag(&RunSettings::txt_extension), ""},
        // Ignored: unknown letters, lone slash or hyphen, stray words, a later question mark.
        OptionCase{{"lib.dat", "/X", "/Q", "/", "-", "word", "/?", "x?", "/1", "/\xE9"}, RunSettings{}, ""},
        OptionCase{{"lib.dat", "D", "LS", "+V8"}, RunSettings{}, ""},
        OptionCase{{"lib.dat", "/V8", "/F", "/T", "/CZ", "/U", "/LW", "/M", "/DD"}, everything(),
                   "Full Debug!\nSuper Debug!\n"}));

TEST(OptionScan, LeavesArgumentZeroAlone) {
  const char* argv[] = {"/DD", "lib.dat"};
  testing::internal::CaptureStderr();
  RunSettings settings = parse_options(2, argv);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(settings.debug_level, DebugOff);
}

}  // namespace

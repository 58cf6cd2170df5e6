// Windows-1252 names become UTF-8 on disk and on the console.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "output/output.h"
#include "platform/platform.h"
#include "support/test_support.h"

namespace {

// The 0x80-0x9F row of the Windows-1252 code chart; the five unassigned
// bytes keep their own value as a C1 control code point.
const uint32_t CHART_ROW_80_9F[32] = {
    0x20AC /* euro sign */,       0x0081 /* unassigned */,       0x201A /* low-9 quote */,
    0x0192 /* f with hook */,     0x201E /* low-9 double quote */, 0x2026 /* ellipsis */,
    0x2020 /* dagger */,          0x2021 /* double dagger */,    0x02C6 /* circumflex */,
    0x2030 /* per mille */,       0x0160 /* S caron */,          0x2039 /* single left angle quote */,
    0x0152 /* OE */,              0x008D /* unassigned */,       0x017D /* Z caron */,
    0x008F /* unassigned */,      0x0090 /* unassigned */,       0x2018 /* left single quote */,
    0x2019 /* right single quote */, 0x201C /* left double quote */, 0x201D /* right double quote */,
    0x2022 /* bullet */,          0x2013 /* en dash */,          0x2014 /* em dash */,
    0x02DC /* small tilde */,     0x2122 /* trade mark */,       0x0161 /* s caron */,
    0x203A /* single right angle quote */, 0x0153 /* oe */,     0x009D /* unassigned */,
    0x017E /* z caron */,         0x0178 /* Y diaeresis */,
};

uint32_t chart_code_point(int byte) { return byte >= 0x80 && byte <= 0x9F ? CHART_ROW_80_9F[byte - 0x80] : byte; }

// Decodes a text that must hold exactly one well-formed UTF-8 character.
bool decode_one_utf8_character(const std::string& text, uint32_t* code_point) {
  if (text.empty()) return false;
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t length;
  uint32_t value;
  if (lead < 0x80) {
    length = 1;
    value = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
  } else {
    return false;
  }
  if (text.size() != length) return false;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  const uint32_t smallest[4] = {0, 0, 0x80, 0x800};
  if (value < smallest[length]) return false;  // overlong form
  *code_point = value;
  return true;
}

TEST(Windows1252Names, EveryByteBecomesItsChartCharacter) {
  for (int byte = 1; byte < 256; ++byte) {
    const char ansi[2] = {static_cast<char>(byte), '\0'};
    char console[8];
    const std::string shown = platform_console_text(ansi, console, sizeof console);
    uint32_t code_point = 0;
    ASSERT_TRUE(decode_one_utf8_character(shown, &code_point)) << "byte " << byte;
    EXPECT_EQ(code_point, chart_code_point(byte)) << "byte " << byte;
    EXPECT_EQ(platform_name_length(ansi), shown.size()) << "byte " << byte;
  }
}

TEST(Windows1252Names, TextsConvertWhole) {
  struct Case {
    const char* ansi;
    const char* utf8;
  };
  const Case cases[] = {
      {"", ""},
      {"ANNA-Letter.DOC", "ANNA-Letter.DOC"},
      {"Gr\xFC\xDF" "e \x80 5", "Grüße € 5"},
      {"\x93Zitat\x94 \x96 \x85", "“Zitat” – …"},
      {"\xC0\xFF\xA0", "Àÿ\u00A0"},
  };
  for (const Case& c : cases) {
    char console[64];
    EXPECT_STREQ(platform_console_text(c.ansi, console, sizeof console), c.utf8) << c.utf8;
    EXPECT_EQ(platform_name_length(c.ansi), std::strlen(c.utf8)) << c.utf8;
  }
}

TEST(Windows1252Names, ConsoleTextIsCutAfterWholeCharacters) {
  struct Case {
    size_t out_size;
    const char* expected;
  };
  // "A€é" takes 1 + 3 + 2 bytes in UTF-8.
  const Case cases[] = {
      {1, ""}, {2, "A"}, {4, "A"}, {5, "A€"}, {6, "A€"}, {7, "A€é"}, {8, "A€é"},
  };
  for (const Case& c : cases) {
    char console[16];
    std::memset(console, 'x', sizeof console);
    EXPECT_STREQ(platform_console_text("A\x80\xE9", console, c.out_size), c.expected) << "size " << c.out_size;
    EXPECT_EQ(console[c.out_size], 'x') << "wrote past the buffer, size " << c.out_size;
  }
}

TEST(Windows1252Names, ExportFileIsStoredUnderTheUtf8Name) {
  TempDir dir;
  const std::string ansi_path = dir.file("Caf\xE9 \x80.DOC");
  PlatformFile file = create_export_file(ansi_path.c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_EQ(write_text(file, "\xE9\x80"), 1);
  close_export_file(file);

  const std::filesystem::path expected = std::filesystem::path(dir.path()) / "Café €.DOC";
  ASSERT_TRUE(std::filesystem::exists(expected));
  // The content is written as given, never converted.
  EXPECT_EQ(read_file_text(expected.string()), "\xE9\x80");
  EXPECT_FALSE(std::filesystem::exists(ansi_path));
}

}  // namespace

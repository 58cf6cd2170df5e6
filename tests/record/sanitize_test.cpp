#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "record/record.h"

namespace {

TEST(SanitizeFileName, EveryByteValue) {
  const std::string replaced = "/\\'\"*$%?:";
  for (int value = 1; value < 256; ++value) {
    char text[4] = {'a', (char)value, 'z', '\0'};
    sanitize_file_name(text);
    bool must_replace = replaced.find((char)value) != std::string::npos;
    char expected = must_replace ? '_' : (char)value;
    EXPECT_EQ(text[0], 'a') << value;
    EXPECT_EQ(text[1], expected) << "byte " << value;
    EXPECT_EQ(text[2], 'z') << value;
    EXPECT_EQ(is_unsafe_name_char((unsigned char)value), must_replace ? 1 : 0) << value;
  }
  EXPECT_EQ(is_unsafe_name_char(0), 0);
}

TEST(SanitizeFileName, TrailingBlanksOnly) {
  struct Row {
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"ab  ", "ab"},     {"   ", ""},         {"", ""},           {" a b ", " a b"},
      {"ab\t", "ab\t"},   {"ab \t", "ab \t"},  {"a ?", "a _"},     {"a? ", "a_"},
      {"x\xA0", "x\xA0"}, {"<a>|b", "<a>|b"},  {"a.b;c-d", "a.b;c-d"},
  };
  for (const Row& row : rows) {
    char text[32];
    strcpy(text, row.input);
    sanitize_file_name(text);
    EXPECT_STREQ(text, row.expected) << "input [" << row.input << "]";
  }
}

TEST(ReplaceUnsafeNameCharacters, KeepsTrailingBlanks) {
  char text[] = "./x: ";
  replace_unsafe_name_characters(text);
  EXPECT_STREQ(text, "._x_ ");
}

}  // namespace

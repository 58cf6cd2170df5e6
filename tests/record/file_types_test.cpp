#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "record/record.h"

namespace {

TEST(FileTypeTable, RowsAndLengths) {
  struct Row {
    const char* description;
    size_t length;
    const char* extension;
  };
  const Row expected[FILE_TYPE_ROWS] = {
      {"(Default)", 9, ".RQD"},
      {"Microsoft Word 6.0 Document", 27, ".DOC"},
      {"Microsoft Word Document", 23, ".DOC"},
      {"Microsoft Word", 14, ".DOC"},
      {"Document Microsoft Word", 23, ".DOC"},
      {"Microsoft PowerPoint Presentation", 33, ".PPT"},
      {"Microsoft PowerPoint", 20, ".PPT"},
      {"Pr\xE9sentation Microsoft PowerPoint", 33, ".PPT"},
      {"Microsoft Excel Worksheet", 25, ".XLS"},
      {"Microsoft Excel", 15, ".XLS"},
      {"Feuille de calcul Microsoft Office Exce", 39, ".XLS"},
      {"Email Message", 13, ".MSG"},
      {"E-mail Message", 14, ".MSG"},
      {"VISIO 5 Drawing", 15, ".VSD"},
      {"VISIO", 5, ".VSD"},
      {"Package", 7, ".PKG"},
      {"Adobe Acrobat Document", 22, ".PDF_OLE"},
      {"Microsoft Office Word Document", 30, ".DOC"},
      {"Microsoft Office Excel Worksheet", 32, ".XLS"},
      {"Microsoft Office Excel Chart", 28, ".XLS"},
      {"Bitmap Image", 12, ".BMP_OLE"},
      {"", 0, ""},
  };
  for (int row = 0; row < FILE_TYPE_ROWS; ++row) {
    EXPECT_STREQ(FileTypeTable[row].description, expected[row].description) << row;
    EXPECT_EQ(std::string(FileTypeTable[row].description).size(), expected[row].length) << row;
    EXPECT_STREQ(FileTypeTable[row].extension, expected[row].extension) << row;
  }
}

TEST(ListFileTypes, ByteForByte) {
  char presentation[64];
  platform_console_text("Pr\xE9sentation Microsoft PowerPoint", presentation, sizeof presentation);
  const std::string expected = std::string() +
                               "Ext   File Type Definition From VRAX\r\n"
                               "===   ==============================\r\n"
                               ".RQD  (Default)\r\n"
                               ".DOC  Microsoft Word 6.0 Document\r\n"
                               ".DOC  Microsoft Word Document\r\n"
                               ".DOC  Microsoft Word\r\n"
                               ".DOC  Document Microsoft Word\r\n"
                               ".PPT  Microsoft PowerPoint Presentation\r\n"
                               ".PPT  Microsoft PowerPoint\r\n"
                               ".PPT  " + presentation + "\r\n"
                               ".XLS  Microsoft Excel Worksheet\r\n"
                               ".XLS  Microsoft Excel\r\n"
                               ".XLS  Feuille de calcul Microsoft Office Exce\r\n"
                               ".MSG  Email Message\r\n"
                               ".MSG  E-mail Message\r\n"
                               ".VSD  VISIO 5 Drawing\r\n"
                               ".VSD  VISIO\r\n"
                               ".PKG  Package\r\n"
                               ".PDF_OLEAdobe Acrobat Document\r\n"
                               ".DOC  Microsoft Office Word Document\r\n"
                               ".XLS  Microsoft Office Excel Worksheet\r\n"
                               ".XLS  Microsoft Office Excel Chart\r\n"
                               ".BMP_OLEBitmap Image\r\n";
  testing::internal::CaptureStdout();
  list_file_types();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, expected);
}

#ifndef _WIN32
TEST(ListFileTypes, AccentShowsAsUtf8OnPosix) {
  testing::internal::CaptureStdout();
  list_file_types();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find(".PPT  Pr\xC3\xA9sentation Microsoft PowerPoint\r\n"), std::string::npos);
}
#endif

}  // namespace

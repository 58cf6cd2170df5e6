#include <gtest/gtest.h>

#include <string>

#include "record/record.h"

namespace {

TEST(ChooseExtension, EveryRowMatchesItsOwnDescription) {
  for (int row = 1; row < FILE_TYPE_ROWS - 1; ++row) {
    const FileTypeRow& entry = FileTypeTable[row];
    const char* chosen = choose_extension("Name", entry.description, 0);
    // An earlier row with a shorter description may match first.
    int first = row;
    for (int earlier = 1; earlier < row; ++earlier) {
      std::string prefix = FileTypeTable[earlier].description;
      if (std::string(entry.description).compare(0, prefix.size(), prefix) == 0) {
        first = earlier;
        break;
      }
    }
    EXPECT_STREQ(chosen, FileTypeTable[first].extension) << entry.description;
  }
}

TEST(ChooseExtension, Rules) {
  struct Row {
    const char* name;
    const char* type;
    int txt_extension;
    const char* expected;
  };
  const Row rows[] = {
      {"N", "Microsoft Word 6.0 Document", 0, ".DOC"},
      {"N", "microsoft powerpoint presentation", 0, ".PPT"},
      {"N", "MICROSOFT EXCEL WORKSHEET", 0, ".XLS"},
      {"N", "mIcRoSoFt ExCeL", 0, ".XLS"},
      {"N", "Pr\xE9sentation Microsoft PowerPoint", 0, ".PPT"},
      {"N", "PR\xE9SENTATION MICROSOFT POWERPOINT", 0, ".PPT"},
      {"N", "Pr\xC9sentation Microsoft PowerPoint", 0, ".RQD"},
      {"N", "Presentation Microsoft PowerPoint", 0, ".RQD"},
      {"N", "Feuille de calcul Microsoft Office Exce", 0, ".XLS"},
      {"N", "Feuille de calcul Microsoft Office Excel", 0, ".XLS"},
      {"N", "Feuille de calcul Microsoft Office Ex", 0, ".RQD"},
      {"N", "Microsoft Wor", 0, ".RQD"},
      {"N", "E-mail Message", 0, ".MSG"},
      {"N", "Adobe Acrobat Document", 0, ".PDF_OLE"},
      {"N", "Bitmap Image", 1, ".BMP_OLE"},
      {"N", "VISIO 2003", 0, ".VSD"},
      {"N", "(Default)", 0, ".RQD"},
      {"N", "(Default)", 1, ".TXT"},
      {"N", "", 0, ".RQD"},
      {"N", "", 1, ".TXT"},
      {"N", ".pdf", 0, ".pdf"},
      {"N", ".", 0, "."},
      {"N", " .pdf", 0, ".RQD"},
      {"a.bcd", "Package", 0, ".RQD"},
      {"a.bcd", ".pdf", 1, ".TXT"},
      {"a.bc", "Package", 0, ".PKG"},
      {".abc", "Package", 0, ".RQD"},
      {"abc", "Package", 0, ".PKG"},
      {"x.abcd", "Package", 0, ".PKG"},
      {"x.ab", "Package", 0, ".PKG"},
  };
  for (const Row& row : rows) {
    EXPECT_STREQ(choose_extension(row.name, row.type, row.txt_extension), row.expected)
        << row.name << " / " << row.type;
  }
}

TEST(ChooseExtension, LeadingDotGivesTheDescriptionItself) {
  const char* type = ".docx";
  EXPECT_EQ(choose_extension("Name", type, 0), type);
}

}  // namespace

#include <cstdio>

#include "platform/platform.h"
#include "record/record.h"

const FileTypeRow FileTypeTable[FILE_TYPE_ROWS] = {
    {"(Default)", ".RQD"},
    {"Microsoft Word 6.0 Document", ".DOC"},
    {"Microsoft Word Document", ".DOC"},
    {"Microsoft Word", ".DOC"},
    {"Document Microsoft Word", ".DOC"},
    {"Microsoft PowerPoint Presentation", ".PPT"},
    {"Microsoft PowerPoint", ".PPT"},
    {"Pr\xE9sentation Microsoft PowerPoint", ".PPT"},
    {"Microsoft Excel Worksheet", ".XLS"},
    {"Microsoft Excel", ".XLS"},
    {"Feuille de calcul Microsoft Office Exce", ".XLS"},
    {"Email Message", ".MSG"},
    {"E-mail Message", ".MSG"},
    {"VISIO 5 Drawing", ".VSD"},
    {"VISIO", ".VSD"},
    {"Package", ".PKG"},
    {"Adobe Acrobat Document", ".PDF_OLE"},
    {"Microsoft Office Word Document", ".DOC"},
    {"Microsoft Office Excel Worksheet", ".XLS"},
    {"Microsoft Office Excel Chart", ".XLS"},
    {"Bitmap Image", ".BMP_OLE"},
    {"", ""},
};

// Descriptions are Windows-1252 text (row 7 holds 0xE9), shown in the
// console's own encoding.
void list_file_types() {
  fputs("Ext   File Type Definition From VRAX\r\n", stdout);
  fputs("===   ==============================\r\n", stdout);
  char console_text[128];
  for (int row = 0; FileTypeTable[row].extension[0] != '\0'; ++row) {
    printf("%-6s%s\r\n", FileTypeTable[row].extension,
           platform_console_text(FileTypeTable[row].description, console_text, sizeof console_text));
  }
  fflush(stdout);
}

// The sample library mkvrax writes by default.
#include <string>

#include "vrax_record.h"

static std::vector<uint8_t> text_bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Numbered lines of readable text, at least `size` bytes, cut to `size`.
static std::vector<uint8_t> long_text(const std::string& topic, size_t size) {
  std::string text;
  for (int line = 1; text.size() < size; line++)
    text += topic + ", paragraph " + std::to_string(line) +
            ": figures, terms and contacts as agreed at the last review.\r\n";
  text.resize(size);
  return text_bytes(text);
}

static VraxDocument document(const char* owner, int16_t contact, uint32_t autoinc, const char* name,
                             const char* type, uint8_t day, uint8_t month, uint16_t year) {
  VraxDocument d;
  d.owner_id = owner;
  d.contact_number = contact;
  d.autoinc_key = autoinc;
  d.document_name = name;
  d.type_description = type;
  d.day = day;
  d.month = month;
  d.year = year;
  d.hour = static_cast<uint8_t>(8 + autoinc % 10);
  d.minute = static_cast<uint8_t>((autoinc * 7) % 60);
  d.second = static_cast<uint8_t>((autoinc * 13) % 60);
  return d;
}

// An RQD document: its fixed header, then its text.
static std::vector<uint8_t> rqd_body(const std::string& text) {
  std::vector<uint8_t> body(VRAX_RQD_HEADER_SIZE, 0);
  const std::string title = "RQD NOTE";
  for (size_t i = 0; i < title.size(); i++) body[i] = static_cast<uint8_t>(title[i]);
  body.insert(body.end(), text.begin(), text.end());
  return body;
}

// The 76-byte header of a shell link, enough to be told from other bytes.
static std::vector<uint8_t> shortcut_image() {
  std::vector<uint8_t> image(76, 0);
  const uint8_t start[] = {0x4C, 0, 0, 0, 0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  for (size_t i = 0; i < sizeof start; i++) image[i] = start[i];
  return image;
}

std::vector<VraxDocument> vrax_sample_documents() {
  std::vector<VraxDocument> docs;
  docs.push_back(document("ACME0001", 1, 1, "Quarterly Letter", "Microsoft Word Document", 3, 3, 2014));
  docs.back().body = long_text("Dear customer, our quarterly letter", 4000);
  docs.push_back(document("ACME0001", 2, 2, "Budget 2015", "Microsoft Excel Worksheet", 28, 2, 2015));
  docs.back().body = long_text("Budget line", 9000);
  docs.push_back(document("BLUEFIN22", 0, 3, "Product Brochure", "Adobe Acrobat Document", 1, 12, 2013));
  docs.back().body = long_text("Product brochure", 230000);
  docs.push_back(document("BLUEFIN22", -1, 4, "Price List", ".pdf", 17, 6, 2016));
  docs.back().body = text_bytes("%PDF-1.4\n% price list\n1 0 obj << /Type /Catalog >> endobj\n%%EOF\n");
  docs.push_back(document("CEDAR-HOLDINGS", 7, 5, "Install Kit", "Package", 9, 9, 2009));
  docs.back().body = long_text("Package contents", 1500);
  docs.push_back(document("CEDAR-HOLDINGS", 7, 6, "Call Notes", "Contact Note", 31, 10, 2012));
  docs.back().body = rqd_body("Called about the renewal. Follow up next week.\r\n");
  docs.push_back(document("CEDAR-HOLDINGS", 12, 7, "Old Memo", "Microsoft Word 6.0 Document", 5, 5, 1999));
  docs.back().body = long_text("Memo", 700);
  docs.push_back(document("ACME0001", 3, 8, "Site Map", "Microsoft Word Document", 14, 2, 2011));
  docs.back().link_short_path = "C:\\DOCS\\MAP.DOC";
  docs.back().link_long_path = u"C:\\Documents\\Site Map.doc";
  docs.back().shortcut_image = shortcut_image();
  return docs;
}

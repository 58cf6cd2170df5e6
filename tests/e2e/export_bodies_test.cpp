#include "export_fixture.h"

namespace {

// Record lengths around the 57000-byte buffer and its pieces.
const uint32_t record_lengths[] = {0, 57000, 57001, 114000, 200000, 5000000};

void expect_bodies_exported(bool version8) {
  const uint32_t body_offset = vrax_body_offset(version8);
  TempDir dir;
  std::vector<VraxDocument> documents;
  for (uint32_t length : record_lengths) {
    uint32_t record_length = length == 0 ? body_offset : length;
    documents.push_back(anna_document("L" + std::to_string(record_length), "Package",
                                      pattern_bytes(record_length - body_offset, record_length)));
    ASSERT_EQ(build_vrax_record(documents.back(), version8).size(), record_length);
  }
  ASSERT_TRUE(write_documents(dir.file("lib.dat"), documents, version8));
  std::vector<std::string> options;
  if (version8) options.push_back("/V8");
  ProgramResult result = run_docvane(dir, options);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_NE(result.out.find("Created 6 files from 6 Records.\n"), std::string::npos) << result.out << result.err;
  for (const VraxDocument& document : documents) {
    std::string name = "ANNA-" + document.document_name + ".PKG";
    std::vector<uint8_t> exported = read_file_bytes(dir.file(name));
    EXPECT_EQ(exported.size(), document.body.size()) << name;
    EXPECT_TRUE(exported == document.body) << name;
  }
}

TEST(ExportBodies, StandardLayout) { expect_bodies_exported(false); }

TEST(ExportBodies, Version8Layout) { expect_bodies_exported(true); }

}  // namespace

// VRAX records as the record builder lays them out, whole libraries written
// with it, and the mkvrax command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "mkvrax/vrax_record.h"
#include "roundtrip_helpers.h"
#include "support/test_support.h"

namespace {

uint32_t u32_at(const std::vector<uint8_t>& r, size_t offset) {
  return r[offset] | r[offset + 1] << 8 | r[offset + 2] << 16 | static_cast<uint32_t>(r[offset + 3]) << 24;
}

std::string text_at(const std::vector<uint8_t>& r, size_t offset) {
  return std::string(reinterpret_cast<const char*>(r.data() + offset));
}

VraxDocument full_document() {
  VraxDocument d;
  d.owner_id = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  d.contact_number = -1;
  d.autoinc_key = 0xFFFFFFFFu;
  d.document_name = "Letter";
  d.type_description = "Microsoft Word Document";
  d.day = 15;
  d.month = 1;
  d.year = 2015;
  d.fraction = 5;
  d.second = 30;
  d.minute = 45;
  d.hour = 13;
  d.body = pattern_bytes(5000, 3);
  return d;
}

struct LayoutCase {
  bool version8;
  size_t name_offset, body_offset, link_offset;
};
const LayoutCase kLayouts[] = {{false, 54, 178, 2272}, {true, 178, 434, 2528}};

TEST(VraxRecord, FieldsLieAtTheLayoutsOffsets) {
  for (const LayoutCase& layout : kLayouts) {
    SCOPED_TRACE(layout.version8 ? "version 8" : "standard");
    VraxDocument d = full_document();
    std::vector<uint8_t> r = build_vrax_record(d, layout.version8);
    ASSERT_EQ(r.size(), layout.body_offset + d.body.size());
    EXPECT_EQ(std::string(r.begin() + 20, r.begin() + 42), "ABCDEFGHIJKLMNOPQRSTUV");
    EXPECT_EQ(r[42], 0);
    EXPECT_EQ(r[44], 0xFF);
    EXPECT_EQ(r[45], 0xFF);
    EXPECT_EQ(u32_at(r, 50), 0xFFFFFFFFu);
    EXPECT_EQ(text_at(r, layout.name_offset), "Letter");
    EXPECT_EQ(std::vector<uint8_t>(r.begin() + 90, r.begin() + 98),
              (std::vector<uint8_t>{0x0F, 0x01, 0xDF, 0x07, 0x05, 0x1E, 0x2D, 0x0D}));
    EXPECT_EQ(text_at(r, 98), "Microsoft Word Document");
    EXPECT_TRUE(std::equal(d.body.begin(), d.body.end(), r.begin() + layout.body_offset));
  }
}

TEST(VraxRecord, TextsLongerThanTheirFieldKeepTheirNulInside) {
  for (const LayoutCase& layout : kLayouts) {
    SCOPED_TRACE(layout.version8 ? "version 8" : "standard");
    VraxDocument d = full_document();
    d.document_name = std::string(300, 'n');
    d.type_description = std::string(100, 't');
    std::vector<uint8_t> r = build_vrax_record(d, layout.version8);
    size_t name_width = (layout.version8 ? 434 : 90) - layout.name_offset;
    EXPECT_EQ(text_at(r, layout.name_offset), std::string(name_width - 1, 'n'));
    EXPECT_EQ(text_at(r, 98), std::string(79, 't'));
    EXPECT_EQ(r[90], 0x0F) << "the date stays whole";
  }
}

TEST(VraxRecord, LinkRecordCarriesItsBlock) {
  for (const LayoutCase& layout : kLayouts) {
    SCOPED_TRACE(layout.version8 ? "version 8" : "standard");
    VraxDocument d = full_document();
    d.link_short_path = "C:\\A\\B.DO";  // 9 characters: S = 10 with the NUL
    d.link_long_path = u"C:\\Doc\\\u00e9t\u00e9";  // 10 code units: N = 20
    d.shortcut_image = pattern_bytes(100, 9);
    d.shortcut_image[0] = 0x4C;
    std::vector<uint8_t> r = build_vrax_record(d, layout.version8);
    size_t block = layout.link_offset;
    ASSERT_EQ(r.size(), block + 174);
    EXPECT_TRUE(std::all_of(r.begin() + layout.body_offset, r.begin() + block, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(u32_at(r, block), 10u);
    EXPECT_EQ(std::string(r.begin() + block + 4, r.begin() + block + 14), std::string("C:\\A\\B.DO\0", 10));
    EXPECT_EQ(u32_at(r, block + 42), 20u);
    EXPECT_EQ(r[block + 48], 'C');
    EXPECT_EQ(r[block + 49], 0);
    EXPECT_EQ(r[block + 66], 0xE9);
    EXPECT_EQ(r[block + 67], 0x00);
    EXPECT_EQ(u32_at(r, block + 68), 100u);
    EXPECT_TRUE(std::equal(d.shortcut_image.begin(), d.shortcut_image.end(), r.begin() + block + 74));
  }
}

// Every record of a library, in order, read back whole.
std::vector<std::vector<uint8_t>> read_library(const std::string& path) {
  RtFile file(path);
  EXPECT_EQ(file.status, 0);
  Walk walk = walk_file(file.block, RT_BUFFER, 0);
  EXPECT_EQ(walk.other_statuses, std::vector<int16_t>{STATUS_EOF});
  std::vector<std::vector<uint8_t>> records;
  for (const WalkedRecord& record : walk.records) {
    ChunkResult whole = read_whole_record(file.block, record.address, RT_BUFFER);
    EXPECT_EQ(whole.status, 0);
    records.push_back(whole.data);
  }
  return records;
}

TEST(VraxLibrary, SampleDocumentsComeBackAsBuilt) {
  std::vector<VraxDocument> docs = vrax_sample_documents();
  for (bool version8 : {false, true}) {
    SCOPED_TRACE(version8 ? "version 8" : "standard");
    TempDir dir;
    BtrieveWriterOptions o;
    o.fixed_length = static_cast<uint16_t>(vrax_body_offset(version8));
    ASSERT_EQ(write_vrax_library(dir.file("lib.dat"), docs, version8, o), 1);
    std::vector<std::vector<uint8_t>> records = read_library(dir.file("lib.dat"));
    ASSERT_EQ(records.size(), docs.size());
    for (size_t i = 0; i < docs.size(); i++) EXPECT_EQ(records[i], build_vrax_record(docs[i], version8));
  }
}

TEST(VraxLibrary, SampleSetCoversTheCasesAnExportMeets) {
  std::vector<VraxDocument> docs = vrax_sample_documents();
  auto count = [&](auto predicate) { return std::count_if(docs.begin(), docs.end(), predicate); };
  EXPECT_EQ(count([](const VraxDocument& d) { return !d.link_short_path.empty(); }), 1);
  EXPECT_GE(count([](const VraxDocument& d) { return d.body.size() > 200 * 1024; }), 1);
  EXPECT_GE(count([](const VraxDocument& d) { return d.type_description.rfind('.', 0) == 0; }), 1);
  EXPECT_GE(count([](const VraxDocument& d) { return d.body.size() > VRAX_RQD_HEADER_SIZE &&
                                                     d.type_description == "Contact Note"; }), 1);
  std::vector<std::string> owners;
  for (const VraxDocument& d : docs) owners.push_back(d.owner_id);
  std::sort(owners.begin(), owners.end());
  EXPECT_GE(std::unique(owners.begin(), owners.end()) - owners.begin(), 3);
}

TEST(Mkvrax, WritesTheSampleLibrary) {
  TempDir dir;
  ProgramResult result = run_program(MKVRAX_BINARY, {"sample.dat"}, dir.path());
  ASSERT_EQ(result.exit_status, 0) << result.err;
  std::vector<std::vector<uint8_t>> records = read_library(dir.file("sample.dat"));
  std::vector<VraxDocument> docs = vrax_sample_documents();
  ASSERT_EQ(records.size(), docs.size());
  for (size_t i = 0; i < docs.size(); i++) EXPECT_EQ(records[i], build_vrax_record(docs[i], false));
}

TEST(Mkvrax, BulkLibraryHoldsPatternBodies) {
  TempDir dir;
  ProgramResult result = run_program(
      MKVRAX_BINARY, {"--documents", "3", "--size", "70000", "--version8", "--page-size", "1024", "bulk.dat"},
      dir.path());
  ASSERT_EQ(result.exit_status, 0) << result.err;
  std::vector<std::vector<uint8_t>> records = read_library(dir.file("bulk.dat"));
  ASSERT_EQ(records.size(), 3u);
  for (uint32_t i = 0; i < 3; i++) {
    SCOPED_TRACE(i);
    ASSERT_EQ(records[i].size(), 434u + 70000);
    EXPECT_EQ(text_at(records[i], 178), "DOC" + std::to_string(i + 1));
    bool body_ok = true;
    for (uint64_t p = 0; p < 70000; p++) body_ok = body_ok && records[i][434 + p] == vrax_bulk_body_byte(i, p);
    EXPECT_TRUE(body_ok);
  }
}

TEST(Mkvrax, BadArgumentsGiveUsageAndExitStatus1) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--documents", "3", "x.dat"},
      {"--size", "10", "x.dat"},
      {"--documents", "abc", "--size", "10", "x.dat"},
      {"--documents", "1", "--size"},
      {"--page-size", "1000", "x.dat"},
      {"--page-size", "8192", "x.dat"},
      {"--bogus", "x.dat"},
      {"a.dat", "b.dat"},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    TempDir dir;
    ProgramResult result = run_program(MKVRAX_BINARY, args, dir.path());
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_NE(result.err.find("usage: mkvrax"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.dat")));
  }
}

TEST(Mkvrax, UnwritableOutputIsAnError) {
  TempDir dir;
  ProgramResult result = run_program(MKVRAX_BINARY, {dir.file("missing/out.dat")}, dir.path());
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_NE(result.err.find("could not write"), std::string::npos);
}

}  // namespace

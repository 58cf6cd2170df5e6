// Two records that compose the same export name in one run get two files.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "output/output.h"
#include "platform/platform.h"
#include "record/record.h"

namespace {

struct Claim {
  const char* name;
  size_t extension_start;
  const char* expected;
};

// Claims a name in a fresh export_path buffer and returns what is left there.
std::string claim(ExportNameRegistry* registry, const std::string& name, size_t extension_start) {
  char export_path[EXPORT_PATH_SIZE];
  EXPECT_LT(name.size(), sizeof export_path);
  std::memset(export_path, 0, sizeof export_path);
  std::memcpy(export_path, name.c_str(), name.size() + 1);
  claim_export_name(registry, export_path, extension_start);
  return export_path;
}

class ExportNameRegistryTest : public testing::Test {
 protected:
  void SetUp() override { registry_ = create_export_name_registry(); ASSERT_NE(registry_, nullptr); }
  void TearDown() override { destroy_export_name_registry(registry_); }
  ExportNameRegistry* registry_ = nullptr;
};

TEST(ExportNameRegistry, RunsOfClaims) {
  struct Run {
    const char* what;
    std::vector<Claim> claims;
  };
  const Run runs[] = {
      {"same name twice", {{"A.DOC", 1, "A.DOC"}, {"A.DOC", 1, "A(2).DOC"}}},
      {"three times", {{"A.DOC", 1, "A.DOC"}, {"A.DOC", 1, "A(2).DOC"}, {"A.DOC", 1, "A(3).DOC"}}},
      {"case differs",
       {{"anna-letter.doc", 11, "anna-letter.doc"}, {"ANNA-Letter.DOC", 11, "ANNA-Letter(2).DOC"}}},
      {"link suffix stays after the extension", {{"X.DOC.LINK", 1, "X.DOC.LINK"}, {"X.DOC.LINK", 1, "X(2).DOC.LINK"}}},
      {"a real record already has the (2) name",
       {{"A(2).DOC", 4, "A(2).DOC"}, {"A.DOC", 1, "A.DOC"}, {"a.doc", 1, "a(3).doc"}}},
      {"a real record comes after the generated name",
       {{"A.DOC", 1, "A.DOC"}, {"A.DOC", 1, "A(2).DOC"}, {"A(2).DOC", 4, "A(2)(2).DOC"}}},
      {"different names stay", {{"A.DOC", 1, "A.DOC"}, {"B.DOC", 1, "B.DOC"}, {"A.TXT", 1, "A.TXT"}}},
      {"no extension", {{"README", 6, "README"}, {"README", 6, "README(2)"}}},
      {"extension start past the end", {{"NOTE", 4, "NOTE"}, {"NOTE", 99, "NOTE(2)"}}},
  };
  for (const Run& run : runs) {
    ExportNameRegistry* registry = create_export_name_registry();
    ASSERT_NE(registry, nullptr);
    for (const Claim& c : run.claims) EXPECT_EQ(claim(registry, c.name, c.extension_start), c.expected) << run.what;
    destroy_export_name_registry(registry);
  }
}

TEST_F(ExportNameRegistryTest, LongNameIsShortenedBeforeTheNumber) {
  const std::string stem(EXPORT_NAME_MAX - 4, 'N');
  const std::string name = stem + ".DOC";
  ASSERT_EQ(name.size(), EXPORT_NAME_MAX);
  EXPECT_EQ(claim(registry_, name, stem.size()), name);
  EXPECT_EQ(claim(registry_, name, stem.size()), stem.substr(0, stem.size() - 3) + "(2).DOC");
  EXPECT_EQ(claim(registry_, name, stem.size()), stem.substr(0, stem.size() - 3) + "(3).DOC");
}

TEST_F(ExportNameRegistryTest, NameIsShortenedToFitOnDiskInUtf8) {
  // 125 times e-acute takes 250 bytes on disk; with ".DOC" 254.
  const std::string stem(125, '\xE9');
  const std::string name = stem + ".DOC";
  ASSERT_EQ(platform_name_length(name.c_str()), 254u);
  EXPECT_EQ(claim(registry_, name, stem.size()), name);
  const std::string second = claim(registry_, name, stem.size());
  EXPECT_EQ(second, std::string(124, '\xE9') + "(2).DOC");
  EXPECT_EQ(platform_name_length(second.c_str()), EXPORT_NAME_MAX);
}

TEST_F(ExportNameRegistryTest, ManyNamesStayApartAsTheTableGrows) {
  std::set<std::string> seen;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 5000; ++i) {
      const std::string stem = "ANNA-" + std::to_string(i);
      const std::string got = claim(registry_, stem + ".DOC", stem.size());
      EXPECT_EQ(got, round == 0 ? stem + ".DOC" : stem + "(2).DOC");
      EXPECT_TRUE(seen.insert(got).second) << got;
    }
  }
}

TEST(ExportNameRegistry, WithoutARegistryNamesAreLeftAlone) {
  EXPECT_EQ(claim(nullptr, "A.DOC", 1), "A.DOC");
  EXPECT_EQ(claim(nullptr, "A.DOC", 1), "A.DOC");
}

}  // namespace

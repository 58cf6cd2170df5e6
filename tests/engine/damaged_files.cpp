// Damaged copies of the samples, made in memory: each damage gives a
// defined status (30 at open, or 2 at the Step that meets it), the records
// before it still come back, and stepping on after a 2 reaches the rest.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "reader_helpers.h"

namespace {

constexpr uint32_t LARGE_BUFFER = 65536;
constexpr size_t ANY = static_cast<size_t>(-1);

using Damage = std::function<void(std::vector<uint8_t>&, const Manifest&)>;

struct DamageCase {
  const char* what;
  const char* sample;
  Damage damage;
  int16_t open_status;
  // Manifest records that must not come back, given as a function of the
  // manifest (ANY in `twos` when the exact damage cannot be told in advance).
  std::function<std::set<size_t>(const Manifest&)> missing;
  // How many Steps give 2 while walking on to the end (ANY: at least one).
  std::function<size_t(const Manifest&)> twos;
};

std::function<size_t(const Manifest&)> exactly(size_t count) {
  return [count](const Manifest&) { return count; };
}

size_t data_pages_of(const Manifest& manifest, uint32_t page_size) {
  std::set<uint32_t> pages;
  for (const ManifestRecord& record : manifest.records) pages.insert(record.address / page_size);
  return pages.size();
}

void put_u16(std::vector<uint8_t>& bytes, uint64_t at, uint32_t value) {
  bytes.at(at) = static_cast<uint8_t>(value);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

void put_v6_pointer(std::vector<uint8_t>& bytes, uint64_t at, uint32_t logical, uint8_t fragment) {
  bytes.at(at) = static_cast<uint8_t>(logical >> 16);
  bytes.at(at + 1) = static_cast<uint8_t>(logical);
  bytes.at(at + 2) = static_cast<uint8_t>(logical >> 8);
  bytes.at(at + 3) = fragment;
}

// WGSMENU2.DAT: fixed part 448 bytes after the 2-byte usage count.
uint64_t tail_pointer_at(const std::vector<uint8_t>& bytes, uint32_t address) {
  return v6_address_offset(bytes, address) + 2 + 448;
}

uint64_t first_fragment_at(const std::vector<uint8_t>& bytes, uint32_t address) {
  return v6_fragment_offset(bytes, &bytes.at(tail_pointer_at(bytes, address)));
}

// Offset of the directory entry of the first fragment of a record's tail.
uint64_t directory_entry_at(const std::vector<uint8_t>& bytes, uint32_t address) {
  const uint8_t* pointer = &bytes.at(tail_pointer_at(bytes, address));
  uint32_t logical = static_cast<uint32_t>(pointer[0]) << 16 | pointer[2] << 8 | pointer[1];
  return v6_page_offset(bytes, logical) + 4096 - 2 * (pointer[3] + 1);
}

// Index of the first WGSMENU2 record with a tail, and of a later one.
size_t tailed_record(const Manifest& manifest, size_t after = 0) {
  for (size_t i = after; i < manifest.records.size(); ++i) {
    if (manifest.records[i].length > 448) return i;
  }
  ADD_FAILURE() << "no record with a tail";
  return 0;
}

std::set<size_t> nothing(const Manifest&) { return {}; }
std::set<size_t> unknown(const Manifest&) { return {ANY}; }

std::set<size_t> records_on_page_of(const Manifest& manifest, size_t index, uint32_t page_size) {
  std::set<size_t> on_page;
  for (size_t i = 0; i < manifest.records.size(); ++i) {
    if (manifest.records[i].address / page_size == manifest.records[index].address / page_size) on_page.insert(i);
  }
  return on_page;
}

Damage truncate_to(size_t length) {
  return [length](std::vector<uint8_t>& bytes, const Manifest&) { bytes.resize(std::min(length, bytes.size())); };
}

std::vector<DamageCase> damage_cases() {
  const uint32_t page = 4096;
  return {
      {"empty file", "WGSMENU2.DAT", truncate_to(0), 30, nothing, exactly(0)},
      {"cut inside the control record", "WGSMENU2.DAT", truncate_to(100), 30, nothing, exactly(0)},
      {"only the control records", "WGSMENU2.DAT", truncate_to(2 * page), 30, nothing, exactly(0)},
      {"cut before the data pages", "WGSMENU2.DAT", truncate_to(5 * page), 0, unknown, exactly(ANY)},
      {"cut in the middle", "WGSMENU2.DAT", truncate_to(12 * page + 100), 0, unknown, exactly(ANY)},
      {"cut inside the last page", "VARIABLE.DAT", truncate_to(591872 - 100), 0, unknown, exactly(ANY)},
      {"cut in the middle of a 5.x file", "VARIABLE.DAT", truncate_to(300000), 0, unknown, exactly(ANY)},
      {"junk pages after the last mapped page cut off", "GALTELA.DAT", truncate_to(143360 - 4 * page), 0, nothing,
       exactly(0)},
      {"page size 0", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest&) {
         put_u16(b, 0x08, 0);
         put_u16(b, 4096 + 0x08, 0);
       },
       30, nothing, exactly(0)},
      {"5.x page size 0", "VARIABLE.DAT", [](std::vector<uint8_t>& b, const Manifest&) { put_u16(b, 0x08, 0); }, 30,
       nothing, exactly(0)},
      {"bogus record count", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest&) {
         put_u16(b, 4096 + 0x1A, 0x7FFF);
         put_u16(b, 4096 + 0x1C, 3);
       },
       0, nothing, exactly(0)},
      {"fragment pointing at itself", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         uint32_t address = m.records[tailed_record(m)].address;
         uint64_t pointer = tail_pointer_at(b, address);
         uint64_t fragment = first_fragment_at(b, address);
         std::copy(b.begin() + pointer, b.begin() + pointer + 4, b.begin() + fragment);
       },
       0, [](const Manifest& m) { return std::set<size_t>{tailed_record(m)}; }, exactly(1)},
      {"two fragments pointing at each other", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         size_t first = tailed_record(m);
         size_t second = tailed_record(m, first + 1);
         uint64_t pointer_a = tail_pointer_at(b, m.records[first].address);
         uint64_t pointer_b = tail_pointer_at(b, m.records[second].address);
         uint64_t fragment_a = first_fragment_at(b, m.records[first].address);
         uint64_t fragment_b = first_fragment_at(b, m.records[second].address);
         std::copy(b.begin() + pointer_b, b.begin() + pointer_b + 4, b.begin() + fragment_a);
         std::copy(b.begin() + pointer_a, b.begin() + pointer_a + 4, b.begin() + fragment_b);
       },
       0,
       [](const Manifest& m) {
         size_t first = tailed_record(m);
         return std::set<size_t>{first, tailed_record(m, first + 1)};
       },
       exactly(2)},
      {"tail pointer past the file's end", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         put_v6_pointer(b, tail_pointer_at(b, m.records[tailed_record(m)].address), 0x7FFFFF, 0);
       },
       0, [](const Manifest& m) { return std::set<size_t>{tailed_record(m)}; }, exactly(1)},
      {"tail pointer to a data page", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         put_v6_pointer(b, tail_pointer_at(b, m.records[tailed_record(m)].address), m.records[0].address / 4096, 0);
       },
       0, [](const Manifest& m) { return std::set<size_t>{tailed_record(m)}; }, exactly(1)},
      {"fragment number beyond the directory", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         b.at(tail_pointer_at(b, m.records[tailed_record(m)].address) + 3) = 200;
       },
       0, [](const Manifest& m) { return std::set<size_t>{tailed_record(m)}; }, exactly(1)},
      {"directory entry beyond the page", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         put_u16(b, directory_entry_at(b, m.records[tailed_record(m)].address), 0x7FF0);
       },
       0, [](const Manifest& m) { return std::set<size_t>{tailed_record(m)}; }, exactly(1)},
      {"directory entry inside the page header", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         put_u16(b, directory_entry_at(b, m.records[tailed_record(m)].address), 4);
       },
       0, [](const Manifest& m) { return std::set<size_t>{tailed_record(m)}; }, exactly(1)},
      {"directory entry marked unused", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         put_u16(b, directory_entry_at(b, m.records[tailed_record(m)].address), 0xFFFF);
       },
       0, [](const Manifest& m) { return std::set<size_t>{tailed_record(m)}; }, exactly(1)},
      {"table entry past the file's end", "WGSMENU2.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         uint64_t entry = v6_pat_entry_offset(b, m.records[0].address / 4096);
         b.at(entry) = 0x7F;
         b.at(entry + 2) = 0xFF;
         b.at(entry + 3) = 0xFF;
       },
       0, [](const Manifest& m) { return records_on_page_of(m, 0, 4096); }, exactly(1)},
      {"data page header names another page", "GALTELA.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         b.at(v6_page_offset(b, m.records[0].address / 4096) + 2) ^= 0x40;
       },
       0, [](const Manifest& m) { return records_on_page_of(m, 0, 4096); }, exactly(1)},
      {"both table copies spoiled", "GALTELA.DAT",
       [](std::vector<uint8_t>& b, const Manifest&) {
         b.at(2 * 4096) = 'X';
         b.at(3 * 4096) = 'X';
       },
       0,
       [](const Manifest& m) {
         std::set<size_t> all;
         for (size_t i = 0; i < m.records.size(); ++i) all.insert(i);
         return all;
       },
       exactly(1)},
      {"5.x tail pointer past the file's end", "VARIABLE.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         put_v6_pointer(b, m.records[1].address + 8, 0x7FFFFF, 0);
       },
       0, [](const Manifest&) { return std::set<size_t>{1}; }, exactly(1)},
      {"5.x deleted chain in a loop", "VARIABLE.DAT",
       [](std::vector<uint8_t>& b, const Manifest& m) {
         uint32_t address = m.records[0].address;
         // Word-swapped file offsets: the head and the slot name the slot itself.
         for (uint64_t at : {uint64_t{0x10}, uint64_t{address}}) {
           put_u16(b, at, address >> 16);
           put_u16(b, at + 2, address & 0xFFFF);
         }
       },
       0,
       [](const Manifest& m) {
         std::set<size_t> all;
         for (size_t i = 0; i < m.records.size(); ++i) all.insert(i);
         return all;
       },
       // Every data page meets the damaged chain.
       [](const Manifest& m) { return data_pages_of(m, 512); }},
  };
}

TEST(DamagedFiles, EachDamageGivesADefinedStatusAndTheOtherRecordsStillComeBack) {
  for (const DamageCase& c : damage_cases()) {
    SCOPED_TRACE(c.what);
    Manifest manifest = load_manifest(c.sample);
    std::vector<uint8_t> bytes = load_sample(c.sample);
    c.damage(bytes, manifest);
    PositionBlock block;
    ASSERT_EQ(open_bytes(block, bytes), c.open_status);
    if (c.open_status != 0) continue;
    Walk walk = walk_file(block, LARGE_BUFFER, 1, 10000);
    close_file(block);
    ASSERT_FALSE(walk.other_statuses.empty());
    EXPECT_EQ(walk.other_statuses.back(), 9) << "stepping on after damage reaches the end";
    size_t twos = walk.other_statuses.size() - 1;
    for (size_t i = 0; i + 1 < walk.other_statuses.size(); ++i) EXPECT_EQ(walk.other_statuses[i], 2);
    // Whatever comes back is a manifest record, whole and in order.
    size_t next = 0;
    std::set<size_t> returned;
    for (const WalkedRecord& record : walk.records) {
      while (next < manifest.records.size() && manifest.records[next].address != record.address) ++next;
      ASSERT_LT(next, manifest.records.size()) << "unexpected or out-of-order record " << record.address;
      EXPECT_EQ(record.status, 0);
      EXPECT_EQ(sha_of(record.data), manifest.records[next].sha256);
      returned.insert(next++);
    }
    std::set<size_t> missing = c.missing(manifest);
    if (c.twos(manifest) == ANY) {
      EXPECT_GE(twos, 1u) << "the damage was met";
      continue;
    }
    EXPECT_EQ(twos, c.twos(manifest));
    for (size_t i = 0; i < manifest.records.size(); ++i) {
      EXPECT_EQ(returned.count(i), missing.count(i) ? 0u : 1u) << "record " << i;
    }
  }
}

TEST(DamagedFiles, ChunkReadsOfADamagedChainGive2) {
  Manifest manifest = load_manifest("WGSMENU2.DAT");
  std::vector<uint8_t> bytes = load_sample("WGSMENU2.DAT");
  uint32_t address = manifest.records[tailed_record(manifest)].address;
  put_v6_pointer(bytes, tail_pointer_at(bytes, address), 0x7FFFFF, 0);
  PositionBlock block;
  ASSERT_EQ(open_bytes(block, bytes), 0);
  EXPECT_EQ(read_chunk(block, address, 0, 448, 1000).status, 0) << "the fixed part is intact";
  EXPECT_EQ(read_chunk(block, address, 0, 1000, 1000).status, 2);
  EXPECT_EQ(read_chunk(block, address, 449, 10, 1000).status, 2);
  close_file(block);
}

}  // namespace

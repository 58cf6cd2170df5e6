// Helpers of the reader tests: reading the sample manifests and finding
// things inside sample files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine_calls.h"

struct ManifestRecord {
  uint32_t address = 0;
  uint64_t length = 0;
  std::string sha256;
};

struct Manifest {
  std::string name;  // the data file's name, e.g. "WGSMENU2.DAT"
  std::vector<ManifestRecord> records;
};

// Every sample with a manifest; fails the test when there are none.
std::vector<std::string> sample_names();
std::string sample_path(const std::string& name);
Manifest load_manifest(const std::string& name);
std::vector<uint8_t> load_sample(const std::string& name);

// 6.x sample surgery: the file offset of a logical page through the current
// page-allocation table (first table only), and of a tail fragment.
uint64_t v6_pat_entry_offset(const std::vector<uint8_t>& file, uint32_t logical);
uint64_t v6_page_offset(const std::vector<uint8_t>& file, uint32_t logical);
uint64_t v6_fragment_offset(const std::vector<uint8_t>& file, const uint8_t* pointer);
uint64_t v6_address_offset(const std::vector<uint8_t>& file, uint32_t address);

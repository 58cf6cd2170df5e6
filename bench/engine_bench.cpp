// Engine benchmark: steps through a 1 GB library of 200 KB records the way
// DOCVANE does (Step with a 57000-byte buffer, then Get Position and
// 57000-byte chunks for each long record) and compares the time with a plain
// `cat` of the same file. Prints figures; run by hand (see README).
//
//   engine_bench [FILE]   FILE is reused when it exists, written otherwise;
//                         without FILE a temporary one is written and removed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "mkvrax/vrax_record.h"

namespace fs = std::filesystem;

constexpr uint32_t BUFFER = 57000;
constexpr uint64_t BODY_SIZE = 200 * 1024;
constexpr uint64_t TARGET_BYTES = 1ull << 30;
constexpr int RUNS = 3;

struct ScanFigures {
  uint64_t records = 0;
  uint64_t long_records = 0;
  uint64_t bytes = 0;
  uint64_t checksum = 0;
  int16_t end_status = 0;
};

static double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

static int16_t call(uint16_t op, uint8_t* block, uint8_t* data, uint32_t* length, int8_t key_number) {
  uint8_t key[255] = {};
  return engine_call(op, block, data, length, key, sizeof key, key_number);
}

static uint64_t sum_bytes(const uint8_t* data, uint32_t length) {
  uint64_t sum = 0;
  for (uint32_t i = 0; i < length; i += 64) sum += data[i];
  return sum;
}

// The rest of a long record, fetched as DOCVANE does.
static void read_rest(uint8_t* block, uint8_t* buffer, ScanFigures* figures) {
  uint32_t length = BUFFER;
  if (call(22, block, buffer, &length, 0) != 0) return;
  uint32_t address = 0;
  std::memcpy(&address, buffer, 4);
  for (uint32_t offset = BUFFER;; offset += BUFFER) {
    const uint32_t descriptor[6] = {address, 0x80000000u, 1, offset, BUFFER, 0};
    std::memcpy(buffer, descriptor, sizeof descriptor);
    length = BUFFER;
    if (call(23, block, buffer, &length, -2) != 0) return;
    figures->bytes += length;
    figures->checksum += sum_bytes(buffer, length);
    if (length < BUFFER) return;
  }
}

static ScanFigures scan_with_engine(const std::string& path, std::vector<uint8_t>& buffer) {
  ScanFigures figures;
  uint8_t block[128] = {};
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path.c_str());
  uint32_t length = 0;
  figures.end_status = engine_call(0, block, buffer.data(), &length, key, 255, 0);
  if (figures.end_status != 0) return figures;
  for (uint16_t op = 33;; op = 24) {
    length = BUFFER;
    int16_t status = call(op, block, buffer.data(), &length, 0);
    if (status != 0 && status != 22) {
      figures.end_status = status;
      break;
    }
    figures.records++;
    figures.bytes += length;
    figures.checksum += sum_bytes(buffer.data(), length);
    if (status == 22) {
      figures.long_records++;
      read_rest(block, buffer.data(), &figures);
    }
  }
  length = 0;
  call(1, block, buffer.data(), &length, 0);
  return figures;
}

static double time_cat(const std::string& path) {
  std::string command = "cat '" + path + "' > /dev/null";
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "engine_bench: cat failed\n");
  return seconds_since(start);
}

static long peak_memory_kb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

static int make_library(const std::string& path) {
  uint32_t count = static_cast<uint32_t>(TARGET_BYTES / (vrax_body_offset(false) + BODY_SIZE));
  BtrieveWriterOptions options;
  options.page_size = 4096;
  options.fixed_length = static_cast<uint16_t>(vrax_body_offset(false));
  std::printf("writing %u records of %llu body bytes to %s\n", count, static_cast<unsigned long long>(BODY_SIZE),
              path.c_str());
  auto start = std::chrono::steady_clock::now();
  if (!write_vrax_bulk_library(path, count, BODY_SIZE, false, options)) return 0;
  double seconds = seconds_since(start);
  std::printf("written in %.2f s (%.0f MB/s)\n", seconds, fs::file_size(path) / 1e6 / seconds);
  return 1;
}

int main(int argc, char** argv) {
  fs::path temp_dir;
  std::string path;
  if (argc > 1) {
    path = argv[1];
  } else {
    temp_dir = fs::temp_directory_path() / "docvane-engine-bench";
    fs::create_directories(temp_dir);
    path = (temp_dir / "bench.dat").string();
  }
  if (!fs::exists(path) && !make_library(path)) {
    std::fprintf(stderr, "engine_bench: could not write %s\n", path.c_str());
    return 1;
  }
  std::printf("file: %s, %.1f MB\n", path.c_str(), fs::file_size(path) / 1e6);
  std::vector<uint8_t> buffer(BUFFER);
  time_cat(path);  // warm-up: the timings below read from the page cache
  // The machine is shared: take the best of a few interleaved runs of each.
  double cat_seconds = 1e9, engine_seconds = 1e9;
  ScanFigures figures;
  for (int run = 0; run < RUNS; run++) {
    cat_seconds = std::min(cat_seconds, time_cat(path));
    auto start = std::chrono::steady_clock::now();
    figures = scan_with_engine(path, buffer);
    engine_seconds = std::min(engine_seconds, seconds_since(start));
  }
  std::printf("engine scan: %llu records (%llu long), %.1f MB of record bytes, end status %d, checksum %llu\n",
              static_cast<unsigned long long>(figures.records), static_cast<unsigned long long>(figures.long_records),
              figures.bytes / 1e6, figures.end_status, static_cast<unsigned long long>(figures.checksum));
  std::printf("engine scan time: %.3f s (best of %d)\n", engine_seconds, RUNS);
  std::printf("cat time:         %.3f s (best of %d)\n", cat_seconds, RUNS);
  std::printf("ratio engine/cat: %.2f (target <= 1.3)\n", engine_seconds / cat_seconds);
  std::printf("peak memory (VmHWM): %ld kB (target < 8192 kB)\n", peak_memory_kb());
  if (!temp_dir.empty()) fs::remove_all(temp_dir);
  return figures.end_status == 9 ? 0 : 1;
}

// Helpers shared by the test programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct ProgramResult {
  std::string out;
  std::string err;
  int exit_status = -1;
};

// Runs `program` with `args` in folder `cwd`, standard input empty, and
// returns its two streams and exit status.
ProgramResult run_program(const std::string& program, const std::vector<std::string>& args,
                          const std::string& cwd);
// The same with extra environment variables for the program, each given as
// "NAME=value" (for example "TZ=UTC").
ProgramResult run_program(const std::string& program, const std::vector<std::string>& args,
                          const std::string& cwd, const std::vector<std::string>& environment);

std::vector<uint8_t> read_file_bytes(const std::string& path);
std::string read_file_text(const std::string& path);
void write_file_bytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Folder of the real Btrieve sample files; fails the test when it is absent.
std::string samples_dir();

// SHA-256 of a byte string, as lower-case hex.
std::string sha256_hex(const uint8_t* data, size_t length);

// A deterministic byte pattern of `length` bytes, different for each seed.
std::vector<uint8_t> pattern_bytes(size_t length, uint32_t seed);

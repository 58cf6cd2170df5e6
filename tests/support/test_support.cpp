#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::mt19937_64 rng(std::random_device{}());
  for (;;) {
    fs::path candidate = fs::temp_directory_path() / ("docvane-test-" + std::to_string(rng()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

static std::string shell_quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

ProgramResult run_program(const std::string& program, const std::vector<std::string>& args,
                          const std::string& cwd) {
  return run_program(program, args, cwd, {});
}

ProgramResult run_program(const std::string& program, const std::vector<std::string>& args,
                          const std::string& cwd, const std::vector<std::string>& environment) {
  TempDir streams;
  std::string command = "cd " + shell_quote(cwd) + " && ";
  if (!environment.empty()) {
    command += "env";
    for (const std::string& variable : environment) command += " " + shell_quote(variable);
    command += " ";
  }
  command += shell_quote(program);
  for (const std::string& arg : args) command += " " + shell_quote(arg);
  command += " </dev/null >" + shell_quote(streams.file("out")) + " 2>" + shell_quote(streams.file("err"));
  command += "; echo $? >" + shell_quote(streams.file("status"));
  std::system(command.c_str());
  ProgramResult result;
  result.out = read_file_text(streams.file("out"));
  result.err = read_file_text(streams.file("err"));
  std::string status = read_file_text(streams.file("status"));
  if (!status.empty()) result.exit_status = std::atoi(status.c_str());
  return result;
}

std::vector<uint8_t> read_file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string read_file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string samples_dir() {
  std::string dir = SAMPLES_DIR;
  if (!fs::is_directory(dir)) {
    ADD_FAILURE() << "the Btrieve sample files are missing: expected them in " << dir;
  }
  return dir;
}

std::vector<uint8_t> pattern_bytes(size_t length, uint32_t seed) {
  std::vector<uint8_t> bytes(length);
  uint32_t state = seed * 2654435761u + 12345u;
  for (size_t i = 0; i < length; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

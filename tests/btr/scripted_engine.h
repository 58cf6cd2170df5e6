// A stand-in engine for in-process tests: it answers each request with the
// next reply of a script and logs what it was asked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptedReply {
  int16_t status = 0;
  std::vector<uint8_t> bytes;   // placed at the start of the data buffer
  uint32_t data_length = 0;     // what the engine reports back
};

struct LoggedRequest {
  uint16_t operation = 0;
  uint32_t data_length_in = 0;
  int8_t key_number = 0;
  uint8_t key_length = 0;
  const void* data_buffer = nullptr;
  const void* key_buffer = nullptr;
  std::string key_text;                // the key buffer as text, for Open requests
  bool data_all_zero = false;          // the offered data bytes were all zero, for Open requests
  std::vector<uint8_t> descriptor;     // first 24 bytes of the data buffer, for chunk requests
};

// Replaces the engine entry with the script and clears the log.
void install_scripted_engine(const std::vector<ScriptedReply>& script);
// Puts the built-in engine back.
void remove_scripted_engine();
const std::vector<LoggedRequest>& scripted_engine_log();
// Replies not yet used.
size_t scripted_replies_left();
// The operations of the log, e.g. "0 33 24 1 28".
std::string logged_operations();
// At process exit, writes "engine log: <operations>\n" on standard error, so
// that a death test can see which requests a dying run made.
void report_operations_at_exit();

// Reply helpers.
ScriptedReply reply_status(int16_t status, uint32_t data_length = 0);
ScriptedReply reply_bytes(int16_t status, const std::vector<uint8_t>& bytes);

#include "scripted_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "btr/btr.h"
#include "engine/engine.h"

static std::vector<ScriptedReply> script;
static size_t next_reply = 0;
static std::vector<LoggedRequest> request_log;

static LoggedRequest log_entry(uint16_t operation, void* data_buffer, uint32_t data_length, void* key_buffer,
                               uint8_t key_length, int8_t key_number) {
  LoggedRequest entry;
  entry.operation = operation;
  entry.data_length_in = data_length;
  entry.key_number = key_number;
  entry.key_length = key_length;
  entry.data_buffer = data_buffer;
  entry.key_buffer = key_buffer;
  if (operation == OP_OPEN && key_buffer) entry.key_text = static_cast<const char*>(key_buffer);
  if (operation == OP_OPEN && data_buffer) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data_buffer);
    entry.data_all_zero = std::all_of(bytes, bytes + data_length, [](uint8_t b) { return b == 0; });
  }
  if (operation == OP_GET_DIRECT_CHUNK && data_buffer) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data_buffer);
    entry.descriptor.assign(bytes, bytes + CHUNK_DESCRIPTOR_SIZE);
  }
  return entry;
}

static int16_t scripted_call(uint16_t operation, void*, void* data_buffer, uint32_t* data_length,
                             void* key_buffer, uint8_t key_length, int8_t key_number) {
  request_log.push_back(log_entry(operation, data_buffer, *data_length, key_buffer, key_length, key_number));
  if (next_reply >= script.size()) {
    ADD_FAILURE() << "the script has no reply for operation " << operation;
    return STATUS_END_OF_FILE;
  }
  const ScriptedReply& reply = script[next_reply++];
  if (!reply.bytes.empty()) std::memcpy(data_buffer, reply.bytes.data(), reply.bytes.size());
  *data_length = reply.data_length;
  return reply.status;
}

void install_scripted_engine(const std::vector<ScriptedReply>& replies) {
  script = replies;
  next_reply = 0;
  request_log.clear();
  btr_engine_entry = scripted_call;
}

void remove_scripted_engine() { btr_engine_entry = engine_call; }

const std::vector<LoggedRequest>& scripted_engine_log() { return request_log; }

size_t scripted_replies_left() { return script.size() - next_reply; }

std::string logged_operations() {
  std::string text;
  for (const LoggedRequest& entry : request_log) {
    if (!text.empty()) text += ' ';
    text += std::to_string(entry.operation);
  }
  return text;
}

static void print_operations() { std::fprintf(stderr, "engine log: %s\n", logged_operations().c_str()); }

void report_operations_at_exit() { std::atexit(print_operations); }

ScriptedReply reply_status(int16_t status, uint32_t data_length) {
  ScriptedReply reply;
  reply.status = status;
  reply.data_length = data_length;
  return reply;
}

ScriptedReply reply_bytes(int16_t status, const std::vector<uint8_t>& bytes) {
  ScriptedReply reply;
  reply.status = status;
  reply.bytes = bytes;
  reply.data_length = static_cast<uint32_t>(bytes.size());
  return reply;
}

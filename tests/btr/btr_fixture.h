// Common set-up of the request-layer tests: a zeroed slot table, the
// scripted engine in place of the built-in one, and no traces.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "btr/btr.h"
#include "scripted_engine.h"

class BtrTest : public testing::Test {
 protected:
  void SetUp() override {
    std::memset(file_slots, 0, sizeof file_slots);
    current_slot = DATA_SLOT;
    btr_debug_level = DebugOff;
    install_scripted_engine({});
  }
  void TearDown() override {
    remove_scripted_engine();
    btr_debug_level = DebugOff;
  }
  FileSlot& data_slot() { return file_slots[DATA_SLOT]; }
  void name_slot(const char* name) { std::strcpy(data_slot().file_name, name); }
};

// Runs `action` with both streams captured.
template <typename Action>
void capture_streams(Action action, std::string* out, std::string* err) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  action();
  *err = testing::internal::GetCapturedStderr();
  *out = testing::internal::GetCapturedStdout();
}

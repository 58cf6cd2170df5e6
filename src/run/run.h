// The export run and the record export sequence.
#pragma once

#include <cstdint>

#include "btr/btr.h"
#include "output/output.h"
#include "record/record.h"
#include "run/settings.h"

// What lives for the whole run.
struct RunState {
  RunSettings settings;
  char data_file_name[PLATFORM_PATH_SIZE];
  FileSlot* data_slot;
  const RecordLayout* layout;
  uint8_t* record_buffer;
  uint8_t step_key_buffer[256];
  int16_t last_status;
  uint32_t records_read;
  uint32_t files_created;
  ExportNameRegistry* created_names;
};

// Runs the whole export and returns the exit status (0); ends the process
// with status 1 on the failures that stop a run.
int run_export(const RunSettings& settings, const char* data_file_name);
// Takes the record in record_buffer through naming, writing and stamping.
void export_record(RunState& state);

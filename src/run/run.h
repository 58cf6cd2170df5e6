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
  char data_file_name[PLATFORM_PATH_SIZE];  // argument 1, whole
  FileSlot* data_slot;                      // &file_slots[DATA_SLOT]
  const RecordLayout* layout;               // chosen once, after the Open
  uint8_t* record_buffer;                   // DOCUMENT_BUFFER_SIZE bytes, zeroed once
  uint8_t step_key_buffer[256];             // handed to the Steps, never read
  int16_t last_status;                      // of the latest Step: 0 or 22 inside the scan
  uint32_t records_read;
  uint32_t files_created;
  ExportNameRegistry* created_names;
};

// Runs the whole export and returns the exit status (0). Ends the process
// itself, with status 1, when the name does not fit data_file_name, when
// memory runs out, when the Open fails, and (inside btr_request) on status 20.
int run_export(const RunSettings& settings, const char* data_file_name);
// Takes the record in record_buffer through naming, writing and stamping.
void export_record(RunState& state);

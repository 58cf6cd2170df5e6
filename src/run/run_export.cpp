// The export run: open the data file, hand every record to export_record,
// print the summary, close and reset.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/console_order.h"
#include "run/run.h"

// One run per process. Kept here rather than on the stack so that the
// record buffer stays reachable when a failure ends the process mid-run.
static RunState the_run;

[[noreturn]] static void end_process(int exit_status) {
  std::fflush(nullptr);
  std::exit(exit_status);
}

// The whole name or nothing: a name cut short would open another file.
static void take_data_file_name(RunState& state, const char* data_file_name) {
  if (!copy_whole_name(data_file_name, state.data_file_name, sizeof state.data_file_name)) {
    flush_console_before_error();
    std::fprintf(stderr, "Data file name too long (%zu bytes, at most %zu).\n", std::strlen(data_file_name),
                 sizeof state.data_file_name - 1);
    end_process(1);
  }
}

static void start_run(RunState& state, const RunSettings& settings) {
  std::free(state.record_buffer);
  state = RunState{};
  state.settings = settings;
  std::memset(file_slots, 0, sizeof file_slots);
  current_slot = DATA_SLOT;
  state.data_slot = &file_slots[DATA_SLOT];
  btr_debug_level = settings.debug_level;
}

static void allocate_record_buffer(RunState& state) {
  state.record_buffer = static_cast<uint8_t*>(std::calloc(DOCUMENT_BUFFER_SIZE, 1));
  if (!state.record_buffer) {
    flush_console_before_error();
    std::fputs("No memory available.\r\n", stderr);
    end_process(1);
  }
}

static void open_or_stop(RunState& state) {
  int16_t status = open_data_file(state.data_file_name, state.record_buffer);
  if (status != STATUS_SUCCESS) {
    flush_console_before_error();
    std::fprintf(stderr, "Unable to Open File - Status %d\n", static_cast<int>(status));
    reset_record_manager();
    end_process(1);
  }
}

static void create_name_registry_or_stop(RunState& state) {
  state.created_names = create_export_name_registry();
  if (!state.created_names) {
    flush_console_before_error();
    std::fputs("No memory available.\r\n", stderr);
    close_data_file();
    reset_record_manager();
    end_process(1);
  }
}

// Step First and Step Next share every setting but the operation.
static void step(RunState& state, uint16_t operation) {
  FileSlot& slot = *state.data_slot;
  slot.data_buffer = state.record_buffer;
  slot.data_length = DOCUMENT_BUFFER_SIZE;
  slot.key_number = 0;
  slot.key_buffer = state.step_key_buffer;
  slot.operation = operation;
  current_slot = DATA_SLOT;
  state.last_status = btr_request(slot);
}

static int holds_record(int16_t status) {
  return status == STATUS_SUCCESS || status == STATUS_DATA_BUFFER_TOO_SHORT;
}

static void scan_records(RunState& state) {
  step(state, OP_STEP_FIRST);
  while (holds_record(state.last_status)) {
    ++state.records_read;
    export_record(state);
    step(state, OP_STEP_NEXT);
  }
}

static void finish_run(RunState& state) {
  std::printf("Status %d terminated application.\nCreated %lu files from %lu Records.\n",
              static_cast<int>(state.last_status), static_cast<unsigned long>(state.files_created),
              static_cast<unsigned long>(state.records_read));
  close_data_file();
  reset_record_manager();
  destroy_export_name_registry(state.created_names);
  state.created_names = nullptr;
  std::free(state.record_buffer);
  state.record_buffer = nullptr;
}

int run_export(const RunSettings& settings, const char* data_file_name) {
  RunState& state = the_run;
  start_run(state, settings);
  take_data_file_name(state, data_file_name);
  std::printf("Scanning Data File %s...\n", state.data_file_name);
  allocate_record_buffer(state);
  open_or_stop(state);
  state.layout = &select_record_layout(state.settings.layout_version8);
  create_name_registry_or_stop(state);
  scan_records(state);
  finish_run(state);
  return 0;
}

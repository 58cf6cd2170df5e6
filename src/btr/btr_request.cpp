// Traces one request, sends it and reports its status. The callers decide
// what a status means for them; only a missing engine stops everything.
#include <cstdio>
#include <cstdlib>

#include "btr/btr.h"
#include "output/console_order.h"

static void trace_request(const FileSlot& slot) {
  std::printf("Op: %u, Buflen: %u, KeyNum: %d ", static_cast<unsigned>(slot.operation),
              static_cast<unsigned>(slot.data_length), static_cast<int>(slot.key_number));
}

static void trace_status(int16_t status) { std::printf("Status: %d\n", static_cast<int>(status)); }

// Status 20 means no engine to talk to: nothing further can work.
[[noreturn]] static void stop_without_engine() {
  std::fputs("Please load the Btrieve Record Manager\n", stderr);
  std::fflush(nullptr);
  std::exit(1);
}

// Statuses the callers handle on their own, without a word here.
static int is_silent_status(int16_t status) {
  switch (status) {
    case STATUS_SUCCESS:
    case 3:  // file not open
    case 4:  // key value not found
    case 5:  // duplicate key
    case STATUS_END_OF_FILE:
    case STATUS_FILE_NOT_FOUND:
    case STATUS_DATA_BUFFER_TOO_SHORT:
      return 1;
    default:
      return 0;
  }
}

static void report_status(const FileSlot& slot, int16_t status) {
  if (is_silent_status(status)) return;
  flush_console_before_error();
  switch (status) {
    case STATUS_IO_ERROR:
      std::fputs("Data File Corruption (Status 2) Detected!\n", stderr);
      return;
    case STATUS_ENGINE_INACTIVE:
      stop_without_engine();
    case STATUS_NOT_A_BTRIEVE_FILE:
      std::fprintf(stderr, "%s: Not a Btrieve File\n", slot.file_name);
      return;
    case STATUS_INVALID_OWNER:
      std::fprintf(stderr, "%s: Owner-Protected Data File.\n", slot.file_name);
      std::fputs("Use BUTIL -CLROWNER to remove owner name and try again.\n", stderr);
      return;
    default:
      std::fprintf(stderr, "Btrieve Error %d: Operation=%u, File=%s\n", static_cast<int>(status),
                   static_cast<unsigned>(slot.operation), slot.file_name);
      return;
  }
}

int16_t btr_request(FileSlot& slot) {
  int super_debug = btr_debug_level == DebugSuper;
  if (super_debug) trace_request(slot);
  uint16_t result = btr_call(slot.operation, slot.position_block, slot.data_buffer, &slot.data_length,
                             slot.key_buffer, slot.key_number);
  int16_t status = static_cast<int16_t>(result);
  if (super_debug) trace_status(status);
  report_status(slot, status);
  return status;
}

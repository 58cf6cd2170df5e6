// Open, Close and Reset of the data file, on entry DATA_SLOT of file_slots.
#include <cstdio>
#include <cstring>

#include "btr/btr.h"

// The Open reads the file's name from its key buffer. Static, so the slot
// never points at a dead frame even if a later request forgot to replace it.
static char open_key_buffer[PLATFORM_PATH_SIZE];

int copy_whole_name(const char* name, char* out, size_t out_size) {
  size_t length = 0;
  while (length < out_size && name[length] != '\0') ++length;
  if (length >= out_size) return 0;
  std::memcpy(out, name, length + 1);
  return 1;
}

int16_t open_data_file(const char* data_file_name, uint8_t* record_buffer) {
  FileSlot& slot = file_slots[DATA_SLOT];
  // The run refuses such names before it gets here; a name never goes out
  // cut, and one the engine cannot be given is one it cannot find.
  if (!copy_whole_name(data_file_name, open_key_buffer, sizeof open_key_buffer) ||
      !copy_whole_name(data_file_name, slot.file_name, sizeof slot.file_name)) {
    return STATUS_FILE_NOT_FOUND;
  }
  if (btr_debug_level >= DebugFull) std::fputs("Opening Files\n", stdout);
  slot.data_length = DOCUMENT_BUFFER_SIZE;
  slot.data_buffer = record_buffer;
  slot.key_number = 0;
  slot.key_buffer = open_key_buffer;
  slot.operation = OP_OPEN;
  int16_t status = btr_request(slot);
  if (btr_debug_level >= DebugFull) std::printf("Data Files Opened: %d\n", static_cast<int>(status));
  return status;
}

void close_data_file() {
  if (btr_debug_level >= DebugFull) std::fputs("Closing Files\n", stdout);
  FileSlot& slot = file_slots[DATA_SLOT];
  slot.operation = OP_CLOSE;
  btr_request(slot);
  if (btr_debug_level >= DebugFull) std::fputs("Data Files Closed\n", stdout);
}

int16_t reset_record_manager() {
  FileSlot& slot = file_slots[DATA_SLOT];
  slot.key_number = 0;
  slot.key_buffer = nullptr;
  slot.operation = OP_RESET;
  return btr_request(slot);
}

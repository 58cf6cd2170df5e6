// The sequence that takes one record through naming, writing and stamping.
#include <cstdio>
#include <cstring>

#include "run/run.h"

// Bytes the last Step placed in the record buffer, never more than it holds.
static uint32_t returned_record_length(const RunState& state) {
  uint32_t length = state.data_slot->data_length;
  return length < DOCUMENT_BUFFER_SIZE ? length : DOCUMENT_BUFFER_SIZE;
}

// What lies past a short record belongs to an earlier one; zeroed, it cannot
// make the record look like a link record or lend it a skip marker.
static void clear_bytes_past_record(uint8_t* record_buffer, uint32_t record_length, const RecordLayout& layout) {
  uint32_t fixed_end = record_fixed_fields_end(layout);
  if (record_length < fixed_end) memset(record_buffer + record_length, 0, fixed_end - record_length);
}

static int write_body(RunState& state, PlatformFile export_file) {
  if (state.last_status == 0) return write_record_body(export_file, state.layout->body_offset);
  return write_long_record_body(export_file, state.layout->body_offset);
}

void export_record(RunState& state) {
  const RecordLayout& layout = *state.layout;
  uint8_t* record_buffer = state.record_buffer;
  uint32_t record_length = returned_record_length(state);
  if (state.last_status == 0) clear_bytes_past_record(record_buffer, record_length, layout);
  if (is_skip_marked(record_buffer, layout)) return;

  // Link records are passed over under every link mode until the linked
  // document processor exports them, so no room for a link suffix is kept.
  char export_path[EXPORT_PATH_SIZE];
  size_t extension_start = 0;
  if (!compose_export_name(record_buffer, record_length, layout, state.settings, export_path, 0, &extension_start)) {
    return;
  }
  // Copied now: a long record's body retrieval reuses the buffer.
  uint32_t date_value = read_record_u32(record_buffer, layout.date_offset);
  uint32_t time_value = read_record_u32(record_buffer, layout.time_offset);
  if (is_link_record(record_buffer, layout)) {
    fputs(" Link Skipped\n", stdout);
    return;
  }

  claim_export_name(state.created_names, export_path, extension_start);
  PlatformFile export_file = begin_export_file(export_path);
  if (export_file == INVALID_HANDLE_VALUE) {
    fputs("\n", stdout);
    return;
  }
  if (write_body(state, export_file)) ++state.files_created;
  stamp_file_time(export_file, date_value, time_value);
  close_export_file(export_file);
  fputs("\n", stdout);
}

#include <cstring>

#include "record/record.h"

uint32_t read_record_u32(const uint8_t* record, uint32_t offset) {
  const uint8_t* bytes = record + offset;
  return (uint32_t)bytes[0] | ((uint32_t)bytes[1] << 8) | ((uint32_t)bytes[2] << 16) | ((uint32_t)bytes[3] << 24);
}

int16_t read_record_i16(const uint8_t* record, uint32_t offset) {
  uint16_t value = (uint16_t)(record[offset] | (record[offset + 1] << 8));
  return (int16_t)value;
}

size_t record_text_length(const uint8_t* record, uint32_t record_length, uint32_t offset, size_t max_length) {
  if (offset >= record_length) return 0;
  size_t available = record_length - offset;
  if (available > max_length) available = max_length;
  const void* nul = memchr(record + offset, 0, available);
  return nul ? (size_t)((const uint8_t*)nul - (record + offset)) : available;
}

RecordDate decode_record_date(uint32_t date_value) {
  RecordDate date;
  date.day = (uint8_t)(date_value & 0xFF);
  date.month = (uint8_t)((date_value >> 8) & 0xFF);
  date.year = (uint16_t)(date_value >> 16);
  return date;
}

RecordTime decode_record_time(uint32_t time_value) {
  RecordTime time;
  time.fraction = (uint8_t)(time_value & 0xFF);
  time.second = (uint8_t)((time_value >> 8) & 0xFF);
  time.minute = (uint8_t)((time_value >> 16) & 0xFF);
  time.hour = (uint8_t)(time_value >> 24);
  return time;
}

int is_skip_marked(const uint8_t* record_buffer, const RecordLayout& layout) {
  return record_buffer[layout.name_offset] == '*';
}

// Only the first three bytes of the short path count: two backslashes, or
// any byte followed by ":\". The path's length is not consulted.
int is_link_record(const uint8_t* record_buffer, const RecordLayout& layout) {
  const uint8_t* short_path = record_buffer + layout.link_block_offset + 4;
  if (short_path[0] == '\\' && short_path[1] == '\\') return 1;
  if (short_path[1] == ':' && short_path[2] == '\\') return 1;
  return 0;
}

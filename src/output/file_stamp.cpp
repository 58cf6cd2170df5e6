// The record's date and time as the export file's time.
#include <cstdio>

#include "output/output.h"

namespace {

uint8_t byte_of(uint32_t value, int index) { return static_cast<uint8_t>(value >> (8 * index)); }

// The fields are little-endian as they lie in the record: the date holds
// day, month and a 16-bit year; the time holds fraction, second, minute, hour.
PlatformLocalTime local_time_from_record(uint32_t date_value, uint32_t time_value) {
  PlatformLocalTime local_time;
  local_time.year = static_cast<uint16_t>(date_value >> 16);
  local_time.month = byte_of(date_value, 1);
  local_time.day = byte_of(date_value, 0);
  local_time.hour = byte_of(time_value, 3);
  local_time.minute = byte_of(time_value, 2);
  local_time.second = byte_of(time_value, 1);
  local_time.milliseconds = byte_of(time_value, 0);  // the fraction byte, unscaled
  return local_time;
}

}  // namespace

void stamp_file_time(PlatformFile export_file, uint32_t date_value, uint32_t time_value) {
  if (!platform_set_file_time(export_file, local_time_from_record(date_value, time_value)))
    std::printf(" SetFileTime Error: %u", platform_last_error());
}

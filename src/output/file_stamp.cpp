// The record's date and time as the export file's time.
#include <cstdio>

#include "output/output.h"
#include "record/record.h"

static PlatformLocalTime local_time_from_record(uint32_t date_value, uint32_t time_value) {
  RecordDate date = decode_record_date(date_value);
  RecordTime time = decode_record_time(time_value);
  PlatformLocalTime local_time;
  local_time.year = date.year;
  local_time.month = date.month;
  local_time.day = date.day;
  local_time.hour = time.hour;
  local_time.minute = time.minute;
  local_time.second = time.second;
  local_time.milliseconds = time.fraction;  // taken as milliseconds, unscaled
  return local_time;
}

void stamp_file_time(PlatformFile export_file, uint32_t date_value, uint32_t time_value) {
  if (!platform_set_file_time(export_file, local_time_from_record(date_value, time_value)))
    std::printf(" SetFileTime Error: %u", platform_last_error());
}

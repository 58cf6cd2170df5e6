// File times from a record's local date and time.
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/platform.h"

namespace {

// The calendar range a Windows file time can express.
constexpr uint16_t FIRST_YEAR = 1601;
constexpr uint16_t LAST_YEAR = 30827;

int is_leap_year(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned days_in_month(unsigned year, unsigned month) {
  static const unsigned DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap_year(year) ? 29 : DAYS[month - 1];
}

int is_valid_calendar_time(const PlatformLocalTime& t) {
  if (t.year < FIRST_YEAR || t.year > LAST_YEAR) return 0;
  if (t.month < 1 || t.month > 12) return 0;
  if (t.day < 1 || t.day > days_in_month(t.year, t.month)) return 0;
  return t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.milliseconds <= 999;
}

int same_calendar_time(const struct tm& a, const struct tm& b) {
  return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday && a.tm_hour == b.tm_hour &&
         a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

// Local time to seconds since the epoch by the zone rules in force at that
// date (tm_isdst = -1), not by the offset in force today: a July document
// exported in winter must not move by the summer-time hour.
int local_to_utc_seconds(const PlatformLocalTime& t, time_t* seconds) {
  struct tm local = {};
  local.tm_year = t.year - 1900;
  local.tm_mon = t.month - 1;
  local.tm_mday = t.day;
  local.tm_hour = t.hour;
  local.tm_min = t.minute;
  local.tm_sec = t.second;
  local.tm_isdst = -1;
  struct tm requested = local;
  time_t converted = mktime(&local);
  if (converted == static_cast<time_t>(-1)) {
    // -1 is also one real second before the epoch; only a round trip tells.
    struct tm back;
    if (localtime_r(&converted, &back) == nullptr || !same_calendar_time(back, requested)) return 0;
  }
  *seconds = converted;
  return 1;
}

}  // namespace

int platform_set_file_time(PlatformFile file, const PlatformLocalTime& local_time) {
  time_t seconds;
  if (!is_valid_calendar_time(local_time) || !local_to_utc_seconds(local_time, &seconds)) {
    errno = EINVAL;
    return 0;
  }
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // the last-access time stays as it is
  times[1].tv_sec = seconds;
  times[1].tv_nsec = static_cast<long>(local_time.milliseconds) * 1000000L;
  return futimens(static_cast<int>(file), times) == 0 ? 1 : 0;
}

// The record's local date and time become the export file's last-write time.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "output/output.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// Sets the time zone for one test and puts the previous one back.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    const char* previous = std::getenv("TZ");
    had_previous_ = previous != nullptr;
    if (had_previous_) previous_ = previous;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (had_previous_)
      setenv("TZ", previous_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool had_previous_ = false;
  std::string previous_;
};

// The 4 bytes of a record field, in record order, as the little-endian value.
uint32_t field_value(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  return uint32_t{b0} | uint32_t{b1} << 8 | uint32_t{b2} << 16 | uint32_t{b3} << 24;
}
uint32_t date_value(unsigned year, unsigned month, unsigned day) {
  return field_value(static_cast<uint8_t>(day), static_cast<uint8_t>(month), static_cast<uint8_t>(year & 0xFF),
                     static_cast<uint8_t>(year >> 8));
}
uint32_t time_value(unsigned hour, unsigned minute, unsigned second, unsigned fraction) {
  return field_value(static_cast<uint8_t>(fraction), static_cast<uint8_t>(second), static_cast<uint8_t>(minute),
                     static_cast<uint8_t>(hour));
}

int64_t mtime_nanoseconds(const std::string& path) {
  const auto system_time = file_clock::to_sys(fs::last_write_time(path));
  return duration_cast<nanoseconds>(system_time.time_since_epoch()).count();
}

int64_t utc_nanoseconds(int year, unsigned month, unsigned day, int hour, int minute, int second, int ms) {
  const sys_days date{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}};
  const auto instant = date + hours{hour} + minutes{minute} + seconds{second} + milliseconds{ms};
  return duration_cast<nanoseconds>(instant.time_since_epoch()).count();
}

std::string stamp_new_file(const TempDir& dir, const char* name, uint32_t date, uint32_t time) {
  const std::string path = dir.file(name);
  PlatformFile file = create_export_file(path.c_str());
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  testing::internal::CaptureStdout();
  stamp_file_time(file, date, time);
  const std::string printed = testing::internal::GetCapturedStdout();
  close_export_file(file);
  return printed;
}

TEST(StampFileTime, RecordBytesGiveTheLocalTimeAsUtc) {
  ScopedTimeZone zone("Europe/Berlin");
  TempDir dir;
  // Date 0F 01 DF 07, time 00 1E 05 0D: 13:05:30.000 on 15 January 2015.
  const std::string path = dir.file("ANNA-Letter.DOC");
  PlatformFile file = create_export_file(path.c_str());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  testing::internal::CaptureStdout();
  stamp_file_time(file, field_value(0x0F, 0x01, 0xDF, 0x07), field_value(0x00, 0x1E, 0x05, 0x0D));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  close_export_file(file);
  EXPECT_EQ(mtime_nanoseconds(path), utc_nanoseconds(2015, 1, 15, 12, 5, 30, 0));
}

TEST(StampFileTime, EachDateUsesTheZoneRulesInForceAtThatDate) {
  struct Case {
    const char* zone;
    unsigned year, month, day, hour, minute, second, fraction;
    int utc_year;
    unsigned utc_month, utc_day;
    int utc_hour, utc_minute, utc_second;
  };
  const Case cases[] = {
      {"Europe/Berlin", 2015, 1, 15, 13, 5, 30, 0, 2015, 1, 15, 12, 5, 30},
      {"Europe/Berlin", 2015, 7, 15, 13, 5, 30, 0, 2015, 7, 15, 11, 5, 30},
      {"Europe/Berlin", 2015, 3, 29, 3, 30, 0, 0, 2015, 3, 29, 1, 30, 0},       // first hour of summer time
      {"Europe/Berlin", 2015, 10, 25, 1, 59, 59, 0, 2015, 10, 24, 23, 59, 59},  // last hour before it ends
      {"Europe/Berlin", 2016, 2, 29, 0, 0, 0, 0, 2016, 2, 28, 23, 0, 0},
      {"America/New_York", 2015, 1, 15, 12, 0, 0, 0, 2015, 1, 15, 17, 0, 0},
      {"America/New_York", 2015, 7, 4, 12, 0, 0, 0, 2015, 7, 4, 16, 0, 0},
      {"UTC", 2015, 7, 15, 13, 5, 30, 0, 2015, 7, 15, 13, 5, 30},
      {"UTC", 2016, 2, 29, 23, 59, 59, 0, 2016, 2, 29, 23, 59, 59},
      {"UTC", 2000, 2, 29, 12, 0, 0, 0, 2000, 2, 29, 12, 0, 0},
      {"UTC", 1980, 1, 1, 0, 0, 0, 0, 1980, 1, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.zone);
    TempDir dir;
    const std::string printed =
        stamp_new_file(dir, "doc", date_value(c.year, c.month, c.day), time_value(c.hour, c.minute, c.second, 0));
    const std::string label = std::string(c.zone) + " " + std::to_string(c.year) + "-" + std::to_string(c.month) +
                              "-" + std::to_string(c.day) + " " + std::to_string(c.hour);
    EXPECT_EQ(printed, "") << label;
    EXPECT_EQ(mtime_nanoseconds(dir.file("doc")),
              utc_nanoseconds(c.utc_year, c.utc_month, c.utc_day, c.utc_hour, c.utc_minute, c.utc_second, 0))
        << label;
  }
}

TEST(StampFileTime, FractionByteIsTakenAsMilliseconds) {
  ScopedTimeZone zone("UTC");
  for (unsigned fraction : {0u, 1u, 99u, 100u, 255u}) {
    TempDir dir;
    EXPECT_EQ(stamp_new_file(dir, "doc", date_value(2015, 1, 15), time_value(13, 5, 30, fraction)), "");
    EXPECT_EQ(mtime_nanoseconds(dir.file("doc")), utc_nanoseconds(2015, 1, 15, 13, 5, 30, static_cast<int>(fraction)))
        << "fraction " << fraction;
  }
}

TEST(StampFileTime, InvalidCalendarTimeIsReportedAndLeavesTheFileTime) {
  struct Case {
    const char* what;
    unsigned year, month, day, hour, minute, second;
  };
  const Case cases[] = {
      {"month 0", 2015, 0, 15, 12, 0, 0},      {"month 13", 2015, 13, 15, 12, 0, 0},
      {"day 0", 2015, 1, 0, 12, 0, 0},         {"day 32", 2015, 1, 32, 12, 0, 0},
      {"31 April", 2015, 4, 31, 12, 0, 0},     {"29 February 2015", 2015, 2, 29, 12, 0, 0},
      {"29 February 1900", 1900, 2, 29, 12, 0, 0}, {"hour 24", 2015, 1, 15, 24, 0, 0},
      {"minute 60", 2015, 1, 15, 12, 60, 0},   {"second 60", 2015, 1, 15, 12, 0, 60},
      {"year 0", 0, 1, 15, 12, 0, 0},          {"year 1600", 1600, 12, 31, 23, 59, 59},
      {"year 30828", 30828, 1, 1, 0, 0, 0},    {"all zero", 0, 0, 0, 0, 0, 0},
  };
  ScopedTimeZone zone("Europe/Berlin");
  const fs::file_time_type earlier = file_clock::from_sys(sys_seconds{sys_days{2001y / 2 / 3} + hours{4}});
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.file("doc");
    PlatformFile file = create_export_file(path.c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    fs::last_write_time(path, earlier);
    testing::internal::CaptureStdout();
    stamp_file_time(file, date_value(c.year, c.month, c.day), time_value(c.hour, c.minute, c.second, 0));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " SetFileTime Error: " + std::to_string(EINVAL)) << c.what;
    close_export_file(file);
    EXPECT_TRUE(fs::last_write_time(path) == earlier) << c.what;
  }
}

TEST(StampFileTime, InvalidHandleIsReportedWithThePlatformError) {
  testing::internal::CaptureStdout();
  stamp_file_time(INVALID_HANDLE_VALUE, date_value(2015, 1, 15), time_value(13, 5, 30, 0));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " SetFileTime Error: " + std::to_string(EBADF));
}

}  // namespace

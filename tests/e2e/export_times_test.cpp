#include <chrono>
#include <filesystem>

#include "export_fixture.h"

namespace {

using namespace std::chrono;

struct TimeCase {
  const char* time_zone;
  uint16_t year;
  uint8_t month, day, hour, minute, second, fraction;
  int utc_offset_minutes;  // local time minus UTC at that date
};

const TimeCase time_cases[] = {
    {"UTC", 2015, 1, 15, 13, 5, 30, 0, 0},
    {"UTC", 2016, 2, 29, 23, 59, 59, 99, 0},
    {"UTC", 1999, 12, 31, 0, 0, 0, 255, 0},
    {"Europe/Berlin", 2015, 1, 15, 13, 5, 30, 0, 60},
    {"Europe/Berlin", 2015, 7, 15, 13, 5, 30, 0, 120},
};

sys_time<milliseconds> expected_instant(const TimeCase& row) {
  sys_days date = year{row.year} / month{row.month} / day{row.day};
  return date + hours{row.hour} + minutes{row.minute} + seconds{row.second} + milliseconds{row.fraction} -
         minutes{row.utc_offset_minutes};
}

TEST(ExportTimes, ModificationTimeIsTheRecordsLocalTime) {
  for (const TimeCase& row : time_cases) {
    TempDir dir;
    VraxDocument document = anna_document("Dated", "Package", {'x'});
    document.year = row.year;
    document.month = row.month;
    document.day = row.day;
    document.hour = row.hour;
    document.minute = row.minute;
    document.second = row.second;
    document.fraction = row.fraction;
    ASSERT_TRUE(write_documents(dir.file("lib.dat"), {document}, false));
    ProgramResult result = run_docvane(dir, {}, row.time_zone);
    ASSERT_NE(result.out.find("Creating ANNA-Dated.PKG...\n"), std::string::npos) << result.out;
    auto written = file_clock::to_sys(std::filesystem::last_write_time(dir.file("ANNA-Dated.PKG")));
    EXPECT_EQ(time_point_cast<milliseconds>(written), expected_instant(row))
        << row.time_zone << " " << row.year << "-" << int(row.month) << "-" << int(row.day);
  }
}

// A long record's times come from the copies taken before its body is read.
TEST(ExportTimes, LongRecordKeepsItsTimes) {
  TempDir dir;
  VraxDocument document = anna_document("Long", "Package", pattern_bytes(150000, 3));
  document.year = 2003;
  document.month = 4;
  document.day = 5;
  document.hour = 6;
  document.minute = 7;
  document.second = 8;
  ASSERT_TRUE(write_documents(dir.file("lib.dat"), {document}, false));
  ProgramResult result = run_docvane(dir);
  ASSERT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating ANNA-Long.PKG...\n"
            "Status 9 terminated application.\n"
            "Created 1 files from 1 Records.\n")
      << result.err;
  auto written = file_clock::to_sys(std::filesystem::last_write_time(dir.file("ANNA-Long.PKG")));
  sys_days date = year{2003} / month{4} / day{5};
  EXPECT_EQ(time_point_cast<seconds>(written), date + hours{6} + minutes{7} + seconds{8});
}

TEST(ExportTimes, InvalidDateIsReportedOnTheProgressLine) {
  TempDir dir;
  VraxDocument document = anna_document("Odd", "Package", {'x'});
  document.month = 13;
  ASSERT_TRUE(write_documents(dir.file("lib.dat"), {document}, false));
  ProgramResult result = run_docvane(dir);
  EXPECT_EQ(scan_output(result),
            "Scanning Data File lib.dat...\n"
            "Creating ANNA-Odd.PKG... SetFileTime Error: 22\n"
            "Status 9 terminated application.\n"
            "Created 1 files from 1 Records.\n");
  EXPECT_EQ(read_file_bytes(dir.file("ANNA-Odd.PKG")), std::vector<uint8_t>{'x'});
}

}  // namespace

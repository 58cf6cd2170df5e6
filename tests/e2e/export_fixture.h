// Libraries made with the writer, and runs of the real program over them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/writer/btrieve_writer.h"
#include "support/test_support.h"
#include "mkvrax/vrax_record.h"

typedef std::vector<uint8_t> RecordBytes;

inline VraxDocument anna_document(const std::string& name, const std::string& type,
                                  const std::vector<uint8_t>& body) {
  VraxDocument document;
  document.owner_id = "ANNA";
  document.document_name = name;
  document.type_description = type;
  document.body = body;
  return document;
}

inline VraxDocument anna_link(const std::string& name, const std::string& short_path) {
  VraxDocument document = anna_document(name, "Microsoft Word Document", {});
  document.link_short_path = short_path;
  return document;
}

// Writes the records as they are; `fixed_length` must not exceed the
// shortest. 1 on success.
inline int write_records(const std::string& path, const std::vector<RecordBytes>& records, bool version8,
                         uint16_t fixed_length) {
  BtrieveWriterOptions options;
  options.format_version8 = version8 ? 1 : 0;
  options.fixed_length = fixed_length;
  BtrieveWriter* writer = btrieve_writer_create(path.c_str(), options);
  if (!writer) return 0;
  for (const RecordBytes& record : records) {
    if (!btrieve_writer_add(writer, record.data(), record.size())) {
      btrieve_writer_finish(writer);
      return 0;
    }
  }
  return btrieve_writer_finish(writer);
}

inline int write_documents(const std::string& path, const std::vector<VraxDocument>& documents, bool version8) {
  BtrieveWriterOptions options;
  options.format_version8 = version8 ? 1 : 0;
  options.fixed_length = static_cast<uint16_t>(vrax_body_offset(version8));
  return write_vrax_library(path, documents, version8, options);
}

// Runs the program in `dir` on its "lib.dat", the clock in UTC.
inline ProgramResult run_docvane(const TempDir& dir, std::vector<std::string> options = {},
                                 const std::string& time_zone = "UTC") {
  options.insert(options.begin(), "lib.dat");
  return run_program(DOCVANE_BINARY, options, dir.path(), {"TZ=" + time_zone});
}

// Standard output from the scan line on, leaving out the banner.
inline std::string scan_output(const ProgramResult& result) {
  size_t start = result.out.find("Scanning Data File");
  return start == std::string::npos ? "<no scan line>\n" + result.out : result.out.substr(start);
}

// Names of the files the run left beside the library.
inline std::set<std::string> exported_names(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    std::string name = entry.path().filename().string();
    if (name != "lib.dat") names.insert(name);
  }
  return names;
}

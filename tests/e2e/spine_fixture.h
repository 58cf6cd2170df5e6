// What the end-to-end tests of the entry point and the run share: the texts
// every start prints, and small libraries made with the writer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/writer/btrieve_writer.h"
#include "mkvrax/vrax_record.h"
#include "support/test_support.h"

inline const std::string SPINE_BANNER = "DOCVANE Version 2.15e: 01/15 Copyright (c) 2026 the DOCVANE developers\n\n";

inline const std::string SPINE_USAGE =
    "This command exports the embedded VRAX data files to individual files.\n"
    "Usage:  DOCVANE Filename [/V8] [/F] [/T] [/C[Z]] [/U] [/Lx] [/D]\n"
    "    Add /F  to display currently supported file types and exit.\n"
    "    Add /T  to use the TXT extension for RQD Files.\n"
    "    Add /V8 to read the VRAX file as Orv V8 format.\n"
    "    Add /C  to export Contact ID as part of the Filename (omitting zeros).\n"
    "    Add /CZ to export Contact ID as part of the Filename (including zeros).\n"
    "    Add /U  to append the autoinc key to the end of the Filename.\n"
    "    Add /Lx to Enable the Linked Document Processor.\n"
    "            /LL = Export Long Names. (Default)\n"
    "            /LS = Export Short (8.3) Names.\n"
    "            /LC = Copy Data Files From Source Location.\n"
    "            /LW = Create Windows ShortCuts (LNK files).\n"
    "    Add /D  to enable DEBUG mode.\n";

// Writes a standard-layout library of `documents` at `path`; 1 on success.
inline int spine_write_library(const std::string& path, const std::vector<VraxDocument>& documents) {
  return write_vrax_library(path, documents, false, BtrieveWriterOptions{});
}

inline VraxDocument spine_document(const std::string& name, const std::string& type, std::vector<uint8_t> body) {
  VraxDocument document;
  document.owner_id = "ABC";
  document.document_name = name;
  document.type_description = type;
  document.body = std::move(body);
  return document;
}

inline ProgramResult run_docvane_in(const TempDir& dir, const std::vector<std::string>& args) {
  return run_program(DOCVANE_BINARY, args, dir.path());
}

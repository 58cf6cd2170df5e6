// Writes valid Btrieve data files for tests and samples: variable-length,
// data-only (no keys), uncompressed. Records are streamed to the file.
#pragma once

#include <cstdint>

struct BtrieveWriterOptions {
  uint16_t page_size = 4096;      // a multiple of 512, at most 4096
  uint16_t fixed_length = 178;    // every record is at least this long (0 allowed)
  int format_version8 = 0;        // 0: 6.0 format, 1: 8.0 format
  // Shapes a reader must cope with; all off by default.
  int current_copy_first = 0;     // 1: the newer copy of the FCR and of each PAT comes first in its pair
  int stale_older_copies = 0;     // 1: the older FCR and PAT copies describe an empty file
  int stale_data_page = 0;        // 1: an unmapped physical page holds an outdated copy of the first
                                  //    data page, and unused PAT entries point at it
  int directory_holes = 0;        // 1: on shared 'V' pages every fragment follows an unused (FFFF)
                                  //    directory entry
  uint32_t junk_pages = 0;        // pages of junk (looking like data pages) after the last page
};

struct BtrieveWriter;

// Starts a file at `native_path`; null when it cannot be created or the
// options are not usable.
BtrieveWriter* btrieve_writer_create(const char* native_path, const BtrieveWriterOptions& options);
// Appends a record of `length` (>= fixed_length) bytes. 1 on success.
int btrieve_writer_add(BtrieveWriter* writer, const void* record, uint64_t length);
// Appends a deleted (free) slot at the current position. 1 on success.
int btrieve_writer_add_deleted(BtrieveWriter* writer);
// The address that Get Position reports for the slot the next add or
// add_deleted call fills (the slot is not taken yet).
uint32_t btrieve_writer_next_address(const BtrieveWriter* writer);
// Writes the control pages, closes the file and frees the writer. 1 on success.
int btrieve_writer_finish(BtrieveWriter* writer);

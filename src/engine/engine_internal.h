// Shared pieces of the built-in record manager: statuses, the decoded file
// layout, the per-file state and the functions the engine's files share.
#pragma once

#include <cstdint>

#include "engine/engine.h"

// Engine statuses this reader returns.
constexpr int16_t STATUS_SUCCESS = 0;
constexpr int16_t STATUS_INVALID_OPERATION = 1;
constexpr int16_t STATUS_IO_ERROR = 2;
constexpr int16_t STATUS_FILE_NOT_OPEN = 3;
constexpr int16_t STATUS_INVALID_POSITIONING = 8;
constexpr int16_t STATUS_END_OF_FILE = 9;
constexpr int16_t STATUS_INVALID_FILE_NAME = 11;
constexpr int16_t STATUS_FILE_NOT_FOUND = 12;
constexpr int16_t STATUS_DATA_BUFFER_SHORT = 22;
constexpr int16_t STATUS_NOT_BTRIEVE_FILE = 30;
constexpr int16_t STATUS_INVALID_RECORD_ADDRESS = 43;
constexpr int16_t STATUS_ACCESS_DENIED = 46;
constexpr int16_t STATUS_INCORRECT_DESCRIPTOR = 62;
constexpr int16_t STATUS_FILE_TABLE_FULL = 86;
constexpr int16_t STATUS_CHUNK_OFFSET_TOO_BIG = 103;
// Internal only: the page asked for is not a data page (never returned).
constexpr int16_t STATUS_PAGE_NOT_DATA = -1;

constexpr uint32_t MAX_PAGE_SIZE = 16384;
constexpr int ENGINE_MAX_FILES = 16;
// 5.x slots are at least 5 bytes, so a page holds at most this many.
constexpr uint32_t MAX_SLOTS_PER_PAGE = MAX_PAGE_SIZE / 4;

constexpr uint32_t PAGE_TYPE_DATA = 0x44;
constexpr uint32_t PAGE_TYPE_VARIABLE = 0x56;

enum FormatFamily { FamilyV5 = 5, FamilyV6 = 6, FamilyV8 = 8 };

// The numbers of the current control record, decoded once at open.
struct FileLayout {
  int family;
  uint16_t version;  // absolute value of the version word
  uint32_t page_size;
  uint32_t fixed_length;
  uint32_t slot_length;
  uint32_t flags;
  int variable;
  int compressed;
  uint32_t slot_bits;          // 8.x record addresses: logical page << slot_bits | slot
  uint32_t page_header_size;   // 6 (5.x, 6.x) or 8 (8.x)
  uint32_t pointer_size;       // tail pointer: 4 or 6
  uint32_t var_header_size;    // 12 or 16
  uint32_t slots_per_page;
  uint64_t page_count;         // whole pages in the file
  uint32_t logical_page_limit; // logical pages in use (6.x/8.x), physical pages (5.x)
  uint32_t pat_entries;        // logical pages mapped by one page-allocation table
  uint32_t first_deleted;      // 5.x: file offset of the first deleted slot, or all ones
};

struct PageBuffer {
  int loaded;
  uint32_t page;  // logical page (6.x/8.x) or physical page (5.x)
  uint8_t bytes[MAX_PAGE_SIZE];
};

struct PatCache {
  int loaded;
  uint32_t table;  // which page-allocation table (0, 1, ...)
  uint8_t bytes[2 * MAX_PAGE_SIZE];
};

// Fragment directory facts of the variable page read last.
struct VarPageInfo {
  int loaded;
  uint32_t page;
  uint64_t physical;
  uint32_t fragment_count;
};

// Walks the payload bytes of a tail's fragment chain.
struct ChainCursor {
  uint32_t page;       // page of the fragment being read
  uint64_t physical;   // its physical page
  uint32_t position;   // next payload byte within the page
  uint32_t end;        // end of the payload within the page
  uint8_t next[6];     // the fragment's next pointer
  int last;            // no fragment follows this one
  int finished;        // the chain has ended
  // Loop detection (Brent): one remembered fragment, compared with each new one.
  uint64_t saved_fragment;
  uint64_t power;
  uint64_t steps;
  uint64_t walked;
};

enum RunPhase { PhaseLiteralCount, PhaseLiteral, PhaseRepeatCount, PhaseRepeatByte, PhaseRepeat };

// State of the run-length decoder of compressed records.
struct RunDecoder {
  int phase;
  uint32_t remaining;
  uint32_t count;
  int count_bytes;
  uint8_t repeat_byte;
};

// The record being read: fixed part, then tail (or the expanded compressed
// record). Kept between calls so consecutive chunks continue where they ended.
struct RecordCursor {
  int valid;
  uint32_t address;
  uint64_t offset;  // record bytes passed so far
  uint32_t fixed_length;
  uint32_t fixed_position;
  int has_chain;
  ChainCursor chain;
  RunDecoder decoder;
  uint8_t fixed[MAX_PAGE_SIZE];
};

struct OpenFile {
  int in_use;
  uint32_t generation;
  ByteSource source;
  FileLayout layout;
  // Where Step Next continues, and the record Step or Get Direct named last.
  uint32_t next_page;
  uint32_t next_slot;
  int has_current;
  uint32_t current_page;
  uint32_t current_slot;
  PageBuffer data_page;
  uint8_t deleted_slots[MAX_SLOTS_PER_PAGE / 8];  // 5.x: slots of data_page on the deleted chain
  // Two tables, so a walk whose data pages and tail pages lie in different
  // table groups does not read the tables again and again.
  PatCache pats[2];
  int pat_recent;  // the entry of pats used last
  VarPageInfo var_page;
  RecordCursor cursor;
};

// --- little-endian helpers (callers have checked the bounds) ---
inline uint32_t read_u16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | (p[1] << 8)); }
inline uint32_t read_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
// High word first, each word little-endian.
inline uint32_t read_word_swapped(const uint8_t* p) { return (read_u16(p) << 16) | read_u16(p + 2); }
inline void write_u32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}

// Reads bytes of the file; 1 on success.
int source_read(OpenFile* file, uint64_t offset, void* buffer, uint32_t length);
// Reads `count` whole pages starting at a physical page; 1 on success.
int read_physical_pages(OpenFile* file, uint64_t physical, uint8_t* out, uint32_t count);

// fcr.cpp: recognises the file and decodes its control record.
int16_t fcr_decode(const ByteSource& source, FileLayout* layout);

// file_source.cpp: a byte source over a named file.
int16_t file_source_open(const char* native_path, ByteSource* source);

// page_map.cpp: logical pages through the page-allocation tables.
int16_t page_map_lookup(OpenFile* file, uint32_t logical, uint64_t* physical, uint32_t* type);
int16_t load_data_page(OpenFile* file, uint32_t page);
int16_t load_var_page(OpenFile* file, uint32_t page);
// First logical page of the table after the one that holds `logical`.
uint32_t next_table_start(const FileLayout& layout, uint32_t logical);
// 1 when table `table` could be read and is in the cache.
int table_is_cached(const OpenFile* file, uint32_t table);
// First page the walk looks at: 1 in every family (page 0 is the control record).
constexpr uint32_t FIRST_WALK_PAGE = 1;

// slot.cpp: slots of the cached data page.
const uint8_t* slot_bytes(const OpenFile* file, uint32_t slot);
int slot_is_live(const OpenFile* file, uint32_t slot);
uint32_t record_address(const FileLayout& layout, uint32_t page, uint32_t slot);
int address_to_slot(const FileLayout& layout, uint32_t address, uint32_t* page, uint32_t* slot);

// deleted_chain.cpp: 5.x deleted slots of the cached data page.
int16_t mark_deleted_slots(OpenFile* file, uint32_t data_page);

// fragment_chain.cpp: payload bytes of a tail's fragments.
void chain_begin(const FileLayout& layout, ChainCursor* chain, const uint8_t* pointer);
int16_t chain_fill(OpenFile* file, ChainCursor* chain);
int16_t chain_take(OpenFile* file, ChainCursor* chain, uint8_t* out, uint64_t want, uint32_t* taken);

// record_cursor.cpp: the bytes of one record in order.
void cursor_begin(OpenFile* file, uint32_t page, uint32_t slot);
int16_t cursor_read(OpenFile* file, uint8_t* out, uint64_t want, uint64_t* got);
int16_t cursor_has_more(OpenFile* file, int* more);

// run_decoder.cpp: the run-length code of compressed records.
void run_decoder_begin(RunDecoder* decoder);
int16_t run_decoder_read(OpenFile* file, uint8_t* out, uint64_t want, uint64_t* got);
int16_t run_decoder_has_more(OpenFile* file, int* more);

// record_walk.cpp: Step First / Step Next.
int16_t walk_step(OpenFile* file, int first, uint8_t* out, uint32_t* length);

// chunk_read.cpp: Get Position and Get Direct/Chunk.
int16_t get_position(OpenFile* file, uint8_t* out, uint32_t* length);
int16_t get_direct_chunk(OpenFile* file, uint8_t* buffer, uint32_t* length);

// Internal state of the test-file writer, shared by its source files.
#pragma once

#include <cstdint>

#include "engine/writer/btrieve_writer.h"
#include "platform/platform.h"

constexpr uint32_t WRITER_MAX_PAGE = 4096;
// Fragment numbers are one byte in 6.x pointers and 0xFF ends a chain, so a
// page holds fewer fragments than that in either format.
constexpr uint16_t WRITER_MAX_FRAGMENTS = 254;

constexpr uint8_t PAGE_TYPE_DATA = 0x44;
constexpr uint8_t PAGE_TYPE_VARIABLE = 0x56;

// Sizes and places that follow from the format version and page size.
struct WriterGeometry {
  uint32_t page_size;
  int version8;
  uint32_t page_header_size;      // 6 or 8
  uint32_t pointer_size;          // 4 or 6
  uint32_t variable_header_size;  // 12 or 16
  uint32_t slot_length;
  uint32_t slots_per_page;
  uint32_t pat_capacity;          // logical pages one PAT maps
  uint32_t pat_pages;             // pages of one PAT copy: 1 or 2
  uint32_t fcr_pages;             // pages of one FCR copy: 1 or 2
  uint32_t slot_bits;             // 8.x record addresses only
  uint32_t max_logical_page;      // highest logical page the format can name
};

// Where a tail fragment lies.
struct FragmentPointer {
  uint32_t logical_page;
  uint32_t fragment;
  int null;
};

// A page being filled in memory; written when full or at finish.
struct OpenPage {
  uint8_t bytes[WRITER_MAX_PAGE];
  uint32_t logical;
  uint32_t physical;
  int open;
};

struct BtrieveWriter {
  PlatformFile file;
  BtrieveWriterOptions options;
  WriterGeometry geometry;
  int failed;

  uint32_t next_logical;          // next logical page to hand out
  uint32_t next_physical;         // next free physical page, control pages skipped

  OpenPage data_page;
  uint32_t data_slots_used;
  OpenPage shared_variable_page;  // holds small tails of several records
  uint16_t shared_fragments;
  uint32_t shared_free_offset;
  OpenPage whole_page;            // scratch page for one fragment of a long tail

  uint8_t pat_entries[2 * WRITER_MAX_PAGE];  // the PAT being filled, as its current copy
  uint8_t scratch[2 * WRITER_MAX_PAGE];      // older PAT copies, stale pages, FCR copies
  uint32_t pat_number;            // which PAT pat_entries belongs to

  uint32_t record_count;
  uint32_t free_slot_head;        // address of the last freed slot
  int has_free_slot;
  uint32_t data_pages_written;
  uint32_t stale_physical;        // 0 when no stale data page was written
};

// writer_geometry.cpp
int writer_derive_geometry(const BtrieveWriterOptions& options, WriterGeometry* geometry);
uint32_t writer_first_data_physical(const WriterGeometry& geometry);
int writer_is_control_physical(const WriterGeometry& geometry, uint32_t physical);
uint32_t writer_pat_physical(const WriterGeometry& geometry, uint32_t pat_number);

// writer_bytes.cpp
void put_u16(uint8_t* at, uint32_t value);
void put_u32(uint8_t* at, uint32_t value);
void put_u32_word_swapped(uint8_t* at, uint32_t value);
void put_fragment_pointer(const WriterGeometry& geometry, uint8_t* at, FragmentPointer pointer);
void put_page_header(const WriterGeometry& geometry, uint8_t* page, uint32_t logical, uint8_t type,
                     uint16_t usage);

// writer_pages.cpp
int writer_write_physical(BtrieveWriter* writer, uint32_t physical, const uint8_t* bytes, uint32_t pages);
uint32_t writer_take_physical(BtrieveWriter* writer);
int writer_open_page(BtrieveWriter* writer, OpenPage* page, uint8_t type);
int writer_flush_page(BtrieveWriter* writer, OpenPage* page);
int writer_write_pat(BtrieveWriter* writer);

// writer_tail.cpp
int writer_store_tail(BtrieveWriter* writer, const uint8_t* tail, uint64_t length, FragmentPointer* first);
int writer_flush_shared_variable_page(BtrieveWriter* writer);

// writer_slots.cpp
uint32_t writer_slot_address(const WriterGeometry& geometry, uint32_t logical, uint32_t slot);
int writer_flush_data_page(BtrieveWriter* writer);
int writer_write_junk_pages(BtrieveWriter* writer);

// writer_control.cpp
int writer_write_fcr_pair(BtrieveWriter* writer);

// Byte encoders for the on-disk fields the writer produces.
#include "engine/writer/writer_state.h"

void put_u16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void put_u32(uint8_t* at, uint32_t value) {
  put_u16(at, value & 0xFFFFu);
  put_u16(at + 2, value >> 16);
}

// Counts and 6.x record addresses keep their high 16-bit word first.
void put_u32_word_swapped(uint8_t* at, uint32_t value) {
  put_u16(at, value >> 16);
  put_u16(at + 2, value & 0xFFFFu);
}

void put_fragment_pointer(const WriterGeometry& geometry, uint8_t* at, FragmentPointer pointer) {
  if (pointer.null) {
    for (uint32_t i = 0; i < geometry.pointer_size; i++) at[i] = 0xFF;
    return;
  }
  if (geometry.version8) {
    put_u32(at, pointer.logical_page);
    put_u16(at + 4, pointer.fragment);
    return;
  }
  // 6.x: [page bits 16-23][bits 0-7][bits 8-15][fragment]
  at[0] = static_cast<uint8_t>(pointer.logical_page >> 16);
  at[1] = static_cast<uint8_t>(pointer.logical_page);
  at[2] = static_cast<uint8_t>(pointer.logical_page >> 8);
  at[3] = static_cast<uint8_t>(pointer.fragment);
}

void put_page_header(const WriterGeometry& geometry, uint8_t* page, uint32_t logical, uint8_t type,
                     uint16_t usage) {
  if (geometry.version8) {
    put_u32(page, logical);
    put_u16(page + 4, type);
    put_u16(page + 6, usage);
    return;
  }
  page[0] = static_cast<uint8_t>(logical >> 16);
  page[1] = type;
  put_u16(page + 2, logical & 0xFFFFu);
  put_u16(page + 4, usage);
}

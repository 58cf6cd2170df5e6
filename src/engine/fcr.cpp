// Recognises a data file and decodes its current control record into the
// numbers the reader needs. Anything this reader cannot read safely is
// refused here, so the walk can trust these numbers.
#include <cstring>

#include "engine/engine_internal.h"

namespace {

constexpr uint32_t FCR_BYTES = 512;  // every field used lies in the first 512 bytes

constexpr uint32_t FLAG_VARIABLE = 0x0001;
constexpr uint32_t FLAG_BLANK_TRUNCATION = 0x0002;
constexpr uint32_t FLAG_COMPRESSED = 0x0008;
constexpr uint32_t FLAG_KEY_ONLY = 0x0010;
constexpr uint32_t FLAG_VAT = 0x0800;

int read_fcr(const ByteSource& source, uint64_t offset, uint8_t* out) {
  if (offset > source.size || source.size - offset < FCR_BYTES) return 0;
  return source.read_at(source.context, offset, out, FCR_BYTES);
}

uint16_t version_word(const uint8_t* fcr, uint32_t at) {
  int16_t word = static_cast<int16_t>(read_u16(fcr + at));
  // A negative word only says an owner name is set; the layout is the same.
  int value = word < 0 ? -static_cast<int>(word) : word;
  return static_cast<uint16_t>(value);
}

int plausible_page_size(uint32_t page_size) {
  return page_size >= 512 && page_size <= MAX_PAGE_SIZE && page_size % 512 == 0;
}

int family_of(uint16_t version, int has_signature) {
  if ((version & 0x000F) != 0) return 0;
  uint32_t major = version >> 8;
  if (!has_signature) return (major >= 3 && major <= 5) ? FamilyV5 : 0;
  if (major == 6 || major == 7) return FamilyV6;
  if (version >= 0x0800 && version <= 0x0900) return FamilyV8;
  return 0;  // 9.5 and later, or unknown
}

uint32_t page_size_of(const uint8_t* fcr, int family) {
  return read_u16(fcr + (family == FamilyV8 ? 0x2A : 0x08));
}

uint32_t usage_of(const uint8_t* fcr, int family) {
  return family == FamilyV8 ? read_u16(fcr + 6) : read_u32(fcr + 4);
}

// 6.x and 8.x keep two copies of the control record; the one with the
// larger usage count is current. A damaged second copy leaves the first.
void choose_current_copy(const ByteSource& source, uint8_t* fcr, int family) {
  uint32_t page_size = page_size_of(fcr, family);
  uint64_t second = static_cast<uint64_t>(page_size) * (family == FamilyV8 ? 2 : 1);
  uint8_t other[FCR_BYTES];
  if (!read_fcr(source, second, other)) return;
  if (std::memcmp(other, "FC\0\0", 4) != 0) return;
  if (version_word(other, 0x4A) != version_word(fcr, 0x4A)) return;
  if (page_size_of(other, family) != page_size) return;
  if (usage_of(other, family) > usage_of(fcr, family)) std::memcpy(fcr, other, FCR_BYTES);
}

void decode_fields(const uint8_t* fcr, int family, FileLayout* layout) {
  layout->family = family;
  layout->page_size = page_size_of(fcr, family);
  layout->fixed_length = read_u16(fcr + 0x16);
  layout->slot_length = read_u16(fcr + 0x18);
  layout->flags = read_u16(fcr + (family == FamilyV8 ? 0x190 : 0x106));
  layout->variable = (layout->flags & FLAG_VARIABLE) != 0;
  layout->compressed = (layout->flags & FLAG_COMPRESSED) != 0;
  layout->page_header_size = family == FamilyV8 ? 8 : 6;
  layout->pointer_size = family == FamilyV8 ? 6 : 4;
  layout->var_header_size = family == FamilyV8 ? 16 : 12;
  layout->slot_bits = family == FamilyV8 ? fcr[0x15F] : 0;
  layout->first_deleted = family == FamilyV5 ? read_word_swapped(fcr + 0x10) : 0xFFFFFFFFu;
  if (family == FamilyV5) {
    layout->logical_page_limit = 0;  // set from the file size below
  } else {
    layout->logical_page_limit = read_word_swapped(fcr + 0x26);
  }
  if (family == FamilyV6) layout->pat_entries = layout->page_size / 4 - 2;
  if (family == FamilyV8) layout->pat_entries = 5 * layout->page_size / 16 - 4;
}

// Bytes a live slot needs before any duplicate pointers.
uint32_t minimum_slot_length(const FileLayout& layout) {
  if (layout.compressed) return layout.pointer_size + 3;
  uint32_t usage = layout.family == FamilyV5 ? 0 : 2;
  return usage + layout.fixed_length + (layout.variable ? layout.pointer_size : 0);
}

int layout_refused(const FileLayout& layout) {
  if (layout.flags & (FLAG_VAT | FLAG_KEY_ONLY)) return 1;
  // Where the count of truncated blanks sits is not known well enough to trust.
  if ((layout.flags & FLAG_BLANK_TRUNCATION) && (layout.variable || layout.compressed)) return 1;
  // The slot layout of compressed 5.x files is not known.
  if (layout.family == FamilyV5 && layout.compressed) return 1;
  return 0;
}

int slots_plausible(const uint8_t* fcr, FileLayout* layout) {
  if (layout->fixed_length == 0 && !layout->variable && !layout->compressed) return 0;
  if (layout->slot_length < minimum_slot_length(*layout)) return 0;
  if (layout->family == FamilyV5 && layout->slot_length < 5) return 0;
  if (layout->slot_length > layout->page_size - layout->page_header_size) return 0;
  layout->slots_per_page = (layout->page_size - layout->page_header_size) / layout->slot_length;
  if (layout->family == FamilyV5) return 1;
  uint32_t duplicate_offset = read_u16(fcr + 0x72);
  uint32_t duplicate_count = read_u16(fcr + 0x74);
  if (duplicate_count != 0 && duplicate_offset + 8 * duplicate_count > layout->slot_length) return 0;
  return 1;
}

int page_limit_plausible(FileLayout* layout) {
  uint64_t limit = layout->logical_page_limit;
  if (layout->family == FamilyV8) {
    if (layout->slot_bits < 1 || layout->slot_bits > 16) return 0;
    if ((1u << layout->slot_bits) < layout->slots_per_page) return 0;
    // Every record address must fit in 32 bits.
    return limit <= (uint64_t{1} << (32 - layout->slot_bits));
  }
  return limit * layout->page_size <= (uint64_t{1} << 32);
}

}  // namespace

int16_t fcr_decode(const ByteSource& source, FileLayout* layout) {
  std::memset(layout, 0, sizeof *layout);
  uint8_t fcr[FCR_BYTES];
  if (!read_fcr(source, 0, fcr)) return STATUS_NOT_BTRIEVE_FILE;
  int has_signature = std::memcmp(fcr, "FC\0\0", 4) == 0;
  if (!has_signature && read_u32(fcr) != 0) return STATUS_NOT_BTRIEVE_FILE;
  uint16_t version = version_word(fcr, has_signature ? 0x4A : 0x06);
  int family = family_of(version, has_signature);
  if (family == 0) return STATUS_NOT_BTRIEVE_FILE;
  if (!plausible_page_size(page_size_of(fcr, family))) return STATUS_NOT_BTRIEVE_FILE;
  if (family != FamilyV5) choose_current_copy(source, fcr, family);
  // "Needs recovery" mark of 5.x files: their pages may be half written.
  if (family == FamilyV5 && read_u16(fcr + 0x22) == 0xFFFF) return STATUS_NOT_BTRIEVE_FILE;
  decode_fields(fcr, family, layout);
  layout->version = version;
  layout->page_count = source.size / layout->page_size;
  if (family == FamilyV5) {
    layout->logical_page_limit =
        layout->page_count > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(layout->page_count);
  }
  uint64_t minimum_pages = family == FamilyV8 ? 12 : family == FamilyV6 ? 4 : 1;
  if (layout->page_count < minimum_pages) return STATUS_NOT_BTRIEVE_FILE;
  if (layout_refused(*layout)) return STATUS_NOT_BTRIEVE_FILE;
  if (!slots_plausible(fcr, layout)) return STATUS_NOT_BTRIEVE_FILE;
  if (!page_limit_plausible(layout)) return STATUS_NOT_BTRIEVE_FILE;
  return STATUS_SUCCESS;
}

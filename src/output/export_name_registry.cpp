// The export names created in this run. Only 64-bit hashes of the case-folded
// names are kept, in an open-addressing table, so that a run of 100 000
// documents needs about 2 MB. Two different names with the same hash would
// only cost the second one an unneeded "(n)"; no file is ever overwritten by
// that.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/output.h"
#include "record/record.h"

struct ExportNameRegistry {
  uint64_t* slots;  // 0 marks an empty slot
  size_t capacity;  // a power of two
  size_t count;
};

namespace {

constexpr size_t FIRST_CAPACITY = 1024;
constexpr size_t MARKER_SIZE = 16;  // room for "(4294967295)"

char fold_ascii_case(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// FNV-1a over the case-folded bytes, then a final mix so the low bits that
// pick the slot depend on every byte.
uint64_t hash_export_name(const char* name) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char* p = name; *p != '\0'; ++p) {
    hash ^= static_cast<unsigned char>(fold_ascii_case(*p));
    hash *= 0x100000001b3ULL;
  }
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdULL;
  hash ^= hash >> 33;
  return hash == 0 ? 1 : hash;
}

size_t slot_of(const ExportNameRegistry* registry, uint64_t hash) {
  size_t mask = registry->capacity - 1;
  size_t slot = static_cast<size_t>(hash) & mask;
  while (registry->slots[slot] != 0 && registry->slots[slot] != hash) slot = (slot + 1) & mask;
  return slot;
}

int is_claimed(const ExportNameRegistry* registry, uint64_t hash) {
  return registry->slots[slot_of(registry, hash)] == hash;
}

int grow_registry(ExportNameRegistry* registry) {
  size_t new_capacity = registry->capacity * 2;
  uint64_t* new_slots = static_cast<uint64_t*>(std::calloc(new_capacity, sizeof(uint64_t)));
  if (new_slots == nullptr) return 0;
  uint64_t* old_slots = registry->slots;
  size_t old_capacity = registry->capacity;
  registry->slots = new_slots;
  registry->capacity = new_capacity;
  for (size_t i = 0; i < old_capacity; ++i)
    if (old_slots[i] != 0) registry->slots[slot_of(registry, old_slots[i])] = old_slots[i];
  std::free(old_slots);
  return 1;
}

// Keeps the table at most half full so that probe runs stay short. When it
// cannot grow, the name stays unrecorded: a later duplicate would then replace
// this file, which is how names behave without the registry.
void record_hash(ExportNameRegistry* registry, uint64_t hash) {
  if ((registry->count + 1) * 2 > registry->capacity && !grow_registry(registry)) return;
  size_t slot = slot_of(registry, hash);
  if (registry->slots[slot] == hash) return;
  registry->slots[slot] = hash;
  registry->count++;
}

int fits_export_path(const char* name) {
  return std::strlen(name) <= EXPORT_NAME_MAX && platform_name_length(name) <= EXPORT_NAME_MAX;
}

// Builds stem + "(number)" + tail into `candidate`, dropping bytes from the
// end of the stem until the whole name fits. 0 when even an empty stem does
// not leave room.
int build_numbered_name(const char* export_path, size_t extension_start, unsigned number,
                        char candidate[EXPORT_PATH_SIZE]) {
  char marker[MARKER_SIZE];
  std::snprintf(marker, sizeof marker, "(%u)", number);
  const char* tail = export_path + extension_start;
  size_t marker_length = std::strlen(marker);
  size_t tail_length = std::strlen(tail);
  if (marker_length + tail_length > EXPORT_NAME_MAX) return 0;
  size_t stem_length = extension_start;
  if (stem_length + marker_length + tail_length > EXPORT_NAME_MAX)
    stem_length = EXPORT_NAME_MAX - marker_length - tail_length;
  for (;;) {
    std::memcpy(candidate, export_path, stem_length);
    std::memcpy(candidate + stem_length, marker, marker_length);
    std::memcpy(candidate + stem_length + marker_length, tail, tail_length + 1);
    if (fits_export_path(candidate)) return 1;
    if (stem_length == 0) return 0;
    stem_length--;
  }
}

// The first "(n)" name, n = 2, 3, ..., that this run has not claimed. With
// `count` hashes recorded, one of the first count + 1 numbers must be free.
int find_free_numbered_name(const ExportNameRegistry* registry, const char* export_path, size_t extension_start,
                            char candidate[EXPORT_PATH_SIZE]) {
  for (size_t number = 2; number <= registry->count + 2 && number <= UINT32_MAX; ++number) {
    if (!build_numbered_name(export_path, extension_start, static_cast<unsigned>(number), candidate)) return 0;
    if (!is_claimed(registry, hash_export_name(candidate))) return 1;
  }
  return 0;
}

}  // namespace

ExportNameRegistry* create_export_name_registry() {
  ExportNameRegistry* registry = static_cast<ExportNameRegistry*>(std::calloc(1, sizeof(ExportNameRegistry)));
  if (registry == nullptr) return nullptr;
  registry->slots = static_cast<uint64_t*>(std::calloc(FIRST_CAPACITY, sizeof(uint64_t)));
  if (registry->slots == nullptr) {
    std::free(registry);
    return nullptr;
  }
  registry->capacity = FIRST_CAPACITY;
  return registry;
}

void destroy_export_name_registry(ExportNameRegistry* registry) {
  if (registry == nullptr) return;
  std::free(registry->slots);
  std::free(registry);
}

void claim_export_name(ExportNameRegistry* registry, char* export_path, size_t extension_start) {
  if (registry == nullptr) return;
  size_t length = std::strlen(export_path);
  if (extension_start > length) extension_start = length;
  uint64_t hash = hash_export_name(export_path);
  if (is_claimed(registry, hash)) {
    char candidate[EXPORT_PATH_SIZE];
    if (!find_free_numbered_name(registry, export_path, extension_start, candidate)) return;
    std::memcpy(export_path, candidate, std::strlen(candidate) + 1);
    hash = hash_export_name(export_path);
  }
  record_hash(registry, hash);
}

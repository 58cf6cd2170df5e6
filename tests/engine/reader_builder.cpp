#include "reader_builder.h"

#include <algorithm>
#include <cstring>

namespace {

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b.at(at) = static_cast<uint8_t>(v);
  b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  put16(b, at, v & 0xFFFF);
  put16(b, at + 2, v >> 16);
}
void put_swapped(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  put16(b, at, v >> 16);
  put16(b, at + 2, v & 0xFFFF);
}

void append16(std::vector<uint8_t>& out, size_t n) {
  out.push_back(static_cast<uint8_t>(n));
  out.push_back(static_cast<uint8_t>(n >> 8));
}

struct Geometry {
  int v8;
  uint32_t ps, header, pointer, var_header, entry, slot, slots_per_page, slot_bits;
  uint64_t first_mapped;  // physical page of logical page 1
};

Geometry geometry_of(const CompressedFileOptions& o) {
  Geometry g{};
  g.v8 = o.version8;
  g.ps = o.page_size;
  g.header = g.v8 ? 8 : 6;
  g.pointer = g.v8 ? 6 : 4;
  g.var_header = g.v8 ? 16 : 12;
  g.entry = g.pointer + 3;
  g.slot = g.entry + 8 * o.duplicate_pointers;
  g.slots_per_page = (g.ps - g.header) / g.slot;
  g.slot_bits = 4;
  while ((1u << g.slot_bits) < g.slots_per_page) ++g.slot_bits;
  g.first_mapped = g.v8 ? 12 : 4;
  return g;
}

void put_pointer(const Geometry& g, std::vector<uint8_t>& b, size_t at, uint32_t page, uint32_t fragment) {
  if (g.v8) {
    put32(b, at, page);
    put16(b, at + 4, fragment);
    return;
  }
  b.at(at) = static_cast<uint8_t>(page >> 16);
  b.at(at + 1) = static_cast<uint8_t>(page);
  b.at(at + 2) = static_cast<uint8_t>(page >> 8);
  b.at(at + 3) = static_cast<uint8_t>(fragment);
}

void put_null_pointer(const Geometry& g, std::vector<uint8_t>& b, size_t at) {
  std::fill(b.begin() + at, b.begin() + at + g.pointer, 0xFF);
}

void put_page_header(const Geometry& g, std::vector<uint8_t>& b, size_t at, uint32_t logical, uint32_t type,
                     uint32_t usage) {
  if (g.v8) {
    put32(b, at, logical);
    put16(b, at + 4, type);
  } else {
    b.at(at) = static_cast<uint8_t>(logical >> 16);
    b.at(at + 1) = static_cast<uint8_t>(type);
    put16(b, at + 2, logical & 0xFFFF);
  }
  put16(b, at + (g.v8 ? 6 : 4), usage);
}

struct Fragment {
  uint32_t page;  // logical
  uint32_t index;
  std::vector<uint8_t> payload;
};

struct VarPage {
  uint32_t used;
  std::vector<uint32_t> offsets;
};

void write_fcr(const Geometry& g, const CompressedFileOptions& o, std::vector<uint8_t>& b, size_t at, uint32_t usage,
               uint32_t records, uint32_t pages_in_use) {
  std::memcpy(&b.at(at), "FC\0\0", 4);
  if (g.v8) {
    put16(b, at + 4, 0x43);
    put16(b, at + 6, usage);
    put16(b, at + 0x2A, g.ps);
    b.at(at + 0x15F) = static_cast<uint8_t>(g.slot_bits);
    put16(b, at + 0x190, 0x0009);
  } else {
    put32(b, at + 4, usage);
    put16(b, at + 8, g.ps);
    put16(b, at + 0x106, 0x0009);
  }
  put16(b, at + 0x16, 0);
  put16(b, at + 0x18, g.slot);
  put_swapped(b, at + 0x1A, records);
  put_swapped(b, at + 0x26, pages_in_use);
  b.at(at + 0x38) = 0xFF;
  uint16_t version = o.version_word ? o.version_word : (g.v8 ? 0x0800 : 0x0600);
  put16(b, at + 0x4A, version);
  put16(b, at + 0x72, o.duplicate_pointers ? g.entry : 0);
  put16(b, at + 0x74, o.duplicate_pointers);
}

void write_pat(const Geometry& g, std::vector<uint8_t>& b, size_t at, uint32_t usage,
               const std::vector<uint32_t>& types) {
  if (g.v8) {
    b.at(at) = 1;
    b.at(at + 3) = 'P';
    b.at(at + 4) = 'P';
    put16(b, at + 6, usage);
  } else {
    b.at(at) = 'P';
    b.at(at + 1) = 'P';
    put16(b, at + 2, 1);
    put32(b, at + 4, usage);
  }
  for (uint32_t logical = 1; logical < types.size(); ++logical) {
    uint32_t physical = static_cast<uint32_t>(g.first_mapped + logical - 1);
    if (g.v8) {
      put32(b, at + 20 + 6 * (logical - 1), physical);
      put16(b, at + 20 + 6 * (logical - 1) + 4, types[logical]);
    } else {
      size_t entry = at + 4 + 4 * logical;
      b.at(entry) = static_cast<uint8_t>(physical >> 16);
      b.at(entry + 1) = static_cast<uint8_t>(types[logical]);
      b.at(entry + 2) = static_cast<uint8_t>(physical);
      b.at(entry + 3) = static_cast<uint8_t>(physical >> 8);
    }
  }
}

}  // namespace

std::vector<uint8_t> run_length_encode(const std::vector<uint8_t>& record) {
  std::vector<uint8_t> out;
  size_t i = 0;
  auto run_at = [&](size_t at) {
    size_t n = 1;
    while (at + n < record.size() && record[at + n] == record[at] && n < 0xFFFF) ++n;
    return n;
  };
  while (true) {
    size_t start = i;
    while (i < record.size() && run_at(i) < 4 && i - start < 0xFFFF) ++i;
    append16(out, i - start);
    out.insert(out.end(), record.begin() + start, record.begin() + i);
    if (i == record.size()) break;
    size_t n = run_at(i) >= 4 ? run_at(i) : 0;
    append16(out, n);
    out.push_back(record[i]);
    i += n;
    if (i == record.size()) break;
  }
  return out;
}

std::vector<uint8_t> build_compressed_file(const CompressedFileOptions& options,
                                           const std::vector<CompressedSlot>& slots,
                                           std::vector<uint32_t>* addresses) {
  Geometry g = geometry_of(options);
  uint32_t data_pages = static_cast<uint32_t>((slots.size() + g.slots_per_page - 1) / g.slots_per_page);
  if (data_pages == 0) data_pages = 1;
  // Place every fragment: on the current variable page while it has room.
  std::vector<std::vector<Fragment>> chains(slots.size());
  std::vector<VarPage> var_pages;
  for (size_t s = 0; s < slots.size(); ++s) {
    const std::vector<uint8_t>& stored = slots[s].stored;
    for (size_t at = 0; at < stored.size(); at += options.fragment_payload) {
      size_t n = std::min<size_t>(options.fragment_payload, stored.size() - at);
      auto fits = [&](const VarPage& p) {
        size_t directory = 2 * (p.offsets.size() + 2);
        return p.offsets.size() < options.fragments_per_page && p.used + g.pointer + n + directory <= g.ps;
      };
      if (var_pages.empty() || !fits(var_pages.back())) var_pages.push_back(VarPage{g.var_header, {}});
      VarPage& page = var_pages.back();
      Fragment fragment{data_pages + static_cast<uint32_t>(var_pages.size()),
                        static_cast<uint32_t>(page.offsets.size()),
                        std::vector<uint8_t>(stored.begin() + at, stored.begin() + at + n)};
      page.offsets.push_back(page.used);
      page.used += static_cast<uint32_t>(g.pointer + n);
      chains[s].push_back(fragment);
    }
  }
  uint32_t pages_in_use = 1 + data_pages + static_cast<uint32_t>(var_pages.size());
  std::vector<uint8_t> b((g.first_mapped + pages_in_use - 1) * g.ps, 0);
  std::vector<uint32_t> types(pages_in_use, 0);
  for (uint32_t d = 1; d <= data_pages; ++d) {
    types[d] = 0x44;
    put_page_header(g, b, (g.first_mapped + d - 1) * g.ps, d, 0x44, 0x8001);
  }
  for (uint32_t v = 0; v < var_pages.size(); ++v) {
    uint32_t logical = data_pages + 1 + v;
    types[logical] = 0x56;
    size_t page = (g.first_mapped + logical - 1) * g.ps;
    put_page_header(g, b, page, logical, 0x56, 1);
    std::fill(b.begin() + page + g.header, b.begin() + page + g.var_header - 2, 0xFF);
    put16(b, page + g.var_header - 2, static_cast<uint32_t>(var_pages[v].offsets.size()));
    for (size_t k = 0; k < var_pages[v].offsets.size(); ++k) put16(b, page + g.ps - 2 * (k + 1), var_pages[v].offsets[k]);
    put16(b, page + g.ps - 2 * (var_pages[v].offsets.size() + 1), var_pages[v].used);
  }
  uint32_t live = 0;
  for (size_t s = 0; s < slots.size(); ++s) {
    uint32_t logical = static_cast<uint32_t>(1 + s / g.slots_per_page);
    uint32_t index = static_cast<uint32_t>(s % g.slots_per_page);
    size_t slot = (g.first_mapped + logical - 1) * g.ps + g.header + index * g.slot;
    addresses->push_back(g.v8 ? (logical << g.slot_bits) | index
                              : static_cast<uint32_t>(logical * g.ps + g.header + index * g.slot));
    const std::vector<Fragment>& chain = chains[s];
    if (chain.empty()) {
      put_null_pointer(g, b, slot);
    } else {
      put_pointer(g, b, slot, chain[0].page, chain[0].index);
    }
    b.at(slot + g.pointer) = slots[s].deleted ? 0 : 1;
    put16(b, slot + g.pointer + 1, slots[s].deleted ? 0 : 1);
    live += slots[s].deleted ? 0 : 1;
    for (size_t f = 0; f < chain.size(); ++f) {
      uint32_t v = chain[f].page - data_pages - 1;
      size_t at = (g.first_mapped + chain[f].page - 1) * g.ps + var_pages[v].offsets[chain[f].index];
      if (f + 1 < chain.size()) {
        put_pointer(g, b, at, chain[f + 1].page, chain[f + 1].index);
      } else {
        put_null_pointer(g, b, at);
      }
      std::copy(chain[f].payload.begin(), chain[f].payload.end(), b.begin() + at + g.pointer);
    }
  }
  size_t copy_pages = g.v8 ? 2 : 1;
  write_fcr(g, options, b, 0, 1, live, pages_in_use);
  write_fcr(g, options, b, copy_pages * g.ps, 2, live, pages_in_use);
  size_t pat = g.v8 ? 8 : 2;
  write_pat(g, b, pat * g.ps, 1, types);
  write_pat(g, b, (pat + copy_pages) * g.ps, 2, types);
  return b;
}

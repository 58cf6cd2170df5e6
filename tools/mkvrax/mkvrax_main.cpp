// mkvrax: writes a sample VRAX library, or a bulk one for benchmarks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "vrax_record.h"

// Bulk bodies are built in memory one record at a time.
constexpr uint64_t MAX_BULK_BODY = 64ull * 1024 * 1024;

struct MkvraxOptions {
  const char* out_path = nullptr;
  int bulk = 0;
  uint64_t documents = 0;
  uint64_t size = 0;
  int have_documents = 0, have_size = 0;
  bool version8 = false;
  BtrieveWriterOptions file;
};

static void print_usage() {
  std::fprintf(stderr,
               "usage: mkvrax [--version8] [--page-size P] [--file-format8] OUT.DAT\n"
               "       mkvrax --documents N --size BYTES [--version8] [--page-size P] [--file-format8] OUT.DAT\n"
               "  --version8      records in the version 8 layout (read with /V8)\n"
               "  --page-size P   Btrieve page size: 512, 1024, ... 4096 (default 4096)\n"
               "  --file-format8  Btrieve 8.0 file format instead of 6.0\n"
               "  --documents N   write N documents of BYTES body bytes each (at most %llu)\n",
               static_cast<unsigned long long>(MAX_BULK_BODY));
}

static int parse_number(const char* text, uint64_t* value) {
  if (text == nullptr || *text < '0' || *text > '9') return 0;
  char* end = nullptr;
  unsigned long long parsed = std::strtoull(text, &end, 10);
  if (*end != '\0') return 0;
  *value = parsed;
  return 1;
}

// Options that take a value; returns 0 on a bad value.
static int parse_valued_option(const char* name, const char* value, MkvraxOptions* o) {
  uint64_t number = 0;
  if (!parse_number(value, &number)) {
    std::fprintf(stderr, "mkvrax: %s needs a number\n", name);
    return 0;
  }
  if (std::strcmp(name, "--documents") == 0) {
    o->documents = number;
    o->have_documents = 1;
  } else if (std::strcmp(name, "--size") == 0) {
    o->size = number;
    o->have_size = 1;
  } else {
    o->file.page_size = static_cast<uint16_t>(number > 65535 ? 0 : number);
  }
  return 1;
}

static int is_valued_option(const char* arg) {
  return std::strcmp(arg, "--documents") == 0 || std::strcmp(arg, "--size") == 0 ||
         std::strcmp(arg, "--page-size") == 0;
}

static int parse_arguments(int argc, char** argv, MkvraxOptions* o) {
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    if (is_valued_option(arg)) {
      if (!parse_valued_option(arg, i + 1 < argc ? argv[i + 1] : nullptr, o)) return 0;
      i++;
    } else if (std::strcmp(arg, "--version8") == 0) {
      o->version8 = true;
    } else if (std::strcmp(arg, "--file-format8") == 0) {
      o->file.format_version8 = 1;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      std::fprintf(stderr, "mkvrax: unknown option %s\n", arg);
      return 0;
    } else if (o->out_path == nullptr) {
      o->out_path = arg;
    } else {
      std::fprintf(stderr, "mkvrax: more than one output file given\n");
      return 0;
    }
  }
  return 1;
}

static int check_arguments(MkvraxOptions* o) {
  if (o->out_path == nullptr) {
    std::fprintf(stderr, "mkvrax: no output file given\n");
    return 0;
  }
  if (o->have_documents != o->have_size) {
    std::fprintf(stderr, "mkvrax: --documents and --size go together\n");
    return 0;
  }
  o->bulk = o->have_documents;
  if (o->bulk && (o->documents > 0xFFFFFFFFull || o->size > MAX_BULK_BODY)) {
    std::fprintf(stderr, "mkvrax: too many documents or too large a size\n");
    return 0;
  }
  uint16_t p = o->file.page_size;
  if (p < 512 || p > 4096 || p % 512 != 0) {
    std::fprintf(stderr, "mkvrax: the page size must be a multiple of 512 from 512 to 4096\n");
    return 0;
  }
  o->file.fixed_length = static_cast<uint16_t>(vrax_body_offset(o->version8));
  return 1;
}

int main(int argc, char** argv) {
  MkvraxOptions o;
  if (!parse_arguments(argc, argv, &o) || !check_arguments(&o)) {
    print_usage();
    return 1;
  }
  int ok = o.bulk ? write_vrax_bulk_library(o.out_path, static_cast<uint32_t>(o.documents), o.size, o.version8,
                                            o.file)
                  : write_vrax_library(o.out_path, vrax_sample_documents(), o.version8, o.file);
  if (!ok) {
    std::fprintf(stderr, "mkvrax: could not write %s\n", o.out_path);
    return 1;
  }
  return 0;
}

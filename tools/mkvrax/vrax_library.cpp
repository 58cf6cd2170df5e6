// Writing whole VRAX libraries through the Btrieve test-file writer.
#include <vector>

#include "vrax_record.h"

int write_vrax_library(const std::string& native_path, const std::vector<VraxDocument>& documents,
                       bool version8, const BtrieveWriterOptions& file_options) {
  BtrieveWriter* writer = btrieve_writer_create(native_path.c_str(), file_options);
  if (writer == nullptr) return 0;
  int ok = 1;
  for (const VraxDocument& document : documents) {
    std::vector<uint8_t> record = build_vrax_record(document, version8);
    if (!btrieve_writer_add(writer, record.data(), record.size())) {
      ok = 0;
      break;
    }
  }
  return btrieve_writer_finish(writer) && ok;
}

uint8_t vrax_bulk_body_byte(uint32_t document_index, uint64_t position) {
  return static_cast<uint8_t>(position * 7 + (position >> 8) + document_index * 13);
}

static VraxDocument bulk_fields(uint32_t index) {
  VraxDocument d;
  d.owner_id = "BULK";
  d.contact_number = static_cast<int16_t>(index % 1000);
  d.autoinc_key = index + 1;
  d.document_name = "DOC" + std::to_string(index + 1);
  d.type_description = "Microsoft Word Document";
  d.day = static_cast<uint8_t>(1 + index % 28);
  d.month = static_cast<uint8_t>(1 + index % 12);
  d.year = static_cast<uint16_t>(2000 + index % 20);
  return d;
}

int write_vrax_bulk_library(const std::string& native_path, uint32_t count, uint64_t body_size, bool version8,
                            const BtrieveWriterOptions& file_options) {
  BtrieveWriter* writer = btrieve_writer_create(native_path.c_str(), file_options);
  if (writer == nullptr) return 0;
  uint32_t body_offset = vrax_body_offset(version8);
  std::vector<uint8_t> record;
  int ok = 1;
  for (uint32_t i = 0; i < count && ok; i++) {
    record = build_vrax_record(bulk_fields(i), version8);
    record.resize(body_offset + body_size);
    for (uint64_t p = 0; p < body_size; p++) record[body_offset + p] = vrax_bulk_body_byte(i, p);
    ok = btrieve_writer_add(writer, record.data(), record.size());
  }
  return btrieve_writer_finish(writer) && ok;
}

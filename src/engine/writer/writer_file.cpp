// Starting and finishing a file.
#include "engine/writer/writer_state.h"

BtrieveWriter* btrieve_writer_create(const char* native_path, const BtrieveWriterOptions& options) {
  WriterGeometry geometry{};
  if (native_path == nullptr || !writer_derive_geometry(options, &geometry)) return nullptr;
  PlatformFile file = platform_create_native(native_path);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  BtrieveWriter* writer = new BtrieveWriter{};
  writer->file = file;
  writer->options = options;
  writer->geometry = geometry;
  writer->next_logical = 1;
  writer->next_physical = writer_first_data_physical(geometry);
  return writer;
}

int btrieve_writer_finish(BtrieveWriter* writer) {
  if (writer == nullptr) return 0;
  // A failed write sets `failed`, and every later write is then skipped.
  writer_flush_data_page(writer);
  writer_flush_shared_variable_page(writer);
  writer_write_pat(writer);
  writer_write_fcr_pair(writer);
  writer_write_junk_pages(writer);
  int ok = writer->failed ? 0 : 1;
  platform_close(writer->file);
  delete writer;
  return ok;
}

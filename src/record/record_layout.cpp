#include "record/record.h"

const RecordLayout StandardLayout = {
    20,    // owner_id_offset
    22,    // owner_id_length
    44,    // contact_number_offset
    50,    // autoinc_offset
    54,    // name_offset
    90,    // date_offset
    94,    // time_offset
    98,    // type_offset
    178,   // body_offset
    2272,  // link_block_offset
};

// The version 8 format moves the document name to where the standard body
// begins; body and link block move 256 bytes further on.
const RecordLayout Version8Layout = {
    20, 22, 44, 50, 178, 90, 94, 98, 434, 2528,
};

const RecordLayout& select_record_layout(int layout_version8) {
  return layout_version8 ? Version8Layout : StandardLayout;
}

uint32_t record_fixed_fields_end(const RecordLayout& layout) {
  return layout.link_block_offset + 7;
}

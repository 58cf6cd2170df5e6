// The one call into the engine.
#include "btr/btr.h"

// Every request offers the same key length, whatever the key buffer holds.
static constexpr uint8_t REQUEST_KEY_LENGTH = 255;

uint16_t btr_call(uint16_t operation, void* position_block, void* data_buffer, uint16_t* data_length,
                  void* key_buffer, int16_t key_number) {
  uint32_t engine_length = *data_length;
  int16_t result = btr_engine_entry(operation, position_block, data_buffer, &engine_length, key_buffer,
                                    REQUEST_KEY_LENGTH, static_cast<int8_t>(key_number));
  *data_length = static_cast<uint16_t>(engine_length & 0xFFFFu);
  return static_cast<uint16_t>(result);
}

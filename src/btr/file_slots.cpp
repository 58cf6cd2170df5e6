// The run-wide request blocks and the hooks the request layer reads.
#include "btr/btr.h"
#include "engine/engine.h"

FileSlot file_slots[FILE_SLOT_COUNT];
int current_slot = DATA_SLOT;
EngineEntry btr_engine_entry = engine_call;
DebugLevel btr_debug_level = DebugOff;

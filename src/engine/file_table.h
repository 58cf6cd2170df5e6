// The engine's table of open files, reached through position blocks.
#pragma once

#include "engine/engine_internal.h"

constexpr uint32_t POSITION_BLOCK_SIZE = 128;

// The open file a position block names, or null (status 3 for the caller).
OpenFile* file_from_block(const void* position_block);
// Takes a free entry and writes its handle into the block; null when the table is full.
OpenFile* claim_file_entry(void* position_block);
// Releases the entry's source and clears the block's handle (block may be null).
void release_file_entry(OpenFile* file, void* position_block);
void release_every_file();

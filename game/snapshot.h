// Snapshots of the whole ticking state: every table a tick reads or writes, listed once as a
// region (its name, address and size), so that a snapshot is one copy of those regions into a
// caller's buffer and a restore the copy back. After a restore the game goes on exactly as it
// did from the moment of the save; the tables hold addresses into each other (sprites of the
// pool), so a snapshot belongs to the process that took it. A test compares this list with the
// writable tables the game's libraries hold, so a new table cannot be forgotten.
// Main thread only, between ticks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

struct SnapshotRegion {
    const char* name; // the table's name in the code
    void* address;
    size_t size;
};

std::span<const SnapshotRegion> snapshot_regions();

// Bytes a snapshot takes: the regions' sizes summed.
size_t snapshot_size();

// False (and nothing copied) when the buffer is smaller than snapshot_size().
bool snapshot_save(std::span<uint8_t> buffer);
bool snapshot_restore(std::span<const uint8_t> buffer);

// Files store seam: small named files in the program's own places, for settings and for the
// player's own data. Every backend writes a whole file at once and atomically (a reader sees the
// old bytes or the new, never a mix) and answers a failure with a message, never a crash.
//   Linux     $XDG_CONFIG_HOME/quibbet (or ~/.config/quibbet), $XDG_DATA_HOME/quibbet (or
//             ~/.local/share/quibbet); a temporary file beside the target, then a rename
//   Windows   %APPDATA%\Quibbet and %APPDATA%\Quibbet\data, the same way
//   browser   the page's localStorage, one item per file
//   virtual   memory that a test fills, reads and can make unwritable
// Main thread only.
#pragma once
#include <cstddef>
#include <span>

enum StorePlace {
    STORE_CONFIG = 0, // what the player chose: settings
    STORE_DATA = 1,   // what the player made: recordings and the like
};
constexpr int STORE_PLACE_COUNT = 2;

// A file name within a place: 1 to 63 of A-Z a-z 0-9 . _ - and not starting with a dot (the
// backends keep dot names for their temporary files). Anything else is refused, so a name can
// never reach outside its place.
constexpr std::size_t STORE_NAME_MAX = 63;
constexpr std::size_t STORE_MESSAGE_MAX = 320;

enum StoreStatus {
    STORE_OK = 0,
    STORE_MISSING = 1,   // no such file (reading, removing): usually not an error for the caller
    STORE_TOO_LARGE = 2, // reading: the file is larger than the buffer; size tells how large
    STORE_FAILED = 3,    // anything else; the message says what and where
};

struct StoreResult {
    StoreStatus status;
    char message[STORE_MESSAGE_MAX]; // empty when status is STORE_OK
};

struct StoreName {
    char text[STORE_NAME_MAX + 1];
};

// Called by the settings and the replays: the whole file into buffer. *size is the file's size
// (also when it did not fit, with STORE_TOO_LARGE), 0 when it is missing.
StoreResult platform_store_read(StorePlace place, const char* name, std::span<char> buffer,
                                std::size_t* size);

// Replaces the whole file with bytes (creating the place when it does not exist yet).
StoreResult platform_store_write(StorePlace place, const char* name, std::span<const char> bytes);

// Deletes the file; STORE_MISSING when there was none.
StoreResult platform_store_remove(StorePlace place, const char* name);

// The names of the place's files, in no particular order; *count is how many were written.
// STORE_TOO_LARGE when there were more than fit. A place that does not exist yet holds none.
StoreResult platform_store_list(StorePlace place, std::span<StoreName> names, std::size_t* count);

// Where the file is, readable, for a message to the player: a path, or the page's storage key.
void platform_store_where(StorePlace place, const char* name, std::span<char> out);

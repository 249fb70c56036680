// Every limit the server puts on its clients, in one place: what a hostile or broken machine can
// cost it is bounded by these.
#pragma once

#include <cstddef>
#include <cstdint>

namespace limits {

inline constexpr int DEFAULT_PORT = 8147;
inline constexpr size_t MAX_CONNECTIONS = 12000;
// A household behind one address may bring several machines and phones; a flood may not.
inline constexpr int MAX_CONNECTIONS_PER_ADDRESS = 16;
inline constexpr int MAX_ROOMS_PER_ADDRESS = 4;
// Codes cannot be guessed by trying: this many unknown codes a minute, then the address waits.
inline constexpr int MAX_JOIN_FAILURES_PER_ADDRESS = 10;
inline constexpr int JOIN_FAILURE_WINDOW_MS = 60'000;
inline constexpr int MAX_WATCHERS_PER_ROOM = 12;
// A machine sends a checksum run or two per tick at most, and people turn a few times a second.
inline constexpr int MAX_MESSAGES_PER_SECOND = 120;
inline constexpr int MAX_INPUT_RECORDS_PER_SECOND = 60;
inline constexpr int RATE_BURST_SECONDS = 2;
// The HTTP request (and the TLS handshake before it) must arrive within this.
inline constexpr int HANDSHAKE_TIMEOUT_MS = 5000;
inline constexpr size_t MAX_REQUEST_HEADER_BYTES = 8192;
// Connected but in no room, or in a room and silent: closed after this.
inline constexpr int IDLE_CLOSE_MS = 60'000;
// A machine that does not read its messages is not waited for: past this backlog it is closed.
inline constexpr size_t MAX_QUEUED_BYTES_PER_CONNECTION = 8u << 20;
// A room's log is bounded; at this many records the room ends (hours of busy play).
inline constexpr size_t MAX_LOG_RECORDS = 1u << 18;
// Checksums are compared over this many closed ticks; a verdict waits at most CHECKSUM_WAIT_TICKS
// for every machine's report.
inline constexpr uint32_t CHECKSUM_WINDOW_TICKS = 400;
inline constexpr uint32_t CHECKSUM_WAIT_TICKS = 200;
inline constexpr uint64_t MAX_WEB_FILE_BYTES = 64u << 20;

} // namespace limits

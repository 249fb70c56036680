// What happens inside one room: its seats, its clock and log, its menu's owner and its checksum
// verdicts. The hub calls these; they reach connections through the hub's output.
#pragma once

#include "server/hub.h"

#include <string>

Room& room_open(Hub& hub, const std::string& opener_address, int64_t now_ms);
std::string room_name(const Room& room);
// What its end says of it: its ticks, how many machines' checksums each compared tick had, how
// many differed, and the inputs of each seat (a controller's among them).
std::string room_summary(const Room& room);
// Gives `id` the seats its token holds, or else up to `wanted` never-taken seats; returns its mask.
uint8_t room_seat(Hub& hub, Room& room, ConnId id, uint64_t token, uint8_t wanted, int64_t now_ms);
void room_stamp(Room& room, uint32_t wanted_tick, const wire::InputRecord& record);
// A connection's seats go to the computer (it went silent or away) / come back to it.
void room_seats_to_computer(Hub& hub, Room& room, const Connection& c, const char* why);
void room_seats_back(Hub& hub, Room& room, const Connection& c);
void room_leave(Hub& hub, Room& room, ConnId id);
void room_close_ticks(Hub& hub, Room& room, int64_t now_ms);
void room_send_log(Hub& hub, const Room& room, ConnId id);
void room_checksums(Hub& hub, Room& room, ConnId id, const wire::Message& m, int64_t now_ms);

// Sends ERROR with `text`, closes the connection and takes it out of its room.
void hub_drop(Hub& hub, ConnId id, wire::ErrorCode code, const std::string& text, int64_t now_ms);
void hub_send(Hub& hub, ConnId id, const wire::Message& m);

// Room codes: six characters from an alphabet without look-alikes (no 0/O, 1/I/L, U/V), drawn from
// the system's random source: 30^6 codes, over 29 bits.
#pragma once

#include "online/wire.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

inline constexpr std::string_view ROOM_CODE_ALPHABET = "23456789ABCDEFGHJKMNPQRSTVWXYZ";

std::string room_code_new(const std::function<uint64_t()>& random);
// Codes are typed by people: lower case counts as upper case.
std::string room_code_normalized(const wire::RoomCode& code);

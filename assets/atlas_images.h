// The 195 images of the embedded atlas, in table order (image entries 1 to 195 once loaded).
// Later images came last, so every image before them kept its index: the digit "scorechar7.png",
// then the computer players' menu pictures "computer001.png" to "computer004.png", then the cap
// labels of the keys a player may choose ("key_*.png"), the remapping's prompts and signs and the
// easy and hard computers' pictures, then the lettering of the lines the game writes at run time
// ("glyph_A.png" ...) and the button "roombutton.png", then the words of who sits where in a room,
// seat by seat ("seatyou001.png", "seatfriend001.png", "seatcomputer001.png", "seatfree001.png", ...).
#pragma once
#include "assets/image_record.h"

#include <array>

constexpr int ATLAS_IMAGE_COUNT = 195;
constexpr int ATLAS_SIZE = 1024;

extern const std::array<ImageRecord, ATLAS_IMAGE_COUNT> atlas_images;

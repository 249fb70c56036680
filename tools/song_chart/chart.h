// Drawing the song chart with Cairo, lettered with the atlas generator's own stroke alphabet.
#pragma once
#include <string>
#include <vector>

struct Render {
    std::vector<double> mono; // -1..1
    unsigned rate = 0;
};

// False when the PNG cannot be written.
bool draw_chart(const Render& render, const std::string& png_path);

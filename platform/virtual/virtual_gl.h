// The recording GL of the virtual backend: every call the program makes is counted and its
// last arguments kept, so tests check drawing without a context.
#pragma once
#include <cstdint>

struct VirtualGl {
    int viewport[4] = {};
    int scissor[4] = {};
    bool scissor_test = false, blend = false, texture_2d = false;
    int matrix_mode = 0;
    double ortho[6] = {};
    int ortho_calls = 0, load_identity_calls = 0;
    float clear_color[4] = {};
    int clear_color_buffer_calls = 0, clear_depth_buffer_calls = 0;
    unsigned bound_texture = 0;
    int blend_src = 0, blend_dst = 0;
    bool vertex_array = false, texcoord_array = false, color_array = false;
    const float* vertex_pointer = nullptr;
    const float* texcoord_pointer = nullptr;
    int vertex_size = 0, texcoord_size = 0;
    int draw_calls = 0, last_draw_first = 0, last_draw_count = 0, last_draw_mode = 0;
    unsigned next_texture_name = 1;
    int tex_image_calls = 0, tex_width = 0, tex_height = 0, tex_level = -1;
    int min_filter = 0, mag_filter = 0;
    const void* tex_pixels = nullptr;
};

VirtualGl& virtual_gl();
void virtual_gl_reset();

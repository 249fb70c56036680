// Test control of the virtual backend: a test scripts the messages, moves the clock (sleep
// advances it), answers the boxes and reads back what the program did to its window and GL.
#pragma once
#include "platform/store.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// platform_exit throws this, so tests observe exits instead of losing the process.
struct VirtualExit {
    int status;
};

struct VirtualWindow {
    bool class_registered = false;
    bool created = false;
    bool context = false;
    bool torn_down = false;
    bool fullscreen = false;
    int width = 0, height = 0, show_command = 0;
    std::string title;
};

struct VirtualBox {
    std::string caption, text;
    bool owned_by_window = false;
};

struct VirtualPlatform {
    // Scripted answers and failures.
    bool answer_yes = false;
    bool fail_class_register = false;
    bool fail_question = false; // the question box cannot be shown
    bool fail_window = false;
    bool fail_gl_context = false;
    std::string failure_reason = "scripted failure"; // what the system says for any of them
    int screen_width = 1920, screen_height = 1080;
    bool background = false; // another window has the focus: pad presses are only recorded
    bool minimised = false;
    bool store_unwritable = false; // every write and remove fails, as on a read-only disk
    bool store_unreadable = false; // every read and list fails
    // The files store's files, by place and name; a test may fill or read them directly.
    std::array<std::map<std::string, std::string>, STORE_PLACE_COUNT> store;
    // What the program did.
    VirtualWindow window;
    std::vector<VirtualBox> questions, error_boxes;
    int swap_count = 0;
};

VirtualPlatform& virtual_platform();
void virtual_platform_reset();

void virtual_post_resize(int client_width, int client_height);
void virtual_post_expose();
void virtual_post_close();
void virtual_post_key(int virtual_key);
void virtual_post_button(int button, uint16_t px, uint16_t py);
int virtual_pending_messages();
// A press of a player's touch turn button.
void virtual_post_turn(int slot, int direction);

// Scripted pads, reported one per poll as a backend reports them; `held` is the whole set of
// button bits (PAD_SOUTH, ...) the pad holds now.
void virtual_post_pad_connect(int32_t device);
void virtual_post_pad_disconnect(int32_t device);
void virtual_post_pad_buttons(int32_t device, uint32_t held);

// virtual_platform_reset also resets the clock to 1,000,000 ms.
void virtual_clock_reset();
// Sleeping advances the clock (from any thread) and yields.
int64_t virtual_clock_now();
void virtual_clock_advance(int64_t milliseconds);
int64_t virtual_slept_ms();

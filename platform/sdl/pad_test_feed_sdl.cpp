#include "pad_test_feed_sdl.h"

#include <SDL.h>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char* FEED_VARIABLE = "QUIBBET_TEST_PAD_FEED";
constexpr int TEST_PAD_CAPACITY = 8;
constexpr int FEED_CAPACITY = 4096; // lines read but not yet carried out
constexpr int STICK_BUTTONS = 12, STICK_AXES = 2, STICK_HATS = 1;

struct TestPad {
    SDL_Joystick* joystick; // the feed's own handle, to set the values through
    SDL_JoystickID id;
};

int feed = -1;
std::array<char, FEED_CAPACITY> pending;
int pending_length = 0;
std::array<TestPad, TEST_PAD_CAPACITY> test_pads;
int test_pad_count = 0;

int attach(bool controller) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    if (controller) {
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = "test pad";
    } else {
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.nbuttons = STICK_BUTTONS;
        desc.naxes = STICK_AXES;
        desc.nhats = STICK_HATS;
        desc.name = "test stick";
    }
    return SDL_JoystickAttachVirtualEx(&desc);
}

void attach_test_pad(bool controller) {
    if (test_pad_count == TEST_PAD_CAPACITY) return;
    const int index = attach(controller);
    SDL_Joystick* joystick = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    if (!joystick) {
        std::fprintf(stderr, "pad feed: cannot attach: %s\n", SDL_GetError());
        return;
    }
    test_pads[test_pad_count++] = {joystick, SDL_JoystickInstanceID(joystick)};
}

void detach_test_pad(TestPad& pad) {
    if (!pad.joystick) return;
    SDL_JoystickClose(pad.joystick);
    pad.joystick = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == pad.id) SDL_JoystickDetachVirtual(i);
}

int button_from(const char* name) {
    if (std::isdigit(static_cast<unsigned char>(name[0]))) return std::atoi(name);
    return SDL_GameControllerGetButtonFromString(name);
}

// One line of the feed; what it cannot read goes to standard error for the test's log.
// True when the line plugged or unplugged a pad: the game must see that before what follows.
bool carry_out(const char* text) {
    char verb[16] = {}, word[32] = {};
    int k = 0, value = 0;
    const auto is = [&](const char* name) { return std::strcmp(verb, name) == 0; };
    if (std::sscanf(text, "%15s %31s", verb, word) == 2 && is("attach") &&
        (std::strcmp(word, "pad") == 0 || std::strcmp(word, "stick") == 0)) {
        attach_test_pad(std::strcmp(word, "pad") == 0);
        return true;
    }
    const int fields = std::sscanf(text, "%15s %d %31s %d", verb, &k, word, &value);
    TestPad* pad = k >= 1 && k <= test_pad_count && test_pads[k - 1].joystick ? &test_pads[k - 1] : nullptr;
    if (pad && fields == 2 && is("detach")) {
        detach_test_pad(*pad);
        return true;
    }
    if (pad && fields == 3 && (is("press") || is("release")))
        SDL_JoystickSetVirtualButton(pad->joystick, button_from(word),
                                     is("press") ? SDL_PRESSED : SDL_RELEASED);
    else if (pad && fields == 3 && is("hat"))
        SDL_JoystickSetVirtualHat(pad->joystick, 0, static_cast<Uint8>(std::atoi(word)));
    else if (pad && fields == 4 && is("axis"))
        SDL_JoystickSetVirtualAxis(pad->joystick, std::atoi(word), static_cast<Sint16>(value));
    else
        std::fprintf(stderr, "pad feed: cannot read \"%s\"\n", text);
    return false;
}

} // namespace

void pad_test_feed_start() {
    const char* path = std::getenv(FEED_VARIABLE);
    if (!path || !*path) return;
    feed = open(path, O_RDONLY | O_NONBLOCK);
    if (feed < 0) std::fprintf(stderr, "pad feed: cannot open %s\n", path);
}

void pad_test_feed_poll() {
    if (feed < 0) return;
    const ssize_t got = read(feed, pending.data() + pending_length, FEED_CAPACITY - pending_length);
    if (got > 0) pending_length += static_cast<int>(got);
    // Whole lines only, up to the first plug or unplug: this pass ends with the game reading
    // the device events, and the lines after it act on what the game has seen.
    bool caught_up = true;
    while (caught_up) {
        char* end = static_cast<char*>(std::memchr(pending.data(), '\n', pending_length));
        if (!end) {
            if (pending_length == FEED_CAPACITY) {
                std::fprintf(stderr, "pad feed: line too long\n");
                pending_length = 0;
            }
            return;
        }
        *end = '\0';
        if (end != pending.data()) caught_up = !carry_out(pending.data());
        const int used = static_cast<int>(end - pending.data()) + 1;
        std::memmove(pending.data(), end + 1, pending_length - used);
        pending_length -= used;
    }
}

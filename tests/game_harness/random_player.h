// A player who presses at random, for the soak, the snapshot property test and the recorded
// games: in the menu mostly its keys and clicks (the controls pictures included, so slots go to
// the computer and back), in play mostly turns, now and then a click anywhere or a way into the
// credits, and back from the credits after a while. It never presses Escape in the credits, which
// would end the program. Drawn in a fixed order from its own generator, so a seed plays the same
// run on every compiler.
#pragma once
#include <cstdint>
#include <random>

class RandomPlayer {
  public:
    explicit RandomPlayer(uint32_t seed) : rng(seed) {}

    // This tick's presses, queued for the next harness_tick.
    void act();

    int32_t pick(uint32_t n) { return static_cast<int32_t>(rng() % n); }

  private:
    void press(bool escape_allowed);
    void click(int32_t left, int32_t top, int32_t right, int32_t bottom);

    std::mt19937 rng;
    int32_t credits_left = 0;
};

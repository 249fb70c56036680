// Test pads for the end-to-end tests, which have no pad hardware: with QUIBBET_TEST_PAD_FEED
// set to a file, SDL virtual joysticks are attached, pressed, moved and detached by the lines
// a test appends to that file (a FIFO works too). Without the variable nothing here runs.
//   attach pad | attach stick     a pad SDL maps as a game controller, or a plain joystick
//                                 (numbered 1, 2, ... in the order of the attach lines)
//   detach K                      unplugs test pad K
//   press K BUTTON, release K BUTTON
//                                 BUTTON: a game-controller button name (a, b, x, y, back,
//                                 start, leftshoulder, dpleft, ...) or a joystick button number
//   hat K VALUE                   the first hat: 0 centred, 1 up, 2 right, 4 down, 8 left
//   axis K AXIS VALUE             an axis (sticks, triggers) to a value of -32768..32767
// Lines after an attach or detach wait for the next idle pass, when the game has taken the
// device event. A press and its release in one batch cancel out before SDL looks, so a test
// waits for the press to show before it releases.
// Called by the SDL pad code only; main thread.
#pragma once

// Called once the joystick layer is up: opens the feed when the variable is set.
void pad_test_feed_start();

// Called when no event is pending: carries out the lines written since the last call.
void pad_test_feed_poll();

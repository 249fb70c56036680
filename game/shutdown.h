// The one way down for both of the player's ways out (closing the window, Escape in the
// credits): the music thread stopped and joined, the effects device closed, then the window
// and its context torn down, so no sound is cut off mid-buffer and nothing runs on behind the
// window. Main thread only.
#pragma once

void program_shutdown();

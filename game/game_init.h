// What the game adds to start-up, called by engine_init once the atlas is loaded and before the
// first scene is entered: the scenes' callbacks, the clouds (the first sprites of the pool), the
// 130 hidden tile sprites row by row, the four player sprites, and the song. Main thread only.
#pragma once

void game_init();

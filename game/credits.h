// The "credits" scene: one large picture over everything, opened from the gameplay scene.
// Escape ends the program (status 0); any other press returns to the game without running
// its enter, so the menu or the game goes on where it was. Nothing moves while it shows: the
// scene does not step the tweens. Its picture lies above the scene mark; the scene's exit
// drops it. Main thread only.
#pragma once

void credits_enter();
void credits_update();

// False while a recorded game plays: Escape in the credits then returns to the game as any
// other press does. No kept game holds that Escape (a game left so is not kept), so only a
// made-up file could, and watching it must not end the program.
extern bool credits_may_quit;

// The program's own way out: program_shutdown, then the process ends with status 0.
[[noreturn]] void program_end();

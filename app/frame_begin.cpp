#include "app/app.h"

#include "audio/sfx.h"
#include "platform/gl.h"

void frame_begin() {
    glClearColor(clear_red / 255.0f, clear_green / 255.0f, clear_blue / 255.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClear(GL_DEPTH_BUFFER_BIT);
    sfx_pump();
}

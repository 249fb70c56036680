// The virtual backend's OpenGL: records instead of drawing.
#include "platform/gl.h"
#include "virtual_gl.h"

namespace {
VirtualGl gl_state;
}

VirtualGl& virtual_gl() { return gl_state; }
void virtual_gl_reset() { gl_state = VirtualGl{}; }

extern "C" {
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    gl_state.viewport[0] = x, gl_state.viewport[1] = y, gl_state.viewport[2] = w, gl_state.viewport[3] = h;
}
void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    gl_state.scissor[0] = x, gl_state.scissor[1] = y, gl_state.scissor[2] = w, gl_state.scissor[3] = h;
}
static void set_capability(GLenum cap, bool on) {
    if (cap == GL_SCISSOR_TEST) gl_state.scissor_test = on;
    if (cap == GL_BLEND) gl_state.blend = on;
    if (cap == GL_TEXTURE_2D) gl_state.texture_2d = on;
}
void glEnable(GLenum cap) { set_capability(cap, true); }
void glDisable(GLenum cap) { set_capability(cap, false); }
void glMatrixMode(GLenum mode) { gl_state.matrix_mode = static_cast<int>(mode); }
void glLoadIdentity() { ++gl_state.load_identity_calls; }
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    const double values[6] = {l, r, b, t, n, f};
    for (int i = 0; i < 6; ++i) gl_state.ortho[i] = values[i];
    ++gl_state.ortho_calls;
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    gl_state.clear_color[0] = r, gl_state.clear_color[1] = g, gl_state.clear_color[2] = b,
    gl_state.clear_color[3] = a;
}
void glClear(GLbitfield mask) {
    if (mask & GL_COLOR_BUFFER_BIT) ++gl_state.clear_color_buffer_calls;
    if (mask & GL_DEPTH_BUFFER_BIT) ++gl_state.clear_depth_buffer_calls;
}
void glBindTexture(GLenum, GLuint texture) { gl_state.bound_texture = texture; }
void glBlendFunc(GLenum src, GLenum dst) {
    gl_state.blend_src = static_cast<int>(src);
    gl_state.blend_dst = static_cast<int>(dst);
}
static void set_client_state(GLenum array, bool on) {
    if (array == GL_VERTEX_ARRAY) gl_state.vertex_array = on;
    if (array == GL_TEXTURE_COORD_ARRAY) gl_state.texcoord_array = on;
    if (array == GL_COLOR_ARRAY) gl_state.color_array = on;
}
void glEnableClientState(GLenum array) { set_client_state(array, true); }
void glDisableClientState(GLenum array) { set_client_state(array, false); }
void glVertexPointer(GLint size, GLenum, GLsizei, const GLvoid* pointer) {
    gl_state.vertex_size = size;
    gl_state.vertex_pointer = static_cast<const float*>(pointer);
}
void glTexCoordPointer(GLint size, GLenum, GLsizei, const GLvoid* pointer) {
    gl_state.texcoord_size = size;
    gl_state.texcoord_pointer = static_cast<const float*>(pointer);
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    ++gl_state.draw_calls;
    gl_state.last_draw_mode = static_cast<int>(mode);
    gl_state.last_draw_first = first;
    gl_state.last_draw_count = count;
}
void glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) textures[i] = gl_state.next_texture_name++;
}
void glDeleteTextures(GLsizei, const GLuint*) {}
void glTexParameteri(GLenum, GLenum name, GLint value) {
    if (name == GL_TEXTURE_MIN_FILTER) gl_state.min_filter = value;
    if (name == GL_TEXTURE_MAG_FILTER) gl_state.mag_filter = value;
}
void glTexImage2D(GLenum, GLint level, GLint, GLsizei w, GLsizei h, GLint, GLenum, GLenum, const GLvoid* pixels) {
    ++gl_state.tex_image_calls;
    gl_state.tex_level = level;
    gl_state.tex_width = w;
    gl_state.tex_height = h;
    gl_state.tex_pixels = pixels;
}
}

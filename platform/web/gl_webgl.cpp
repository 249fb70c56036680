// OpenGL 1.1 fixed function, the subset the game draws with, over the page's WebGL: a small
// batch path of our own. The fixed-function state (matrices, enabled arrays, texturing) is kept
// here and each glDrawArrays becomes one WebGL draw of the client arrays with a two-line shader
// that does what the fixed pipeline does for the game: position times projection, the texel as
// it is (the default texture environment with a white colour). Everything else is handed to
// WebGL as it is: its enums and rules are OpenGL's.
// Chosen over the toolchain's emulation of GL 1.x because that emulation is partial and large,
// while the game needs twenty calls and one draw a frame.
#include "platform/gl.h"
#include "web_page.h"

#include <emscripten.h>

#include <array>

namespace {

using Matrix = std::array<float, 16>; // column-major, as OpenGL keeps it

constexpr Matrix IDENTITY{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct ClientArray {
    bool enabled;
    GLint size;
    const float* pointer;
};

struct FixedFunction {
    Matrix projection = IDENTITY, modelview = IDENTITY;
    GLenum matrix_mode = GL_MODELVIEW;
    bool texture_2d = false;
    ClientArray vertex{}, texcoord{};
};
FixedFunction ff;

Matrix& current_matrix() {
    return ff.matrix_mode == GL_PROJECTION ? ff.projection : ff.modelview;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                r[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return r;
}

// The JavaScript inside is not C++.
// clang-format off
EM_JS(int, webgl_open, (), {
    const canvas = Module.canvas;
    // No alpha: the game clears with alpha 0, which must not let the page show through.
    const gl = canvas && canvas.getContext('webgl', {alpha: false, antialias: false, depth: false,
                                                      premultipliedAlpha: false});
    if (!gl) return 0;
    const shader = (type, source) => {
        const s = gl.createShader(type);
        gl.shaderSource(s, source);
        gl.compileShader(s);
        return s;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER,
        'attribute vec2 position; attribute vec2 texcoord; uniform mat4 matrix; varying vec2 uv;' +
        'void main() { uv = texcoord; gl_Position = matrix * vec4(position, 0.0, 1.0); }'));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
        'precision mediump float; uniform sampler2D atlas; uniform bool textured; varying vec2 uv;' +
        'void main() { gl_FragColor = textured ? texture2D(atlas, uv) : vec4(1.0); }'));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) return 0;
    gl.useProgram(program);
    Module.quibbetGl = {
        gl: gl,
        position: gl.getAttribLocation(program, 'position'),
        texcoord: gl.getAttribLocation(program, 'texcoord'),
        matrix: gl.getUniformLocation(program, 'matrix'),
        textured: gl.getUniformLocation(program, 'textured'),
        positions: gl.createBuffer(),
        texcoords: gl.createBuffer(),
        textures: [null],
    };
    return 1;
});

EM_JS(void, webgl_draw, (GLenum mode, GLint first, GLsizei count, const float* matrix, const float* positions,
                         int position_size, const float* texcoords, int texcoord_size, int textured), {
    const q = Module.quibbetGl, gl = q.gl;
    const feed = (buffer, location, pointer, size) => {
        gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
        gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(pointer >> 2, (pointer >> 2) + (first + count) * size),
                      gl.DYNAMIC_DRAW);
        gl.enableVertexAttribArray(location);
        gl.vertexAttribPointer(location, size, gl.FLOAT, false, 0, 0);
    };
    feed(q.positions, q.position, positions, position_size);
    if (texcoords) feed(q.texcoords, q.texcoord, texcoords, texcoord_size);
    else gl.disableVertexAttribArray(q.texcoord);
    gl.uniformMatrix4fv(q.matrix, false, HEAPF32.subarray(matrix >> 2, (matrix >> 2) + 16));
    gl.uniform1i(q.textured, textured);
    gl.drawArrays(mode, first, count);
});

// Also called before the context exists (the first resize), where it has no effect, as in a
// window whose context is not yet made.
EM_JS(void, webgl_enable, (GLenum capability), { Module.quibbetGl && Module.quibbetGl.gl.enable(capability); });

EM_JS(void, webgl_viewport, (GLint x, GLint y, GLsizei width, GLsizei height),
      { Module.quibbetGl && Module.quibbetGl.gl.viewport(x, y, width, height); });
EM_JS(void, webgl_scissor, (GLint x, GLint y, GLsizei width, GLsizei height),
      { Module.quibbetGl && Module.quibbetGl.gl.scissor(x, y, width, height); });
EM_JS(void, webgl_clear_color, (GLclampf r, GLclampf g, GLclampf b, GLclampf a),
      { Module.quibbetGl.gl.clearColor(r, g, b, a); });
EM_JS(void, webgl_clear, (GLbitfield mask), { Module.quibbetGl.gl.clear(mask); });
EM_JS(void, webgl_blend_func, (GLenum source, GLenum destination),
      { Module.quibbetGl.gl.blendFunc(source, destination); });

EM_JS(void, webgl_gen_textures, (GLsizei n, GLuint* names), {
    const q = Module.quibbetGl;
    for (let i = 0; i < n; ++i) {
        q.textures.push(q.gl.createTexture());
        HEAPU32[(names >> 2) + i] = q.textures.length - 1;
    }
});
EM_JS(void, webgl_bind_texture, (GLenum target, GLuint name), {
    const q = Module.quibbetGl;
    q.gl.bindTexture(target, q.textures[name] || null);
});
EM_JS(void, webgl_tex_parameteri, (GLenum target, GLenum name, GLint value),
      { Module.quibbetGl.gl.texParameteri(target, name, value); });
// RGBA bytes only, which is what the game uploads.
EM_JS(void, webgl_tex_image_2d, (GLenum target, GLint level, GLint internal_format, GLsizei width,
                                 GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels), {
    Module.quibbetGl.gl.texImage2D(target, level, internal_format, width, height, border, format, type,
                                   pixels ? HEAPU8.subarray(pixels, pixels + width * height * 4) : null);
});
// clang-format on

} // namespace

bool web_gl_open() {
    return webgl_open() != 0;
}

extern "C" {

void glMatrixMode(GLenum mode) {
    ff.matrix_mode = mode;
}
void glLoadIdentity() {
    current_matrix() = IDENTITY;
}

void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Matrix o{};
    o[0] = static_cast<float>(2 / (r - l));
    o[5] = static_cast<float>(2 / (t - b));
    o[10] = static_cast<float>(-2 / (f - n));
    o[12] = static_cast<float>(-(r + l) / (r - l));
    o[13] = static_cast<float>(-(t + b) / (t - b));
    o[14] = static_cast<float>(-(f + n) / (f - n));
    o[15] = 1;
    current_matrix() = multiply(current_matrix(), o);
}

// GL_TEXTURE_2D is fixed-function state of ours; the rest are WebGL's own capabilities.
void glEnable(GLenum capability) {
    if (capability == GL_TEXTURE_2D)
        ff.texture_2d = true;
    else
        webgl_enable(capability);
}

void glEnableClientState(GLenum array) {
    if (array == GL_VERTEX_ARRAY) ff.vertex.enabled = true;
    if (array == GL_TEXTURE_COORD_ARRAY) ff.texcoord.enabled = true;
}
void glDisableClientState(GLenum array) {
    if (array == GL_VERTEX_ARRAY) ff.vertex.enabled = false;
    if (array == GL_TEXTURE_COORD_ARRAY) ff.texcoord.enabled = false;
}
// The game hands tightly packed float arrays, the only kind this path takes.
void glVertexPointer(GLint size, GLenum, GLsizei, const GLvoid* pointer) {
    ff.vertex.size = size;
    ff.vertex.pointer = static_cast<const float*>(pointer);
}
void glTexCoordPointer(GLint size, GLenum, GLsizei, const GLvoid* pointer) {
    ff.texcoord.size = size;
    ff.texcoord.pointer = static_cast<const float*>(pointer);
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (!ff.vertex.enabled || !ff.vertex.pointer || count <= 0) return;
    const Matrix matrix = multiply(ff.projection, ff.modelview);
    const bool texcoords = ff.texcoord.enabled && ff.texcoord.pointer;
    webgl_draw(mode, first, count, matrix.data(), ff.vertex.pointer, ff.vertex.size,
               texcoords ? ff.texcoord.pointer : nullptr, ff.texcoord.size, ff.texture_2d && texcoords);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    webgl_viewport(x, y, width, height);
}
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    webgl_scissor(x, y, width, height);
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    webgl_clear_color(r, g, b, a);
}
void glClear(GLbitfield mask) {
    webgl_clear(mask);
}
void glBlendFunc(GLenum source, GLenum destination) {
    webgl_blend_func(source, destination);
}
void glGenTextures(GLsizei n, GLuint* names) {
    webgl_gen_textures(n, names);
}
void glBindTexture(GLenum target, GLuint name) {
    webgl_bind_texture(target, name);
}
void glTexParameteri(GLenum target, GLenum name, GLint value) {
    webgl_tex_parameteri(target, name, value);
}
void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    webgl_tex_image_2d(target, level, internal_format, width, height, border, format, type, pixels);
}

} // extern "C"

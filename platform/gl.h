// OpenGL 1.1 fixed function, the drawing API on every backend.
#pragma once
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

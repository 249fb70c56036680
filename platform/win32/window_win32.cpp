// The window seam on Windows: the "zubclass" window class, the one topmost window with its
// private device context and WGL context, message polling one message per pass, the window
// procedure that hands messages to the app's handlers, and the message boxes.
// Main thread only: the window procedure runs from DispatchMessage or the system's modal loops.
#include "pads_xinput_win32.h"
#include "platform/window.h"

#include <cstdio>
#include <windows.h>

namespace {

constexpr const char* WINDOW_CLASS = "zubclass";
constexpr BYTE COLOUR_BITS = 32, DEPTH_BITS = 32;

WindowHandlers handlers{};
HWND window = nullptr;
HDC device_context = nullptr;
HGLRC gl_context = nullptr;
DWORD failure = 0; // the system's error code of the last failed call of this seam

constexpr int REASON_CAPACITY = 256;

// Remembers the error at once: any later system call may overwrite it.
bool failed() {
    failure = GetLastError();
    return false;
}

// Shift and Ctrl arrive as one code for both sides; either side may be a player's key, so the
// side is taken from the scan code (right Shift's is 0x36) and the extended-key bit (right Ctrl).
int sided_key(WPARAM key, LPARAM lparam) {
    constexpr LPARAM RIGHT_SHIFT_SCAN = 0x36, EXTENDED = 1 << 24;
    if (key == VK_SHIFT) return ((lparam >> 16) & 0xFF) == RIGHT_SHIFT_SCAN ? VK_RSHIFT : VK_LSHIFT;
    if (key == VK_CONTROL) return lparam & EXTENDED ? VK_RCONTROL : VK_LCONTROL;
    return static_cast<int>(key);
}

LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_SIZE: {
        RECT client;
        if (GetClientRect(hwnd, &client))
            handlers.resize(client.right - client.left, client.bottom - client.top);
        return 0;
    }
    case WM_CLOSE:
        handlers.close(); // only asks the loop to end; the window goes at teardown
        return 0;
    case WM_DESTROY:
        return 0; // teardown destroys the window after the loop: nothing left to end
    case WM_KEYDOWN:
        handlers.key_down(sided_key(wparam, lparam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        handlers.button_down(message == WM_LBUTTONDOWN ? 0 : 1, LOWORD(lparam), HIWORD(lparam));
        return 0;
    case WM_MOUSEMOVE:
        return 0;
    case WM_PAINT:
        handlers.expose();
        return DefWindowProcA(hwnd, message, wparam, lparam); // validates what was lost
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

// Fills the handlers the app left empty, so the procedure never calls through null.
void ignore_size(int, int) {}
void ignore() {}
void ignore_key(int) {}
void ignore_button(int, uint16_t, uint16_t) {}
void ignore_expose() {}

} // namespace

bool platform_window_class_register(const WindowHandlers& h) {
    handlers = h;
    if (!handlers.resize) handlers.resize = ignore_size;
    if (!handlers.close) handlers.close = ignore;
    if (!handlers.key_down) handlers.key_down = ignore_key;
    if (!handlers.button_down) handlers.button_down = ignore_button;
    if (!handlers.expose) handlers.expose = ignore_expose;
    const HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hIcon = icon;
    window_class.hIconSm = icon;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = WINDOW_CLASS;
    return RegisterClassExA(&window_class) != 0 || failed();
}

Answer platform_ask_yes_no(const char* caption, const char* text) {
    switch (MessageBoxA(nullptr, text, caption, MB_YESNO)) {
    case IDYES:
        return Answer::yes;
    case 0:
        failed();
        return Answer::not_shown;
    default:
        return Answer::no;
    }
}

void platform_error_box(const char* caption, const char* text) {
    MessageBoxA(window, text, caption, MB_OK | MB_ICONERROR);
}

void platform_screen_size(int* width, int* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

bool platform_window_create(const char* title, bool fullscreen, int width, int height, int show_command) {
    const DWORD style = fullscreen ? WS_POPUP | WS_VISIBLE | WS_MAXIMIZE : WS_OVERLAPPEDWINDOW;
    // The size is the outer size: in windowed mode the frame takes its share of 1280 x 720.
    window = CreateWindowExA(WS_EX_TOPMOST, WINDOW_CLASS, title, style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                             height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return failed();
    ShowWindow(window, show_command);
    return true;
}

bool platform_gl_context_create() {
    if (!window) return false;
    device_context = GetDC(window); // the class's own DC: valid until teardown
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = COLOUR_BITS;
    format.cDepthBits = DEPTH_BITS;
    const int chosen = ChoosePixelFormat(device_context, &format);
    if (chosen == 0 || !SetPixelFormat(device_context, chosen, &format)) return false;
    gl_context = wglCreateContext(device_context);
    wglMakeCurrent(device_context, gl_context);
    return true;
}

const char* platform_gl_failure_text() {
    return GL_CONTEXT_FAILURE;
}

const char* platform_failure_reason() {
    static char reason[REASON_CAPACITY];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        failure, 0, reason, sizeof reason, nullptr);
    if (length == 0) {
        wsprintfA(reason, "system error %lu", failure);
        return reason;
    }
    // The system's text may break lines and ends with a break; the caller prints one line.
    for (DWORD i = 0; i < length; ++i)
        if (reason[i] == '\r' || reason[i] == '\n') reason[i] = ' ';
    for (DWORD end = length; end > 0 && reason[end - 1] == ' '; --end)
        reason[end - 1] = '\0';
    return reason;
}

MessagePoll platform_message_poll(int* quit_code) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        pads_xinput_poll(window, handlers);
        return MessagePoll::none;
    }
    if (message.message == WM_QUIT) {
        *quit_code = static_cast<int>(message.wParam);
        return MessagePoll::quit;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return MessagePoll::dispatched;
}

void platform_quit_post(int code) {
    PostQuitMessage(code);
}

// A desktop window is played with keys, the mouse and pads: no buttons on the screen.
void platform_turn_buttons(uint32_t, int, int, int, int) {}

void platform_controller_screen(int32_t, const char*) {}

bool platform_window_visible() {
    return window && IsWindowVisible(window) && !IsIconic(window);
}

void platform_swap_buffers() {
    if (device_context) SwapBuffers(device_context);
}

void platform_teardown() {
    wglMakeCurrent(nullptr, nullptr);
    if (gl_context) wglDeleteContext(gl_context);
    if (device_context) ReleaseDC(window, device_context);
    if (window) DestroyWindow(window);
    gl_context = nullptr;
    device_context = nullptr;
    window = nullptr;
}

void platform_exit(int status) {
    // The process's end does not flush the C library's buffers: redirected output would be lost.
    std::fflush(stdout);
    std::fflush(stderr);
    ExitProcess(static_cast<UINT>(status));
}

#pragma once

// Windows calls that newer Windows versions have and older ones lack, looked up when the
// program runs so that it still starts on the older ones.

#include <windows.h>

namespace vemo {

// The function `name` of the system DLL `module`, or null.
template <typename Function> Function systemFunction(const wchar_t *module, const char *name)
{
    HMODULE handle = GetModuleHandleW(module);
    if (!handle)
        handle = LoadLibraryW(module);
    const FARPROC found = handle ? GetProcAddress(handle, name) : nullptr;
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// Makes the process aware of each monitor's resolution: it draws at the monitor's own pixel
// density instead of being scaled up as a bitmap.
void enablePerMonitorDpiAwareness();

// The resolution the window is drawn at, pixels per inch.
UINT dpiOfWindow(HWND window);
UINT systemDpi();

// The outer rectangle of a window whose client area is `rect`, at `dpi`.
void adjustWindowRect(RECT &rect, DWORD style, DWORD exStyle, UINT dpi);

} // namespace vemo

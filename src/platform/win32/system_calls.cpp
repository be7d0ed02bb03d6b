#include "platform/win32/system_calls.h"

#include <shellscalingapi.h>

namespace vemo {

void enablePerMonitorDpiAwareness()
{
    using SetContext = BOOL(WINAPI *)(DPI_AWARENESS_CONTEXT);
    if (auto set = systemFunction<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
            set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
            return;
    }
    using SetAwareness = HRESULT(WINAPI *)(PROCESS_DPI_AWARENESS);
    if (auto set = systemFunction<SetAwareness>(L"shcore.dll", "SetProcessDpiAwareness")) {
        if (SUCCEEDED(set(PROCESS_PER_MONITOR_DPI_AWARE)))
            return;
    }
    SetProcessDPIAware();
}

UINT systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT dpiOfWindow(HWND window)
{
    using GetDpi = UINT(WINAPI *)(HWND);
    if (auto get = systemFunction<GetDpi>(L"user32.dll", "GetDpiForWindow")) {
        if (const UINT dpi = get(window))
            return dpi;
    }
    return systemDpi();
}

void adjustWindowRect(RECT &rect, DWORD style, DWORD exStyle, UINT dpi)
{
    using Adjust = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);
    if (auto adjust = systemFunction<Adjust>(L"user32.dll", "AdjustWindowRectExForDpi")) {
        if (adjust(&rect, style, FALSE, exStyle, dpi))
            return;
    }
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

} // namespace vemo

// The clock on Windows: the form over the Win32 window and the Windows services.

#include "app/form1.h"
#include "platform/win32/clock_window.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_sound.h"

#include <windows.h>

#include <gdiplus.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    vemo::enablePerMonitorDpiAwareness();
    // A single-threaded apartment: the accessibility clients' calls come in as messages.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Gdiplus::GdiplusStartupInput startup;
    ULONG_PTR gdiplus = 0;
    if (Gdiplus::GdiplusStartup(&gdiplus, &startup, nullptr) != Gdiplus::Ok) {
        MessageBoxW(nullptr, L"GDI+ başlatılamadı.", L"Tolvan Vemo", MB_OK | MB_ICONERROR);
        return EXIT_FAILURE;
    }
    int status = 0;
    {
        vemo::ClockWindow window;
        vemo::Win32Clock clock;
        vemo::Win32Sound sound;
        vemo::Win32InputBox input;
        vemo::Win32Screen screen;
        vemo::Win32WindowRegion region(window);
        vemo::Win32ProgramEnd programEnd(window);
        vemo::Form1 form({clock, sound, input, screen, region, programEnd});

        window.load(form);
        status = window.ended() ? window.exitStatus() : window.run();
    }
    Gdiplus::GdiplusShutdown(gdiplus);
    CoUninitialize();
    return status;
}

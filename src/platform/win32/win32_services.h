#pragma once

// The services the clock asks of Windows, by the Windows calls themselves.

#include "platform/services.h"

#include <windows.h>

namespace vemo {

class ClockWindow;

// The local time and date, in the fixed forms HH:MM:SS and DD.MM.YYYY.
class Win32Clock : public Clock
{
public:
    std::string timeText() override;
    std::string dateText() override;
};

// A modal dialog built in memory: the prompt, one edit field, "Tamam" and "İptal", centred on
// the screen.
class Win32InputBox : public InputBox
{
public:
    std::string inputBox(const std::string &prompt, const std::string &title) override;
};

// The primary screen at the system's resolution: a twip is 1/1440 inch of it.
class Win32Screen : public Screen
{
public:
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    double width() override;
    double height() override;
};

// The real region calls: CreateEllipticRgn makes the region, SetWindowRgn hands it to the
// window, which owns it from then on. Results are passed on unchecked.
class Win32WindowRegion : public WindowRegion
{
public:
    explicit Win32WindowRegion(ClockWindow &window) : window_(window) {}
    ~Win32WindowRegion() override;
    EllipticRegion CreateEllipticRgn(int left, int top, int right, int bottom) override;
    int SetWindowRgn(WindowHandle window, const EllipticRegion &region, int redraw) override;

private:
    ClockWindow &window_;
    HRGN created_ = nullptr;    // made and not yet given to a window
    EllipticRegion createdFor_; // its rectangle
};

// Ends the program at once with status 0.
class Win32ProgramEnd : public ProgramEnd
{
public:
    explicit Win32ProgramEnd(ClockWindow &window) : window_(window) {}
    void end() override;

private:
    ClockWindow &window_;
};

} // namespace vemo

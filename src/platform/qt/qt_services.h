#pragma once

#include "platform/services.h"

namespace vemo {

class ClockWindow;

// The time and date of the system's local clock, in the fixed forms HH:MM:SS and DD.MM.YYYY.
class QtClock : public Clock
{
public:
    std::string timeText() override;
    std::string dateText() override;
};

// A modal input dialog with Turkish buttons, at the toolkit's default place.
class QtInputBox : public InputBox
{
public:
    std::string inputBox(const std::string &prompt, const std::string &title) override;
};

// The primary screen; a twip is 1/1440 inch of the screen's logical resolution.
class QtScreen : public Screen
{
public:
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    double width() override;
    double height() override;
};

// Shapes the clock window. The region comes in pixels of the outer window, frame included;
// the window has no frame, so the region moves by the insets a standard frame would add.
class QtWindowRegion : public WindowRegion
{
public:
    explicit QtWindowRegion(ClockWindow &window) : window_(window) {}
    EllipticRegion CreateEllipticRgn(int left, int top, int right, int bottom) override;
    int SetWindowRgn(WindowHandle window, const EllipticRegion &region, int redraw) override;

private:
    ClockWindow &window_;
};

// Ends the event loop at once with status 0; no event is dispatched after it.
class QtProgramEnd : public ProgramEnd
{
public:
    explicit QtProgramEnd(ClockWindow &window) : window_(window) {}
    void end() override;

private:
    ClockWindow &window_;
};

} // namespace vemo

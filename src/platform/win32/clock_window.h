#pragma once

#include "app/form1.h"
#include "platform/paint/geometry.h"
#include "platform/paint/painted_controls.h"
#include "platform/tick_scheduler.h"
#include "platform/win32/gdiplus_canvas.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vemo {

// The clock's one window on Windows: a top-level window with a standard frame and title bar
// (start-up's region cuts them away), whose client area the painter draws over a GDI+ canvas;
// the text box and the two buttons are EDIT and BUTTON child windows. Clicks and ticks go to
// the event procedures, and after each event the window repaints what it changed.
class ClockWindow
{
public:
    ClockWindow();
    ~ClockWindow();
    ClockWindow(const ClockWindow &) = delete;
    ClockWindow &operator=(const ClockWindow &) = delete;

    // Creates the window for `form`, runs its start-up and shows it.
    void load(Form1 &form);
    // Runs the message loop until the program ends; the exit status.
    int run();

    // Ends the program with `status`: no event procedure runs after it.
    void endProgram(int status);
    // The region start-up gave the window, in its pixels at the resolution of that time.
    void regionSet(const EllipticRegion &region);

    bool ended() const { return ended_; }
    int exitStatus() const { return exitStatus_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createChildren();
    void dispatch(const std::function<void()> &procedure);
    void afterEvent();
    void syncTextBox();
    void syncButton(int index);
    void syncPosition();
    void syncTimer();
    void armTimer();
    void tick();
    void paint();
    void applyDpi(UINT dpi);
    void click(POINT at, bool press);
    const Control *clickTarget(POINT at) const;
    RECT pixelsOf(const Box &box) const;

    HWND window_ = nullptr;
    HWND text1_ = nullptr;
    std::array<HWND, 2> buttons_{};
    HFONT textFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
    HBRUSH textBackground_ = nullptr;

    Form1 *form_ = nullptr;
    UINT dpi_ = 96;
    double twipsPerPixel_ = 15;
    bool ended_ = false;
    int exitStatus_ = 0;
    bool syncing_ = false; // the program, not the user, is changing Text1
    std::optional<TickScheduler> scheduler_;
    const Control *pressed_ = nullptr;
    std::optional<EllipticRegion> region_; // as start-up set it
    UINT regionDpi_ = 96;

    std::optional<PaintedControls> paintedControls_;

    GdiplusFonts fonts_;
};

} // namespace vemo

#pragma once

#include "app/form1.h"
#include "platform/paint/geometry.h"
#include "platform/win32/accessible_object.h"
#include "platform/win32/gdiplus_canvas.h"
#include "platform/window/window_core.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vemo {

// The clock's one window on Windows: a top-level window with a standard frame and title bar
// (start-up's region cuts them away), whose client area the painter draws over a GDI+ canvas;
// the text box and the two buttons are EDIT and BUTTON child windows. What it does with them,
// clicks, ticks and repaints, the window core decides; this class is the core's Win32 toolkit.
class ClockWindow : private WindowToolkit
{
public:
    ClockWindow();
    ~ClockWindow() override;
    ClockWindow(const ClockWindow &) = delete;
    ClockWindow &operator=(const ClockWindow &) = delete;

    // Creates the window for `form`, runs its start-up and shows it.
    void load(Form1 &form);
    // Runs the message loop until the program ends; the exit status.
    int run();

    // Ends the program with `status`: no event procedure runs after it.
    void endProgram(int status) { core_.endProgram(status); }
    // The region start-up gave the window, in its pixels at the resolution of that time.
    void regionSet(const EllipticRegion &region);

    bool ended() const { return core_.ended(); }
    int exitStatus() const { return core_.exitStatus(); }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The text box's and the buttons' own procedure in front of their class's.
    static LRESULT CALLBACK childProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // A key pressed in the window or a child of it, before the child sees it; true when the
    // core took it.
    bool keyDown(const MSG &message);

    // WindowToolkit
    void placeTextBox(const RectF &place, const TextBox &model) override;
    void placeButton(int index, const RectF &place, const CommandButton &model) override;
    void moveWindow(int left, int top) override;
    void repaint(const std::vector<Repaint> &rects) override;
    ClockReading readClocks() override;
    void armTimer(std::int64_t delayMs) override;
    void stopTimer() override;
    void reportError(const std::string &message) override;
    void quit(int status) override;
    void focus(const Control &control) override;
    void accessibleChanged(const AccessibleNode &node, AccessibleChange change) override;

    void createChildren(const Form1 &form);
    HWND childWindow(const Control &control) const
    {
        return childShowing<HWND>(control, text1_, buttons_);
    }
    void paint();
    void applyDpi(UINT dpi);

    WindowCore core_{*this};
    std::shared_ptr<AccessibleLink> accessibleLink_ = std::make_shared<AccessibleLink>();
    HWND window_ = nullptr;
    HWND text1_ = nullptr;
    std::array<HWND, 2> buttons_{};
    HFONT textFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
    HBRUSH textBackground_ = nullptr;

    UINT dpi_ = 96;
    bool syncing_ = false;                 // the program, not the user, is changing Text1
    std::optional<EllipticRegion> region_; // as start-up set it
    UINT regionDpi_ = 96;

    GdiplusFonts fonts_;
};

} // namespace vemo

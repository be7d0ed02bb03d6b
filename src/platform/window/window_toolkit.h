#pragma once

// What the window core asks of a window toolkit: the Qt window on Linux, the Win32 window on
// Windows. Places are client pixels; the core decides what to do and when, the toolkit only
// does it with its own calls, as a canvas only draws what the painter says.

#include "app/window/controls.h"
#include "platform/paint/geometry.h"
#include "platform/tick_scheduler.h"
#include "platform/window/accessible_tree.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace vemo {

enum class AccessibleChange
{
    Name,
    Value,
    State, // showing or enabled
    Focus
};

// A rectangle of the client area to paint again, and the place, in the back-to-front order, of
// the drawn control whose pixels there changed; kOverAll for what is drawn over every control
// (a focus mark).
struct Repaint
{
    static constexpr std::size_t kOverAll = std::numeric_limits<std::size_t>::max();

    RectF rect;
    std::size_t place;
};

class WindowToolkit
{
public:
    virtual ~WindowToolkit() = default;

    // The text box and the buttons, child windows of the toolkit, at `place` and as the model
    // says (text, locked, visible; enabled, visible).
    virtual void placeTextBox(const RectF &place, const TextBox &model) = 0;
    virtual void placeButton(int index, const RectF &place, const CommandButton &model) = 0;
    // The form's Left and Top, in screen pixels.
    virtual void moveWindow(int left, int top) = 0;
    // What an event changed, to be painted again.
    virtual void repaint(const std::vector<Repaint> &rects) = 0;

    virtual ClockReading readClocks() = 0;
    // One tick of the timer after `delayMs` of the monotonic clock, replacing one still armed.
    virtual void armTimer(std::int64_t delayMs) = 0;
    virtual void stopTimer() = 0;

    // Shows an error's message to the user and returns once it was seen.
    virtual void reportError(const std::string &message) = 0;
    // Ends the event loop with `status`.
    virtual void quit(int status) = 0;

    // Gives the keyboard focus to the child window of `control`, or to the window itself for
    // a control it paints.
    virtual void focus(const Control &control) = 0;
    // Tells the accessibility bridge that a node changed; `node` is the element of the core's
    // accessibleTree() as it is now.
    virtual void accessibleChanged(const AccessibleNode &node, AccessibleChange change) = 0;
};

// The child window of a toolkit that shows `control`: `textBox` for the text box, `buttons[i]`
// for Tuş(i); none for a control the window paints.
template <typename Child, typename TextBox, typename Button>
Child childShowing(const Control &control, TextBox textBox, const std::array<Button, 2> &buttons)
{
    if (control.kind() == ControlKind::TextBox)
        return textBox;
    if (control.kind() == ControlKind::CommandButton)
        return buttons[static_cast<std::size_t>(control.index())];
    return Child{};
}

// The control of `window` that the child window `child` shows; null for none.
template <typename Child, typename TextBox, typename Button>
const Control *controlShownBy(Child child, const WindowDescription &window, TextBox textBox,
                              const std::array<Button, 2> &buttons)
{
    if (child == textBox)
        return &window.Text1;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (child == buttons[i])
            return &window.Tuş(static_cast<int>(i));
    return nullptr;
}

} // namespace vemo

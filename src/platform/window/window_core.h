#pragma once

#include "app/form1.h"
#include "platform/paint/painted_controls.h"
#include "platform/tick_scheduler.h"
#include "platform/window/accessible_tree.h"
#include "platform/window/window_toolkit.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vemo {

// What the clock window does on every platform, written once over a WindowToolkit: it runs the
// event procedures and reports their errors, repaints and re-places what each event changed,
// arms the tick from the scheduler, takes clicks to the control under them, keeps the keyboard
// focus, and keeps the accessible tree. The toolkit passes its events in and does what it is
// told with its own calls.
class WindowCore
{
public:
    enum class Key
    {
        Tab,
        BackTab,
        Activate // Space or Enter
    };

    explicit WindowCore(WindowToolkit &toolkit) : toolkit_(toolkit) {}

    // Takes the window of `form`, whose child windows the toolkit has made, and places them.
    void attach(Form1 &form, double twipsPerPixel);
    // Runs start-up; false when it ended the program.
    bool load();
    // A new resolution: every place in pixels moves.
    void rescale(double twipsPerPixel);

    // Runs one event procedure; an error out of it is reported and ends the program with
    // status 1. Nothing runs after the program ended.
    void dispatch(const std::function<void()> &procedure);
    void endProgram(int status);
    // The timer woke, or the system's clock was set, or the machine woke from a suspend.
    void tick();

    // The primary button went down or up at a point of the client area; the other buttons
    // pass `primary` false. A click is a press and a release on the same control.
    void pointerPressed(PointF at, bool primary = true);
    void pointerReleased(PointF at, bool primary = true);
    // The user typed into the text box; a button's own click.
    void textEdited(const std::string &text);
    void buttonClicked(int index);
    // Does what a click on `control` does; false for a control a click does nothing to.
    bool activate(const Control &control);

    // A key pressed in the window or one of its child windows; false for a key the toolkit
    // is to handle itself.
    bool keyPressed(Key key);
    // The toolkit gave the focus to one of its child windows.
    void focusTaken(const Control &control);
    const Control *focused() const { return focused_; }
    // Where to mark the focus: around a painted control that has it, once a key was pressed.
    std::optional<RectF> focusMark() const;

    const std::vector<AccessibleNode> &accessibleTree() const { return tree_; }
    const AccessibleNode *accessibleNode(const Control &control) const;

    Form1 &form() const { return *form_; }
    bool attached() const { return form_ != nullptr; }
    double twipsPerPixel() const { return twipsPerPixel_; }
    bool ended() const { return ended_; }
    int exitStatus() const { return exitStatus_; }

private:
    void afterEvent();
    void placeChildren();
    void syncTimer();
    void armTimer();
    const Control *clickTarget(PointF at) const;
    void moveFocus(int step);
    void setFocus(const Control *control);
    void refreshTree(const std::vector<const Control *> &changed);

    WindowToolkit &toolkit_;
    Form1 *form_ = nullptr;
    double twipsPerPixel_ = 15;
    bool ended_ = false;
    int exitStatus_ = 0;
    std::optional<TickScheduler> scheduler_;
    std::optional<PaintedControls> painted_;
    const Control *pressed_ = nullptr; // where the primary button went down
    const Control *focused_ = nullptr; // none until a key or the toolkit gives it
    bool keyboardUsed_ = false;        // a key moved or used the focus: mark it
    std::vector<AccessibleNode> tree_; // as the bridge was last told
};

} // namespace vemo

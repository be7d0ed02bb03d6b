#pragma once

// The window as a screen reader sees it: the controls a user reads or works, each with a role,
// a name and a place, in reading order (top to bottom, the panel's row left to right). The
// tree holds the same nodes all the time; a hidden one is marked as not showing.

#include "app/window/window_description.h"
#include "platform/paint/geometry.h"

#include <string>
#include <vector>

namespace vemo {

enum class AccessibleRole
{
    StaticText,
    PushButton,
    EditableText
};

struct AccessibleNode
{
    const Control *control = nullptr;
    AccessibleRole role = AccessibleRole::StaticText;
    std::string name;
    std::string value; // the text box's text; empty for the others
    RectF bounds;      // client pixels
    bool showing = true;
    bool enabled = true;
    bool focusable = false; // a stop of Tab and Shift+Tab while showing and enabled
    bool painted = true;    // drawn by the window; otherwise a child window of the toolkit

    bool takesFocus() const { return focusable && showing && enabled; }
};

// The nodes of `window` at `twipsPerPixel`.
std::vector<AccessibleNode> accessibleTree(const WindowDescription &window, double twipsPerPixel);
// The node of one control of that tree, as its properties are now. The bell's name is the
// caption of Label6, which no procedure writes.
AccessibleNode accessibleNode(const WindowDescription &window, const Control &control,
                              double twipsPerPixel);

// A child window's place: left, top, width and height each rounded to whole pixels.
RectF childPlace(const Box &box, double twipsPerPixel);

} // namespace vemo

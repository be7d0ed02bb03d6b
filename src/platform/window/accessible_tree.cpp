#include "platform/window/accessible_tree.h"

#include "platform/paint/painter.h"

#include <cmath>

namespace vemo {

namespace {

AccessibleNode staticText(const Label &label, double twipsPerPixel)
{
    return {
        &label, AccessibleRole::StaticText, label.Caption, {}, toPixels(label.box, twipsPerPixel)};
}

AccessibleNode button(const CommandButton &button, const char *name, double twipsPerPixel)
{
    return {&button,
            AccessibleRole::PushButton,
            name,
            {},
            childPlace(button.box, twipsPerPixel),
            button.Visible,
            button.Enabled,
            true,
            false};
}

// A control the window paints that a click works: the bell, Kapat.
AccessibleNode paintedButton(const Control &control, const std::string &name, const RectF &bounds)
{
    return {&control, AccessibleRole::PushButton, name, {}, bounds, true, true, true};
}

} // namespace

RectF childPlace(const Box &box, double twipsPerPixel)
{
    const RectF r = toPixels(box, twipsPerPixel);
    return {std::round(r.left), std::round(r.top), std::round(r.width), std::round(r.height)};
}

AccessibleNode accessibleNode(const WindowDescription &window, const Control &control,
                              double twipsPerPixel)
{
    const double tpp = twipsPerPixel;
    const TextBox &text = window.Text1;
    if (&control == &window.Image1)
        // The bell is named by the label under it, and does what a click on it does.
        return paintedButton(window.Image1, window.Label6.Caption,
                             controlBounds(&window.Image1, tpp));
    if (&control == &window.Label5)
        return paintedButton(window.Label5, window.Label5.Caption,
                             toPixels(window.Label5.box, tpp));
    if (&control == &text)
        return {&text,
                AccessibleRole::EditableText,
                "Alarm saati",
                text.Text,
                childPlace(text.box, tpp),
                text.Visible,
                true,
                true,
                false};
    if (control.kind() == ControlKind::CommandButton)
        return button(window.Tuş(control.index()),
                      control.index() == 1 ? "Saat ileri" : "Dakika ileri", tpp);
    return staticText(static_cast<const Label &>(control), tpp);
}

std::vector<AccessibleNode> accessibleTree(const WindowDescription &window, double twipsPerPixel)
{
    const Control *const readingOrder[] = {
        &window.Label3(0), // time
        &window.Label3(1), // date
        &window.Label3(2), // weekday
        &window.Label2,    // the user's name
        &window.Label4,    // the contact line
        &window.Image1,    // the bell
        &window.Label6,
        // The panel's row, left to right.
        &window.Tuş(1),
        &window.Text1,
        &window.Tuş(0),
        &window.Label5,
    };
    std::vector<AccessibleNode> tree;
    for (const Control *control : readingOrder)
        tree.push_back(accessibleNode(window, *control, twipsPerPixel));
    return tree;
}

} // namespace vemo

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

} // namespace

RectF childPlace(const Box &box, double twipsPerPixel)
{
    const RectF r = toPixels(box, twipsPerPixel);
    return {std::round(r.left), std::round(r.top), std::round(r.width), std::round(r.height)};
}

std::vector<AccessibleNode> accessibleTree(const WindowDescription &window, double twipsPerPixel)
{
    const double tpp = twipsPerPixel;
    const TextBox &text = window.Text1;
    return {
        staticText(window.Label3(0), tpp), // time
        staticText(window.Label3(1), tpp), // date
        staticText(window.Label3(2), tpp), // weekday
        staticText(window.Label2, tpp),    // the user's name
        staticText(window.Label4, tpp),    // the contact line
        // The bell is named by the label under it, and does what a click on it does.
        {&window.Image1,
         AccessibleRole::PushButton,
         window.Label6.Caption,
         {},
         controlBounds(&window.Image1, tpp),
         true,
         true,
         true},
        staticText(window.Label6, tpp),
        // The panel's row, left to right.
        button(window.Tuş(1), "Saat ileri", tpp),
        {&text, AccessibleRole::EditableText, "Alarm saati", text.Text, childPlace(text.box, tpp),
         text.Visible, true, true, false},
        button(window.Tuş(0), "Dakika ileri", tpp),
        {&window.Label5,
         AccessibleRole::PushButton,
         window.Label5.Caption,
         {},
         toPixels(window.Label5.box, tpp),
         true,
         true,
         true},
    };
}

} // namespace vemo

#pragma once

#include "app/window/controls.h"

#include <variant>
#include <vector>

namespace vemo {

// A control that the window paints itself (text box and buttons are child windows instead).
using DrawnControl = std::variant<const Shape *, const Line *, const Label *, const Image *>;

// The clock window and its 106 controls with the values they have when the window is created.
// The dial's discs are centred on (5527.5, 5527.5); the client area is 11085 x 11190 twips.
class WindowDescription
{
public:
    WindowDescription();
    WindowDescription(const WindowDescription &) = delete;
    WindowDescription &operator=(const WindowDescription &) = delete;

    // The drawn controls from back to front: each is painted over the ones before it.
    const std::vector<DrawnControl> &backToFront() const { return backToFront_; }

    ChangeLog changes; // declared first: every control below reports to it

    FormWindow Form{changes};
    ControlArray<Shape> Shape1{changes, "Shape1", 4}; // dial disc and the three hubs
    Shape Shape2{changes, "Shape2"};                  // inner disc
    Line Line1{changes, "Line1"};                     // second hand
    Line Line2{changes, "Line2"};                     // minute hand
    Line Line3{changes, "Line3"};                     // hour hand
    ControlArray<Line> Line4{changes, "Line4", 61};   // dial marks
    Line Line5{changes, "Line5"};                     // alarm hand
    ControlArray<Label> Label1{changes, "Label1", 24}; // numerals: 12-hour ring, then 24-hour ring
    Label Label2{changes, "Label2"};                  // the user's name
    ControlArray<Label> Label3{changes, "Label3", 3}; // time, date, weekday
    Label Label4{changes, "Label4"};                  // the program's own line
    Label Label5{changes, "Label5"};                  // "Kapat"
    Label Label6{changes, "Label6"};                  // "Alarm ayarla"
    Image Image1{changes, "Image1"};                  // the bell
    TextBox Text1{changes, "Text1"};                  // alarm time
    ControlArray<CommandButton> Tuş{changes, "Tuş", 2}; // 0: minute step, 1: hour step
    Timer Timer1{changes, "Timer1"};

private:
    void describeWindow();
    void describeShapes();
    void describeHands();
    void describeDialMarks();
    void describeNumerals();
    void describeTextLabels();
    void describePanel();
    void stack();

    std::vector<DrawnControl> backToFront_;
};

// The line on the contact label: the program's name and version.
inline constexpr const char *kProgramLine = "VEMO2 1.00";

} // namespace vemo

#include "app/window/window_description.h"

#include <array>

namespace vemo {

namespace {

void setEnds(Line &line, float x1, float y1, float x2, float y2)
{
    line.X1 = x1;
    line.Y1 = y1;
    line.X2 = x2;
    line.Y2 = y2;
}

struct Numeral
{
    const char *caption;
    Box box;
    double size; // points
    Colour colour;
};

// Outer ring (0-11): the 12-hour numerals; inner ring (12-23): the 24-hour numerals. The index
// order is not the clock order.
constexpr std::array<Numeral, 24> kNumerals{{
    {"12", {4680, 120, 1695, 975}, 48, 0x0000C0},
    {"6", {4680, 9840, 1695, 975}, 48, 0x0000C0},
    {"3", {10080, 4800, 735, 1455}, 60, 0x0000C0},
    {"9", {240, 4800, 855, 1455}, 60, 0x0000C0},
    {"11", {2520, 960, 1095, 735}, 27.75, 0x004080},
    {"10", {720, 2760, 1095, 735}, 27.75, 0x004080},
    {"8", {720, 7800, 1095, 735}, 27.75, 0x004080},
    {"7", {2400, 9480, 1095, 735}, 27.75, 0x004080},
    {"5", {7440, 9480, 1095, 735}, 27.75, 0x004080},
    {"4", {9360, 7800, 735, 735}, 27.75, 0x004080},
    {"2", {9240, 2760, 1095, 735}, 27.75, 0x004080},
    {"1", {7440, 960, 1095, 735}, 27.75, 0x004080},
    {"23", {2880, 1560, 855, 495}, 21.75, 0xFF0000},
    {"22", {1320, 3120, 855, 495}, 21.75, 0xFF0000},
    {"20", {1320, 7560, 855, 495}, 21.75, 0xFF0000},
    {"13", {7320, 1560, 855, 495}, 21.75, 0xFF0000},
    {"14", {8880, 3120, 855, 495}, 21.75, 0xFF0000},
    {"16", {8880, 7560, 855, 495}, 21.75, 0xFF0000},
    {"17", {7320, 9000, 855, 495}, 21.75, 0xFF0000},
    {"19", {2880, 9000, 855, 495}, 21.75, 0xFF0000},
    {"21", {840, 5280, 855, 495}, 21.75, 0xFF0000},
    {"15", {9360, 5280, 855, 495}, 21.75, 0xFF0000},
    {"18", {5040, 9600, 855, 495}, 21.75, 0xFF0000},
    {"00", {5160, 960, 735, 495}, 21.75, 0xFF0000},
}};

constexpr int kBold = 700;
constexpr int kRegular = 400;

} // namespace

WindowDescription::WindowDescription()
{
    describeWindow();
    describeShapes();
    describeHands();
    describeDialMarks();
    describeNumerals();
    describeTextLabels();
    describePanel();
    stack();
    changes.takeChanged(); // creation values are no change
}

void WindowDescription::describeWindow()
{
    Form.caption = "Tolvan Vemo";
    Form.clientWidth = 11085;
    Form.clientHeight = 11190;
    Form.backColor = 0x000040;
    Form.font = {"MS Sans Serif", 8.25, kRegular, false};
}

void WindowDescription::describeShapes()
{
    Shape1(0).box = {120, 240, 10815, 10575};
    Shape1(0).fillColor = 0x00C0C0;
    Shape1(0).outline = Outline{0xC0FFFF, 4};

    Shape2.box = {840, 1440, 9375, 8175};
    Shape2.fillColor = 0x80FFFF;

    Shape1(1).box = {5160, 5160, 735, 735};
    Shape1(1).fillColor = 0x800000;
    Shape1(1).outline = Outline{0x00FFFF, 1};

    Shape1(2).box = {5280, 5280, 495, 495};
    Shape1(2).fillColor = 0x000000;
    Shape1(2).outline = Outline{0xC0C0C0, 1};

    Shape1(3).box = {5400, 5400, 255, 255};
    Shape1(3).fillColor = 0x000080;
    Shape1(3).outline = Outline{0x808080, 1};
}

void WindowDescription::describeHands()
{
    setEnds(Line1, 5520, 6240, 5520, 480);
    Line1.BorderColor = 0x000080;
    Line1.BorderWidth = 4;

    setEnds(Line2, 5520, 6360, 5520, 1440);
    Line2.BorderWidth = 10;

    setEnds(Line3, 5520, 6360, 5520, 2640);
    Line3.BorderColor = 0x800000;
    Line3.BorderWidth = 14;

    setEnds(Line5, 5520, 5520, 9240, 5520);
    Line5.BorderColor = 0x0000FF;
    Line5.BorderWidth = 2;
}

void WindowDescription::describeDialMarks()
{
    // They wait in a row below the client area until start-up lays them out on the dial.
    for (Line &mark : Line4) {
        const float x = static_cast<float>(360 + 120 * mark.index());
        setEnds(mark, x, 11400, x, 12000);
    }
    Line4(0).BorderColor = 0xFF0000;
}

void WindowDescription::describeNumerals()
{
    for (Label &numeral : Label1) {
        const Numeral &n = kNumerals[static_cast<std::size_t>(numeral.index())];
        numeral.Caption = n.caption;
        numeral.box = n.box;
        numeral.font = {"Arial", n.size, kBold, false};
        numeral.foreColor = n.colour;
    }
}

void WindowDescription::describeTextLabels()
{
    Label2.box = {1920, 6240, 7215, 1215};
    Label2.font = {"Monotype Corsiva", 48, kRegular, true};
    Label2.foreColor = 0x0080FF;

    Label3(0).box = {4320, 2520, 2415, 495};
    Label3(0).font = {"Tahoma", 18, kBold, false};
    Label3(0).foreColor = 0x00C000;

    Label3(1).box = {3960, 3240, 3135, 495};
    Label3(1).font = {"Century Gothic", 18, kBold, false};
    Label3(1).foreColor = 0xC000C0;

    Label3(2).box = {4080, 3600, 2895, 495};
    Label3(2).font = {"Century Gothic", 14.25, kBold, false};
    Label3(2).foreColor = 0xC000C0;

    Label4.box = {4080, 7560, 2895, 375};
    Label4.Caption = kProgramLine;
    Label4.font = {"Century Gothic", 12, kBold, false};

    Label5.box = {4920, 9000, 1215, 375};
    Label5.Caption = "Kapat";
    Label5.font = {"MS Sans Serif", 9.75, kBold, false};
    Label5.backColor = 0x80FFFF;

    Label6.box = {4440, 8400, 2175, 255};
    Label6.Caption = "Alarm ayarla";
    Label6.font = Form.font;
    Label6.backColor = 0x80FFFF;
}

void WindowDescription::describePanel()
{
    Image1.box = {5280, 7920, 480, 480};
    Image1.picture = Picture::Bell;

    Text1.box = {5040, 8400, 975, 375};
    Text1.font = {"Tahoma", 11.25, kBold, false};
    Text1.backColor = 0xFFFFFF;

    // "6" in Webdings is a small black down-pointing triangle.
    Tuş(1).box = {4800, 8400, 255, 375};
    Tuş(0).box = {6000, 8400, 255, 375};
    for (CommandButton &button : Tuş) {
        button.caption = "6";
        button.font = {"Webdings", 8.25, kBold, false};
    }
}

void WindowDescription::stack()
{
    // Listed from back to front.
    backToFront_ = {&Shape1(0), &Shape2, &Image1, &Line5};
    for (const Line &mark : Line4)
        backToFront_.push_back(&mark);
    for (int i : {0, 22, 23})
        backToFront_.push_back(&Label1(i));
    backToFront_.push_back(&Shape1(1));
    backToFront_.push_back(&Label2);
    for (int i : {1, 2, 3})
        backToFront_.push_back(&Label1(i));
    backToFront_.push_back(&Line3);
    for (int i : {5, 6, 7, 8, 9, 10, 11, 4})
        backToFront_.push_back(&Label1(i));
    backToFront_.push_back(&Shape1(2));
    for (int i = 12; i <= 19; ++i)
        backToFront_.push_back(&Label1(i));
    backToFront_.push_back(&Line2);
    backToFront_.push_back(&Shape1(3));
    for (int i : {20, 21})
        backToFront_.push_back(&Label1(i));
    for (int i : {0, 1, 2})
        backToFront_.push_back(&Label3(i));
    for (const Label *label : {&Label4, &Label5, &Label6})
        backToFront_.push_back(label);
    backToFront_.push_back(&Line1);
}

} // namespace vemo

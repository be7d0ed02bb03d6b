#pragma once

// The kinds of controls on the clock window, as plain data. Positions and sizes are twips from
// the top-left corner of the client area, line and outline widths are pixels, colours are
// 0x00BBGGRR (blue in the high byte). Values the procedures write are Properties; the rest keep
// their creation values for the life of the window.

#include "app/window/property.h"
#include "platform/errors.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace vemo {

using Colour = std::uint32_t;

struct Box
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool contains(double x, double y) const
    {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

struct Font
{
    std::string name;
    double size = 8.25; // points
    int weight = 400;   // 400 regular, 700 bold
    bool italic = false;
};

// The window itself.
class FormWindow : public Control
{
public:
    explicit FormWindow(ChangeLog &log) : Control(log, ControlKind::Window, "Form1") {}

    std::string caption;
    double clientWidth = 0;  // twips
    double clientHeight = 0; // twips
    Colour backColor = 0;
    Font font;
    Property<float> Left{*this, "Left"}; // twips on the screen
    Property<float> Top{*this, "Top"};
};

struct Outline
{
    Colour colour = 0;
    int width = 1; // pixels
};

// A filled circle: its diameter is the smaller side of the box, centred in the box.
class Shape : public Control
{
public:
    Shape(ChangeLog &log, std::string name, int index = -1)
        : Control(log, ControlKind::Shape, std::move(name), index)
    {
    }

    Box box;
    Colour fillColor = 0;
    std::optional<Outline> outline; // none: no outline
};

// A straight segment from (X1, Y1) to (X2, Y2).
class Line : public Control
{
public:
    Line(ChangeLog &log, std::string name, int index = -1)
        : Control(log, ControlKind::Line, std::move(name), index)
    {
    }

    Property<float> X1{*this, "X1"};
    Property<float> Y1{*this, "Y1"};
    Property<float> X2{*this, "X2"};
    Property<float> Y2{*this, "Y2"};
    Property<Colour> BorderColor{*this, "BorderColor", 0x000000};
    Property<std::int16_t> BorderWidth{*this, "BorderWidth", 1}; // pixels
    Property<bool> Visible{*this, "Visible", true};
};

// A caption in a box: centred across, from the top edge down, broken between words and cut off
// at the box.
class Label : public Control
{
public:
    Label(ChangeLog &log, std::string name, int index = -1)
        : Control(log, ControlKind::Label, std::move(name), index)
    {
    }

    Box box;
    Property<std::string> Caption{*this, "Caption"};
    Font font;
    Colour foreColor = 0x000000;
    std::optional<Colour> backColor; // none: transparent
};

enum class Picture { Bell };

// A picture at its own size.
class Image : public Control
{
public:
    Image(ChangeLog &log, std::string name) : Control(log, ControlKind::Image, std::move(name)) {}

    Box box;
    Picture picture = Picture::Bell;
};

// An edit field, a child window of its own.
class TextBox : public Control
{
public:
    TextBox(ChangeLog &log, std::string name)
        : Control(log, ControlKind::TextBox, std::move(name))
    {
    }

    Box box;
    Property<std::string> Text{*this, "Text"};
    Font font;
    Colour backColor = 0xFFFFFF;
    Colour foreColor = 0x000000;
    Property<bool> Visible{*this, "Visible", true};
    Property<bool> Locked{*this, "Locked", false};
};

// A push button, a child window of its own.
class CommandButton : public Control
{
public:
    CommandButton(ChangeLog &log, std::string name, int index)
        : Control(log, ControlKind::CommandButton, std::move(name), index)
    {
    }

    Box box;
    std::string caption;
    Font font;
    Property<bool> Visible{*this, "Visible", true};
    Property<bool> Enabled{*this, "Enabled", true};
};

// Raises a tick every Interval milliseconds while the interval is above 0.
class Timer : public Control
{
public:
    Timer(ChangeLog &log, std::string name) : Control(log, ControlKind::Timer, std::move(name)) {}

    Property<std::int32_t> Interval{*this, "Interval", 0};
};

// A control array, addressed by index from 0. An index outside it raises an error, as every
// control look-up is checked.
template <typename T> class ControlArray
{
public:
    ControlArray(ChangeLog &log, const std::string &name, int count)
    {
        for (int i = 0; i < count; ++i)
            elements_.emplace_back(log, name, i);
    }

    T &operator()(int index) { return elements_[checkedIndex(index)]; }
    const T &operator()(int index) const { return elements_[checkedIndex(index)]; }
    int count() const { return static_cast<int>(elements_.size()); }

    auto begin() { return elements_.begin(); }
    auto end() { return elements_.end(); }
    auto begin() const { return elements_.begin(); }
    auto end() const { return elements_.end(); }

private:
    std::size_t checkedIndex(int index) const;

    std::deque<T> elements_; // a deque never moves its elements as it grows
};

template <typename T> std::size_t ControlArray<T>::checkedIndex(int index) const
{
    if (index < 0 || index >= count())
        throw RuntimeError(RuntimeError::Code::NoSuchControl,
                           elements_.front().name() + "(" + std::to_string(index) + ")");
    return static_cast<std::size_t>(index);
}

} // namespace vemo

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vemo {

class Control;

// Records which controls the procedures wrote since the window last asked, so the window can
// repaint just those, and tells an optional observer of every single property write.
class ChangeLog
{
public:
    using Observer = std::function<void(const Control &, std::string_view property)>;

    // A property was written; `changed` tells whether its value is new.
    void written(const Control &control, std::string_view property, bool changed);
    // The controls whose values changed since the last call, each once, in the order of their
    // first change.
    std::vector<const Control *> takeChanged();
    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    std::vector<const Control *> changed_;
    Observer observer_;
};

enum class ControlKind { Window, Shape, Line, Label, Image, TextBox, CommandButton, Timer };

// What every control has: its kind, its name and, for an element of a control array, its index.
// Controls are created once with the window and never copied or moved.
class Control
{
public:
    Control(ChangeLog &log, ControlKind kind, std::string name, int index = -1)
        : log_(log), kind_(kind), name_(std::move(name)), index_(index)
    {
    }
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    ControlKind kind() const { return kind_; }
    const std::string &name() const { return name_; }
    int index() const { return index_; } // -1 for a control that is no array element
    // "Line4(60)", "Label5".
    std::string displayName() const;

private:
    template <typename T> friend class Property;
    friend class ChangeLog;
    void written(std::string_view property, bool changed)
    {
        log_.written(*this, property, changed);
    }

    ChangeLog &log_;
    ControlKind kind_;
    std::string name_;
    int index_;
    mutable bool pendingChange_ = false; // already listed by the change log
};

// A control property that the event procedures write. Reads give the value; every write is
// logged, and one that changes the value makes the window repaint the control.
template <typename T> class Property
{
public:
    Property(Control &owner, const char *name, T value = T{})
        : owner_(owner), name_(name), value_(std::move(value))
    {
    }
    Property(const Property &) = delete;

    Property &operator=(T value)
    {
        const bool changed = !(value_ == value);
        value_ = std::move(value);
        owner_.written(name_, changed);
        return *this;
    }
    Property &operator=(const Property &other) { return *this = other.value_; }

    operator const T &() const { return value_; }
    const T &get() const { return value_; }

private:
    Control &owner_;
    const char *name_;
    T value_;
};

} // namespace vemo

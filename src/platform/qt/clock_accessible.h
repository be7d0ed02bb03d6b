#pragma once

// The clock window as Qt's accessibility (AT-SPI on Linux) sees it: the window core's tree,
// each painted control an interface of its own, the text box and the buttons their widgets'.

#include <QAccessibleInterface>

class QObject;
class QString;

namespace vemo {

class ClockWindow;
class Control;

// Makes Qt ask for the clock window's interface below; once per program.
void installClockAccessibility();

// A control the window paints, in the core's terms: its role, name, place and state, and for a
// button the action a click does.
class PaintedControlAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PaintedControlAccessible(ClockWindow &window, const Control &control);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    ClockWindow &window_;
    const Control &control_;
};

} // namespace vemo

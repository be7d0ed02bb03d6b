#include "platform/qt/clock_accessible.h"

#include "platform/qt/clock_window.h"
#include "platform/qt/qt_canvas.h"

#include <QAccessibleWidget>
#include <QWindow>

namespace vemo {

namespace {

// The window, named by its title, whose children are the nodes of the core's tree in order.
class ClockWindowAccessible : public QAccessibleWidget
{
public:
    explicit ClockWindowAccessible(ClockWindow *window)
        : QAccessibleWidget(window, QAccessible::Window), window_(*window)
    {
    }

    int childCount() const override
    {
        return window_.core().attached() ? static_cast<int>(tree().size()) : 0;
    }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return window_.accessibleFor(tree()[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface *node = child(i);
            if (!node->state().invisible && node->rect().contains(x, y))
                return node;
        }
        return nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        const Control *focused = window_.core().focused();
        if (!focused || !window_.hasFocus())
            return QAccessibleWidget::focusChild();
        return window_.accessibleFor(*window_.core().accessibleNode(*focused));
    }

private:
    const std::vector<AccessibleNode> &tree() const { return window_.core().accessibleTree(); }

    ClockWindow &window_;
};

QAccessibleInterface *clockWindowFactory(const QString &, QObject *object)
{
    if (auto *window = dynamic_cast<ClockWindow *>(object))
        return new ClockWindowAccessible(window);
    return nullptr;
}

} // namespace

void installClockAccessibility()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(clockWindowFactory);
    installed = true;
}

PaintedControlAccessible::PaintedControlAccessible(ClockWindow &window, const Control &control)
    : window_(window), control_(control)
{
}

bool PaintedControlAccessible::isValid() const
{
    return window_.core().attached();
}

QWindow *PaintedControlAccessible::window() const
{
    return window_.windowHandle();
}

QAccessibleInterface *PaintedControlAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(&window_);
}

QString PaintedControlAccessible::text(QAccessible::Text t) const
{
    const AccessibleNode *node = window_.core().accessibleNode(control_);
    if (t == QAccessible::Name)
        return QString::fromStdString(node->name);
    if (t == QAccessible::Value)
        return QString::fromStdString(node->value);
    return {};
}

QRect PaintedControlAccessible::rect() const
{
    const QRect inWindow = toQt(window_.core().accessibleNode(control_)->bounds).toAlignedRect();
    return QRect(window_.mapToGlobal(inWindow.topLeft()), inWindow.size());
}

QAccessible::Role PaintedControlAccessible::role() const
{
    return window_.core().accessibleNode(control_)->role == AccessibleRole::PushButton
               ? QAccessible::Button
               : QAccessible::StaticText;
}

QAccessible::State PaintedControlAccessible::state() const
{
    const AccessibleNode &node = *window_.core().accessibleNode(control_);
    QAccessible::State state;
    state.invisible = !node.showing || !window_.isVisible();
    state.disabled = !node.enabled;
    state.readOnly = node.role == AccessibleRole::StaticText;
    state.focusable = node.focusable;
    state.focused = window_.hasFocus() && window_.core().focused() == &control_;
    return state;
}

void *PaintedControlAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface && role() == QAccessible::Button)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList PaintedControlAccessible::actionNames() const
{
    return {QAccessibleActionInterface::pressAction()};
}

void PaintedControlAccessible::doAction(const QString &actionName)
{
    if (actionName == QAccessibleActionInterface::pressAction())
        window_.activateLater(control_);
}

QStringList PaintedControlAccessible::keyBindingsForAction(const QString &) const
{
    return {};
}

} // namespace vemo

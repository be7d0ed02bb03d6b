#pragma once

#include "app/form1.h"
#include "platform/qt/paint_cache.h"
#include "platform/qt/window_surface.h"
#include "platform/window/window_core.h"

#include <QAccessible>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace vemo {

class ClockChangeNotifier;

// The clock's one window: a frameless top-level widget that paints the form's drawn controls
// and hosts the text box and the two buttons as child widgets. What it does with them, clicks,
// ticks and repaints, the window core decides; this class is the core's Qt toolkit.
class ClockWindow : public QWidget, private WindowToolkit
{
public:
    // The insets of a standard frame with a title bar, in pixels: the form's region and position
    // are given for a framed window, and this one has no frame.
    static constexpr int kFrameLeft = 4;
    static constexpr int kFrameTop = 30;

    explicit ClockWindow(WindowSurface surface = surfaceForDesktop());
    ~ClockWindow() override;

    // Creates the window for `form`, runs its start-up and shows it.
    void load(Form1 &form, double twipsPerPixel);

    // The region of the form, in pixels of the framed window: the window's shape, and on an
    // alpha surface also where its pixels are opaque.
    void setRegion(const EllipticRegion &region);
    // Ends the event loop with `status`; no event procedure runs after it.
    void endProgram(int status) { core_.endProgram(status); }

    // Runs one event procedure; an error out of it is reported and ends the program.
    void dispatch(const std::function<void()> &procedure) { core_.dispatch(procedure); }

    // Shows an error's message to the user; a message box unless replaced.
    void setErrorReporter(std::function<void(const QString &message)> reporter);

    bool ended() const { return core_.ended(); }
    // The window's shape, the circle of the region, in client pixels.
    QRegion shape() const { return QRegion(ellipse_, QRegion::Ellipse); }
    // What the last event asked to repaint, in window pixels.
    const QRegion &lastRepaint() const { return lastRepaint_; }
    int exitStatus() const { return core_.exitStatus(); }

    // For the accessibility bridge: the core, the interface of a node of its tree, and what a
    // click on a control does, run once the bridge's call has returned.
    const WindowCore &core() const { return core_; }
    QAccessibleInterface *accessibleFor(const AccessibleNode &node);
    void activateLater(const Control &control);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Qt moves the focus on when a focused child hides; the core decides where it goes.
    bool focusNextPrevChild(bool) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool keyPressed(const QKeyEvent &event);
    // Puts a child window at `place`, to be shown or not.
    void placeChild(QWidget &child, const RectF &place, bool visible);
    // Gives the native window the shape, made as it is shown.
    void shapeNativeWindow();
    // Clears what lies outside the region's ellipse, within the painter's clip.
    void clearOutsideEllipse(QPainter &painter) const;
    QWidget *childWidget(const Control &control) const;

    // WindowToolkit
    void placeTextBox(const RectF &place, const TextBox &model) override;
    void placeButton(int index, const RectF &place, const CommandButton &model) override;
    void moveWindow(int left, int top) override;
    void repaint(const std::vector<Repaint> &rects) override;
    ClockReading readClocks() override;
    void armTimer(std::int64_t delayMs) override;
    void stopTimer() override;
    void reportError(const std::string &message) override;
    void quit(int status) override;
    void focus(const Control &control) override;
    void accessibleChanged(const AccessibleNode &node, AccessibleChange change) override;

    WindowCore core_{*this};
    WindowSurface surface_;
    QRect ellipse_; // the region's bounding rectangle, client pixels
    std::function<void(const QString &)> reportError_;
    QLineEdit *text1_ = nullptr;
    std::array<QPushButton *, 2> buttons_{};
    QTimer timer_;
    ClockChangeNotifier *clockChanges_ = nullptr;
    QRegion lastRepaint_;
    QRegion asked_;            // the repaints asked of the toolkit and not yet painted
    std::vector<QRect> stale_; // the pixels of the window's buffer out of date
    std::unordered_map<const Control *, QAccessible::Id> paintedInterfaces_;

    std::optional<PaintCache> cache_;
};

} // namespace vemo

#pragma once

#include "app/form1.h"
#include "platform/paint/painted_controls.h"
#include "platform/tick_scheduler.h"
#include "platform/qt/window_surface.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>

class QLineEdit;
class QPushButton;

namespace vemo {

class ClockChangeNotifier;

// The clock's one window: a frameless top-level widget that paints the form's drawn controls,
// hosts the text box and the two buttons as child widgets, routes clicks and ticks to the event
// procedures, and repaints what each event changed.
class ClockWindow : public QWidget
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
    void endProgram(int status);

    // Runs one event procedure; an error out of it is reported and ends the program.
    void dispatch(const std::function<void()> &procedure);

    // Shows an error's message to the user; a message box unless replaced.
    void setErrorReporter(std::function<void(const QString &message)> reporter);

    bool ended() const { return ended_; }
    // What the last event asked to repaint, in window pixels.
    const QRegion &lastRepaint() const { return lastRepaint_; }
    int exitStatus() const { return exitStatus_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void afterEvent();
    void syncTextBox();
    void syncButton(int index);
    void syncPosition();
    void syncTimer();
    void armTimer();
    void tick();
    void showError(const QString &message);
    const Control *clickTarget(QPointF position) const;

    WindowSurface surface_;
    QRect ellipse_; // the region's bounding rectangle, client pixels
    Form1 *form_ = nullptr;
    double twipsPerPixel_ = 15;
    bool ended_ = false;
    int exitStatus_ = 0;
    std::function<void(const QString &)> reportError_;
    QLineEdit *text1_ = nullptr;
    std::array<QPushButton *, 2> buttons_{};
    QTimer timer_;
    std::optional<TickScheduler> scheduler_;
    ClockChangeNotifier *clockChanges_ = nullptr;
    const Control *pressed_ = nullptr;
    QRegion lastRepaint_;
    std::optional<PaintedControls> paintedControls_;

    // The controls at the back that have not changed since the window was first painted (the
    // dial, its marks and most numerals), painted once: a repaint copies them from here and
    // draws only the controls in front of them. On an alpha surface it is transparent outside
    // the ellipse, with the ellipse's edge antialiased.
    QImage background_;
    std::size_t backgroundDepth_ = std::numeric_limits<std::size_t>::max(); // controls in it
    bool painted_ = false;
};

} // namespace vemo

#include "platform/qt/clock_window.h"

#include "platform/paint/painter.h"
#include "platform/qt/clock_accessible.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/system_clocks.h"

#include <QAccessibleEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QWindow>

#include <cmath>
#include <cstdlib>

namespace vemo {

ClockWindow::ClockWindow(WindowSurface surface)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), surface_(surface)
{
    // An alpha surface has to be asked for before the native window exists. Every repaint still
    // covers all of its rectangle, transparent pixels included.
    if (surface_ == WindowSurface::Alpha)
        setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    installClockAccessibility();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { core_.tick(); });
    // The timer sleeps by a clock that stands still in a suspend; a set clock or a resume
    // wakes the scheduler at once.
    clockChanges_ = new ClockChangeNotifier([this] { core_.tick(); }, this);

    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(clockIconPicture(size)));
    setWindowIcon(icon);
}

ClockWindow::~ClockWindow()
{
    for (const auto &[control, id] : paintedInterfaces_)
        QAccessible::deleteAccessibleInterface(id);
}

void ClockWindow::load(Form1 &form, double twipsPerPixel)
{
    form.hWnd = reinterpret_cast<WindowHandle>(this);

    setWindowTitle(QString::fromStdString(form.Form.caption));
    setFixedSize(qRound(form.Form.clientWidth / twipsPerPixel),
                 qRound(form.Form.clientHeight / twipsPerPixel));

    text1_ = new QLineEdit(this);
    text1_->setFont(qtFont(form.Text1.font));
    text1_->setAlignment(Qt::AlignCenter);
    text1_->setAutoFillBackground(true); // opaque: its repaints never reach the dial
    QPalette palette = text1_->palette();
    palette.setColor(QPalette::Base, qtColour(form.Text1.backColor));
    palette.setColor(QPalette::Text, qtColour(form.Text1.foreColor));
    text1_->setPalette(palette);
    // Tab reaches the text box and the buttons; a click leaves the focus where it was.
    text1_->setFocusPolicy(Qt::TabFocus);
    text1_->installEventFilter(this);
    connect(text1_, &QLineEdit::textEdited, this,
            [this](const QString &text) { core_.textEdited(text.toStdString()); });
    for (int i = 0; i < 2; ++i) {
        const CommandButton &button = form.Tuş(i);
        buttons_[i] = new QPushButton(displayCaption(button.font, button.caption), this);
        buttons_[i]->setFont(qtFont(button.font));
        buttons_[i]->setFocusPolicy(Qt::TabFocus);
        buttons_[i]->installEventFilter(this);
        buttons_[i]->setAutoFillBackground(true);
        QPalette palette = buttons_[i]->palette();
        palette.setColor(QPalette::ButtonText, Qt::black);
        buttons_[i]->setPalette(palette);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] { core_.buttonClicked(i); });
    }
    cache_.emplace(form,
                   surface_ == WindowSurface::Alpha ? QImage::Format_ARGB32_Premultiplied
                                                    : QImage::Format_RGB32,
                   [this](QPainter &painter) { clearOutsideEllipse(painter); });
    core_.attach(form, twipsPerPixel);
    for (const AccessibleNode &node : core_.accessibleTree())
        if (QWidget *child = childWidget(*node.control))
            child->setAccessibleName(QString::fromStdString(node.name));
    // Text box and buttons are child windows: always in front of the painted controls.
    text1_->raise();
    buttons_[0]->raise();
    buttons_[1]->raise();

    if (!core_.load())
        return;
    shapeNativeWindow();
    show();
    // The window holds the focus until a key moves it: Qt would give it to the first child
    // that takes it each time the window is activated.
    setFocus(Qt::OtherFocusReason);
}

void ClockWindow::setRegion(const EllipticRegion &region)
{
    ellipse_ = QRect(region.left - kFrameLeft, region.top - kFrameTop, region.right - region.left,
                     region.bottom - region.top);
    if (windowHandle())
        shapeNativeWindow();
    if (cache_)
        cache_->clear();
}

void ClockWindow::shapeNativeWindow()
{
    // The shape takes the clicks outside the circle away from the window, and is all that
    // makes it round on an X server without a compositor. It is the native window's alone: a
    // widget's mask would also cut every repaint to the circle, into a rectangle for every few
    // scan lines near its edge, and each rectangle is a request of its own to the display.
    // Qt's offscreen platform, the tests', has no window to shape.
    if (ellipse_.isEmpty() || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    winId();
    windowHandle()->setMask(shape());
}

void ClockWindow::setErrorReporter(std::function<void(const QString &)> reporter)
{
    reportError_ = std::move(reporter);
}

void ClockWindow::reportError(const std::string &message)
{
    const QString text = QString::fromStdString(message);
    if (reportError_) {
        reportError_(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, windowTitle(), text, QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("Tamam"), QMessageBox::AcceptRole);
    box.exec();
}

void ClockWindow::quit(int status)
{
    QCoreApplication::exit(status);
}

namespace {

// A few boxes round the rectangles an event repaints: each control's rectangles (where it was,
// where it is) in two boxes, and boxes that meet made one. The display copies every pixel of
// each box it is sent, and clips each box against the window's round shape, a clip of hundreds
// of rectangles: a handful of boxes round a slanted hand costs it least.
QRegion fewBoxes(const std::vector<Repaint> &rects)
{
    std::vector<QRect> boxes;
    for (std::size_t start = 0, end = 0; start < rects.size(); start = end) {
        while (end < rects.size() && rects[end].place == rects[start].place)
            ++end;
        const std::size_t half = start + (end - start + 1) / 2;
        for (const auto &[from, to] : {std::pair{start, half}, std::pair{half, end}}) {
            QRect box;
            for (std::size_t i = from; i < to; ++i)
                box |= toQt(rects[i].rect).toAlignedRect();
            if (!box.isEmpty())
                boxes.push_back(box);
        }
    }
    for (std::size_t a = 0; a < boxes.size(); ++a)
        for (std::size_t b = a + 1; b < boxes.size(); ++b)
            if (boxes[a].intersects(boxes[b])) {
                boxes[a] |= boxes[b];
                boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(b));
                b = a; // the grown box may meet those passed over
            }
    QRegion region;
    for (const QRect &box : boxes)
        region += box;
    return region;
}

} // namespace

void ClockWindow::repaint(const std::vector<Repaint> &rects)
{
    for (const Repaint &repaint : rects) {
        const QRect rect = toQt(repaint.rect).toAlignedRect();
        stale_.push_back(rect);
        if (repaint.place != Repaint::kOverAll)
            cache_->changed(rect, repaint.place);
    }
    const QRegion boxes = fewBoxes(rects);
    asked_ += boxes;
    lastRepaint_ = boxes;
    if (!boxes.isEmpty())
        update(boxes);
}

void ClockWindow::placeChild(QWidget &child, const RectF &place, bool visible)
{
    const QRect rect = toQt(place).toRect();
    // Where a child window was, the window's own pixels show again.
    if (child.isVisible() && (!visible || rect != child.geometry()))
        stale_.push_back(child.geometry());
    child.setGeometry(rect);
}

void ClockWindow::placeTextBox(const RectF &place, const TextBox &model)
{
    placeChild(*text1_, place, model.Visible);
    if (text1_->text().toStdString() != model.Text.get())
        text1_->setText(QString::fromStdString(model.Text));
    text1_->setReadOnly(model.Locked);
    text1_->setVisible(model.Visible);
}

void ClockWindow::placeButton(int index, const RectF &place, const CommandButton &model)
{
    QPushButton *button = buttons_[static_cast<std::size_t>(index)];
    placeChild(*button, place, model.Visible);
    button->setEnabled(model.Enabled);
    button->setVisible(model.Visible);
}

void ClockWindow::moveWindow(int left, int top)
{
    // The client area sits inside where a framed window would have its frame.
    move(left + kFrameLeft, top + kFrameTop);
}

ClockReading ClockWindow::readClocks()
{
    return readSystemClocks();
}

void ClockWindow::armTimer(std::int64_t delayMs)
{
    timer_.start(static_cast<int>(delayMs));
}

void ClockWindow::stopTimer()
{
    timer_.stop();
}

QWidget *ClockWindow::childWidget(const Control &control) const
{
    return childShowing<QWidget *>(control, text1_, buttons_);
}

void ClockWindow::focus(const Control &control)
{
    QWidget *child = childWidget(control);
    (child ? child : this)->setFocus(Qt::TabFocusReason);
}

bool ClockWindow::focusNextPrevChild(bool)
{
    setFocus(Qt::OtherFocusReason);
    return true;
}

bool ClockWindow::keyPressed(const QKeyEvent &event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Tab:
        return core_.keyPressed(event.modifiers() & Qt::ShiftModifier ? WindowCore::Key::BackTab
                                                                      : WindowCore::Key::Tab);
    case Qt::Key_Backtab:
        return core_.keyPressed(WindowCore::Key::BackTab);
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A key held down acts once.
        return !event.isAutoRepeat() && core_.keyPressed(WindowCore::Key::Activate);
    default:
        return false;
    }
}

bool ClockWindow::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress && keyPressed(*static_cast<QKeyEvent *>(event)))
        return true;
    return QWidget::event(event);
}

bool ClockWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress)
        return keyPressed(*static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusIn)
        if (const Control *control = controlShownBy(watched, core_.form(), text1_, buttons_))
            core_.focusTaken(*control);
    return false;
}

QAccessibleInterface *ClockWindow::accessibleFor(const AccessibleNode &node)
{
    if (QWidget *child = childWidget(*node.control))
        return QAccessible::queryAccessibleInterface(child);
    auto found = paintedInterfaces_.find(node.control);
    if (found == paintedInterfaces_.end())
        found = paintedInterfaces_
                    .emplace(node.control, QAccessible::registerAccessibleInterface(
                                               new PaintedControlAccessible(*this, *node.control)))
                    .first;
    return QAccessible::accessibleInterface(found->second);
}

void ClockWindow::activateLater(const Control &control)
{
    QMetaObject::invokeMethod(
        this, [this, &control] { core_.activate(control); }, Qt::QueuedConnection);
}

void ClockWindow::accessibleChanged(const AccessibleNode &node, AccessibleChange change)
{
    // The child widgets tell their own changes; the time label's new name is there to be read,
    // as any label's, not announced.
    if (!QAccessible::isActive() || !node.painted)
        return;
    if (change == AccessibleChange::Name || change == AccessibleChange::Focus) {
        QAccessibleEvent event(accessibleFor(node), change == AccessibleChange::Name
                                                        ? QAccessible::NameChanged
                                                        : QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void ClockWindow::clearOutsideEllipse(QPainter &painter) const
{
    // A pixel the edge crosses keeps the share of it that lies inside, so that a compositor
    // shows a smooth rim.
    if (surface_ != WindowSurface::Alpha || ellipse_.isEmpty())
        return;
    QPainterPath outside;
    outside.addRect(rect());
    outside.addEllipse(QRectF(ellipse_));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillPath(outside, Qt::black);
}

void ClockWindow::paintEvent(QPaintEvent *event)
{
    const QImage &still = cache_->still(size(), devicePixelRatioF(), core_.twipsPerPixel());
    // A repaint the window asked for paints only the pixels that changed: the rest of its boxes
    // keeps what the window's buffer holds. Any other repaint (the first, one the toolkit asks
    // for, an alpha surface's, which the toolkit clears first) paints all it is given.
    const QRegion &asked = event->region();
    const bool kept = surface_ == WindowSurface::Opaque && (asked - asked_).isEmpty();
    const QRegion region = kept ? asked & regionOf(stale_) : asked;
    asked_ -= asked;
    std::erase_if(stale_, [&](const QRect &rect) { return asked.contains(rect); });
    QPainter painter(this);
    // A copy, alpha and all: nothing under the window's own pixels shows through them. A few
    // rectangles are copied each under a clip of its own: under a clip of many the copy goes
    // scan line by scan line, split across Qt's worker threads, which wakes them. A scaled
    // screen's pixels need not fall on the rectangles' edges: those are copied in one go.
    constexpr int kFewRectangles = 64;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (still.devicePixelRatio() == 1 && region.rectCount() <= kFewRectangles) {
        for (const QRect &rect : region) {
            painter.setClipRect(rect);
            painter.drawImage(rect.topLeft(), still, rect);
        }
    } else {
        painter.setClipRegion(region);
        painter.drawImage(0, 0, still);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintControls(painter, core_.form(), core_.twipsPerPixel(), region, cache_->stillDepth());
    if (const auto mark = core_.focusMark()) {
        QtCanvas canvas(painter);
        paintFocusMark(canvas, *mark);
    }
}

void ClockWindow::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    core_.pointerPressed({at.x(), at.y()}, event->button() == Qt::LeftButton);
}

void ClockWindow::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    core_.pointerReleased({at.x(), at.y()}, event->button() == Qt::LeftButton);
}

} // namespace vemo

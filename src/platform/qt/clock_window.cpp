#include "platform/qt/clock_window.h"

#include "platform/paint/painter.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/system_clocks.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <cmath>
#include <cstdlib>

namespace vemo {

namespace {

QRect toWidgetRect(const Box &box, double twipsPerPixel)
{
    return toQt(toPixels(box, twipsPerPixel)).toRect();
}

} // namespace

ClockWindow::ClockWindow(WindowSurface surface)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), surface_(surface)
{
    // An alpha surface has to be asked for before the native window exists. Every repaint still
    // covers all of its rectangle, transparent pixels included.
    if (surface_ == WindowSurface::Alpha)
        setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    // The timer sleeps by a clock that stands still in a suspend; a set clock or a resume
    // wakes the scheduler at once.
    clockChanges_ = new ClockChangeNotifier([this] { tick(); }, this);

    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(clockIconPicture(size)));
    setWindowIcon(icon);
}

ClockWindow::~ClockWindow() = default;

void ClockWindow::load(Form1 &form, double twipsPerPixel)
{
    form_ = &form;
    twipsPerPixel_ = twipsPerPixel;
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
    connect(text1_, &QLineEdit::textEdited, this, [this](const QString &text) {
        dispatch([&] { form_->Text1.Text = text.toStdString(); });
    });
    for (int i = 0; i < 2; ++i) {
        const CommandButton &button = form.Tuş(i);
        buttons_[i] = new QPushButton(displayCaption(button.font, button.caption), this);
        buttons_[i]->setFont(qtFont(button.font));
        buttons_[i]->setFocusPolicy(Qt::NoFocus);
        buttons_[i]->setAutoFillBackground(true);
        QPalette palette = buttons_[i]->palette();
        palette.setColor(QPalette::ButtonText, Qt::black);
        buttons_[i]->setPalette(palette);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] {
            const std::int16_t index = static_cast<std::int16_t>(i);
            dispatch([&] { form_->Tuş_Click(index); });
        });
    }
    paintedControls_.emplace(form, twipsPerPixel);
    syncTextBox();
    syncButton(0);
    syncButton(1);
    // Text box and buttons are child windows: always in front of the painted controls.
    text1_->raise();
    buttons_[0]->raise();
    buttons_[1]->raise();

    dispatch([&] { form.Form_Load(); });
    if (ended_)
        return;
    show();
}

void ClockWindow::setRegion(const EllipticRegion &region)
{
    ellipse_ = QRect(region.left - kFrameLeft, region.top - kFrameTop, region.right - region.left,
                     region.bottom - region.top);
    // The shape takes the clicks outside the circle away from the window, and is all that
    // makes it round on an X server without a compositor.
    setMask(QRegion(ellipse_, QRegion::Ellipse));
    background_ = QImage();
}

void ClockWindow::endProgram(int status)
{
    ended_ = true;
    exitStatus_ = status;
    timer_.stop();
    QCoreApplication::exit(status);
}

void ClockWindow::setErrorReporter(std::function<void(const QString &)> reporter)
{
    reportError_ = std::move(reporter);
}

void ClockWindow::showError(const QString &message)
{
    if (reportError_) {
        reportError_(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, windowTitle(), message, QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("Tamam"), QMessageBox::AcceptRole);
    box.exec();
}

void ClockWindow::dispatch(const std::function<void()> &procedure)
{
    if (ended_)
        return;
    try {
        procedure();
    } catch (const std::exception &error) {
        // Nothing runs between the error and the end: no tick, no click.
        ended_ = true;
        timer_.stop();
        showError(QStringLiteral("Beklenmeyen bir hata oluştu; program kapanacak.\n\n%1")
                      .arg(QString::fromUtf8(error.what())));
        endProgram(EXIT_FAILURE);
        return;
    }
    afterEvent();
}

void ClockWindow::afterEvent()
{
    if (ended_)
        return;
    // Repaint where each written control was and where it is now: its bounding rectangles. A
    // slanted hand covers only a thin band of its rectangle, but a band traced scan line by scan
    // line is hundreds of rectangles, each one request to the X server and one clip against the
    // round shape; that costs several times more than painting the whole rectangle.
    QRegion dirty;
    for (const Control *control : form_->changes.takeChanged()) {
        switch (control->kind()) {
        case ControlKind::TextBox:
            syncTextBox();
            break;
        case ControlKind::CommandButton:
            syncButton(control->index());
            break;
        case ControlKind::Window:
            syncPosition();
            break;
        case ControlKind::Timer:
            syncTimer();
            break;
        default:
            if (const auto move = paintedControls_->moved(*control)) {
                dirty += toQt(move->was).toRect();
                dirty += toQt(move->now).toRect();
                // A control that changes after the first paint (a hand, the time) leaves the
                // cached background, and so does everything in front of it.
                if (painted_ && move->place < backgroundDepth_) {
                    backgroundDepth_ = move->place;
                    background_ = QImage();
                }
            }
            break;
        }
    }
    lastRepaint_ = dirty;
    if (!dirty.isEmpty())
        update(dirty);
}

void ClockWindow::syncTextBox()
{
    const TextBox &model = form_->Text1;
    text1_->setGeometry(toWidgetRect(model.box, twipsPerPixel_));
    if (text1_->text().toStdString() != model.Text.get())
        text1_->setText(QString::fromStdString(model.Text));
    text1_->setReadOnly(model.Locked);
    text1_->setVisible(model.Visible);
}

void ClockWindow::syncButton(int index)
{
    const CommandButton &model = form_->Tuş(index);
    QPushButton *button = buttons_[static_cast<std::size_t>(index)];
    button->setGeometry(toWidgetRect(model.box, twipsPerPixel_));
    button->setEnabled(model.Enabled);
    button->setVisible(model.Visible);
}

void ClockWindow::syncPosition()
{
    // The client area sits inside where a framed window would have its frame.
    const int left = static_cast<int>(std::floor(form_->Form.Left / twipsPerPixel_));
    const int top = static_cast<int>(std::floor(form_->Form.Top / twipsPerPixel_));
    move(left + kFrameLeft, top + kFrameTop);
}

void ClockWindow::syncTimer()
{
    if (form_->Timer1.Interval > 0) {
        if (!scheduler_) {
            scheduler_.emplace(readSystemClocks());
            armTimer();
        }
    } else {
        scheduler_.reset();
        timer_.stop();
    }
}

void ClockWindow::armTimer()
{
    timer_.start(static_cast<int>(scheduler_->delayFrom(readSystemClocks())));
}

void ClockWindow::tick()
{
    if (!scheduler_)
        return;
    if (scheduler_->fire(readSystemClocks()))
        dispatch([this] { form_->Timer1_Timer(); });
    if (scheduler_)
        armTimer();
}

void ClockWindow::paintEvent(QPaintEvent *event)
{
    const qreal pixelRatio = devicePixelRatioF();
    if (background_.isNull() || background_.devicePixelRatio() != pixelRatio) {
        const bool alpha = surface_ == WindowSurface::Alpha;
        background_ = QImage(size() * pixelRatio,
                             alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        background_.setDevicePixelRatio(pixelRatio);
        QPainter cache(&background_);
        paintControls(cache, *form_, twipsPerPixel_, QRegion(rect()), 0, backgroundDepth_);
        if (alpha && !ellipse_.isEmpty()) {
            // Clear all but the ellipse; a pixel the edge crosses keeps the share of it that
            // lies inside, so that a compositor shows a smooth rim.
            QPainterPath outside;
            outside.addRect(rect());
            outside.addEllipse(QRectF(ellipse_));
            cache.setClipping(false);
            cache.setRenderHint(QPainter::Antialiasing);
            cache.setCompositionMode(QPainter::CompositionMode_Clear);
            cache.fillPath(outside, Qt::black);
        }
    }
    QPainter painter(this);
    // A copy, alpha and all: nothing under the window's own pixels shows through them. A
    // tick's few rectangles are copied each under a clip of its own: under the region's clip
    // the copy goes scan line by scan line, split across Qt's worker threads. A region cut to
    // the round mask has a rectangle for every few scan lines, and a scaled screen's pixels
    // need not fall on the rectangles' edges: those are copied in one go.
    constexpr int kFewRectangles = 16;
    const QRegion &region = event->region();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (pixelRatio == 1 && region.rectCount() <= kFewRectangles) {
        for (const QRect &rect : region) {
            painter.setClipRect(rect);
            painter.drawImage(rect.topLeft(), background_, rect);
        }
    } else {
        painter.setClipRegion(region);
        painter.drawImage(0, 0, background_);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintControls(painter, *form_, twipsPerPixel_, region, backgroundDepth_);
    painted_ = true;
}

const Control *ClockWindow::clickTarget(QPointF position) const
{
    // The front-most label or picture under the pointer takes the click; lines and shapes
    // take none.
    const auto &order = form_->backToFront();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (const auto *label = std::get_if<const Label *>(&*it)) {
            if (toQt(toPixels((*label)->box, twipsPerPixel_)).contains(position))
                return *label;
        } else if (std::holds_alternative<const Image *>(*it)) {
            if (toQt(controlBounds(*it, twipsPerPixel_)).contains(position))
                return std::get<const Image *>(*it);
        }
    }
    return nullptr;
}

void ClockWindow::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton ? clickTarget(event->position()) : nullptr;
}

void ClockWindow::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a press and a release on the same control.
    const Control *target = clickTarget(event->position());
    const bool clicked = event->button() == Qt::LeftButton && target && target == pressed_;
    pressed_ = nullptr;
    if (!clicked)
        return;
    if (target == &form_->Label5)
        dispatch([this] { form_->Label5_Click(); });
    else if (target == &form_->Image1)
        dispatch([this] { form_->Image1_Click(); });
}

} // namespace vemo

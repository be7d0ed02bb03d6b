#include "window_fixture.h"

#include "platform/qt/control_painter.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTime>

#include <cmath>
#include <ostream>

namespace vemo::testing {
namespace {

const QColor kOlive = bgr(0x00C0C0);
const QColor kPaleYellow = bgr(0x80FFFF);
const QColor kOutline = bgr(0xC0FFFF);
const QColor kBlue = bgr(0xFF0000);
const QColor kMaroon = bgr(0x000080);
const QColor kNavy = bgr(0x800000);
const QColor kRed = bgr(0x0000FF);
const QColor kGreen = bgr(0x00C000);

// The share of points along a line's middle part, in twips, whose pixel has `colour`.
double shareAlong(const QImage &image, const Line &line, const QColor &colour, double from = 0.1,
                  double to = 0.9)
{
    int hits = 0, samples = 0;
    for (double f = from; f <= to; f += 0.01, ++samples) {
        const double x = line.X1 + f * (line.X2 - line.X1);
        const double y = line.Y1 + f * (line.Y2 - line.Y1);
        hits += near(image.pixelColor(static_cast<int>(x / 15), static_cast<int>(y / 15)), colour);
    }
    return static_cast<double>(hits) / samples;
}

// The share of pixels in a rectangle of twips that have `colour`.
double shareIn(const QImage &image, QRectF twips, const QColor &colour)
{
    const QRect pixels(QPoint(int(twips.left() / 15), int(twips.top() / 15)),
                       QPoint(int(twips.right() / 15), int(twips.bottom() / 15)));
    int hits = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            hits += near(image.pixelColor(x, y), colour, 40);
    return static_cast<double>(hits) / (pixels.width() * pixels.height());
}

QPoint pixelOf(double xTwips, double yTwips)
{
    return QPoint(int(xTwips / 15), int(yTwips / 15));
}

TEST_F(WindowTest, DialDiscsAndOutline)
{
    startAt("09:00:00");
    const QImage image = render();
    EXPECT_EQ(image.size(), QSize(739, 746));
    EXPECT_TRUE(near(at(image, 2204, 2204), kOlive)) << at(image, 2204, 2204).name().toStdString();
    EXPECT_TRUE(near(at(image, 7000, 4500), kPaleYellow));
    // The 4-pixel outline on the dial disc's edge, radius 352.5 pixels, seen at 1:30.
    bool outline = false;
    for (double r = 349; r <= 356; r += 0.5) {
        const QPoint p(int(368.5 + r * std::cos(-M_PI / 4)), int(368.5 + r * std::sin(-M_PI / 4)));
        outline = outline || near(image.pixelColor(p), kOutline, 8);
    }
    EXPECT_TRUE(outline);
    // Between the disc and the edge of the round window, the window's dark red background;
    // past that edge, nothing of the window.
    EXPECT_TRUE(near(image.pixelColor(13, 369), bgr(0x000040)));
    EXPECT_EQ(image.pixelColor(8, 369), QColor(Qt::magenta));
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::magenta));
}

TEST_F(WindowTest, ThickMarksAtTwelveAndThreeAreBlue)
{
    startAt("09:00:00");
    const QImage image = render();
    EXPECT_TRUE(near(at(image, 9467, 5527), kBlue)) << "mark 0 at 3 o'clock";
    // At 6 o'clock, off the upright hands and clear of "Kapat", which covers its inner end.
    EXPECT_GT(shareAlong(image, form.Line4(15), kBlue, 0.2, 0.7), 0.9) << "mark 15";
    // A thin mark is dark orange-brown; antialiasing softens a 1-pixel line.
    EXPECT_GT(shareAlong(image, form.Line4(7), bgr(0x004080), 0.2, 0.8) +
                  shareAlong(image, form.Line4(8), bgr(0x004080), 0.2, 0.8),
              0.0);
}

TEST_F(WindowTest, HandsStandUprightUntilTheFirstTick)
{
    startAt("04:20:40");
    const QImage image = render();
    EXPECT_TRUE(near(at(image, 5527, 800), kMaroon));     // second hand above the centre
    EXPECT_TRUE(near(at(image, 5580, 2000), Qt::black));  // minute hand, beside the second hand
    EXPECT_TRUE(near(at(image, 5520 + 95, 4000), kNavy)); // hour hand, either side of it
    EXPECT_TRUE(near(at(image, 5520 - 95, 4000), kNavy));
    EXPECT_TRUE(near(at(image, 7500, 2000), kPaleYellow)); // nothing to the right
}

TEST_F(WindowTest, TheMaskIsTheCircleOfTheRegion)
{
    startAt("09:00:00");
    const QRegion mask = window.shape();
    EXPECT_EQ(mask.boundingRect(), QRect(12, 13, 712, 712));
    EXPECT_TRUE(mask.contains(QPoint(368, 369)));
    EXPECT_FALSE(mask.contains(QPoint(14, 15)));
    EXPECT_FALSE(mask.contains(QPoint(730, 740)));
    EXPECT_TRUE(mask.contains(QPoint(13, 369)));
}

TEST_F(WindowTest, NameShowsProperCasedInOrange)
{
    startAt("09:00:00", "şule ılgaz");
    EXPECT_EQ(form.Label2.Caption.get(), "Şule Ilgaz");
    EXPECT_GT(shareIn(render(), QRectF(1920, 6240, 7215, 1215), bgr(0x0080FF)), 0.02);
}

TEST_F(WindowTest, AfterATickEachHandLiesAlongItsLine)
{
    startAt("03:40:15");
    tickAt("03:40:16");
    const QImage image = render();
    EXPECT_GT(shareAlong(image, form.Line1, kMaroon), 0.95);
    EXPECT_GT(shareAlong(image, form.Line2, Qt::black, 0.3, 0.95), 0.6);
    EXPECT_GT(shareAlong(image, form.Line3, kNavy, 0.4, 0.9), 0.6);
    EXPECT_EQ(form.Label3(0).Caption.get(), "03:40:16");
    EXPECT_GT(shareIn(image, QRectF(4320, 2520, 2415, 495), kGreen), 0.02);
}

TEST_F(WindowTest, SecondHandPassesInFrontOfTheTimeLabel)
{
    startAt("03:39:59");
    tickAt("03:40:00"); // second 0: straight up, through the time label
    const QImage image = render();
    for (double y = 2560; y < 3000; y += 15) {
        const double f = (y - form.Line1.Y1) / (form.Line1.Y2 - form.Line1.Y1);
        const double x = form.Line1.X1 + f * (form.Line1.X2 - form.Line1.X1);
        EXPECT_TRUE(near(at(image, x, y), kMaroon)) << "y " << y;
    }
}

TEST_F(WindowTest, MinuteHandPassesBehindKapat)
{
    startAt("06:30:00");
    tickAt("06:30:01"); // the minute hand points down through "Kapat"
    const QImage image = render();
    EXPECT_TRUE(near(at(image, 5527, 9345), kPaleYellow)) << "inside the label: hidden";
    EXPECT_TRUE(near(at(image, 5527, 9450), Qt::black)) << "below the label: shown";
    EXPECT_TRUE(near(at(image, 5527, 8950), Qt::black)) << "above the label: shown";
}

TEST_F(WindowTest, OnlyTheBellAndKapatTakeClicks)
{
    startAt("09:00:00");
    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(5527, 3000)); // the dial
    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(4900, 500));  // "12"
    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(5527, 8500)); // "Alarm ayarla"
    EXPECT_FALSE(form.Line5.Visible);
    EXPECT_FALSE(window.ended());

    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(5520, 8150)); // the bell
    EXPECT_TRUE(form.Line5.Visible);
    EXPECT_TRUE(window.findChild<QLineEdit *>()->isVisible());

    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(5527, 9200)); // "Kapat"
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(window.exitStatus(), 0);
}

TEST_F(WindowTest, ButtonsStepTheAlarmAndTheRedHandTurns)
{
    startAt("09:00:00");
    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(5520, 8150));
    const auto buttons = window.findChildren<QPushButton *>();
    ASSERT_EQ(buttons.size(), 2);
    QPushButton *hourButton = buttons[1];
    EXPECT_EQ(hourButton->geometry(), QRect(320, 560, 17, 25));
    EXPECT_EQ(hourButton->text(), QString::fromUtf8("▼"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(hourButton, Qt::LeftButton);
    EXPECT_EQ(form.Text1.Text.get(), "03:00");
    EXPECT_EQ(window.findChild<QLineEdit *>()->text(), "03:00");
    EXPECT_TRUE(window.findChild<QLineEdit *>()->isReadOnly());

    QImage image = render();
    EXPECT_GT(shareAlong(image, form.Line5, kRed, 0.3, 0.95), 0.9);
    EXPECT_TRUE(near(at(image, 8500, 5527), kRed)) << "the alarm hand at 3 o'clock";
    // The text box and the buttons cover the middle of "Alarm ayarla"; its ends still show.
    EXPECT_LT(shareIn(image, QRectF(4830, 8420, 1390, 220), kPaleYellow), 0.05);
    EXPECT_GT(shareIn(image, QRectF(4450, 8410, 330, 230), kPaleYellow), 0.9);

    for (int i = 0; i < 20; ++i)
        tickAt("09:00:10");
    EXPECT_FALSE(hourButton->isVisible());
    image = render();
    EXPECT_GT(shareIn(image, QRectF(4830, 8420, 1390, 220), kPaleYellow), 0.6);
    EXPECT_GT(shareIn(image, QRectF(4830, 8420, 1390, 220), Qt::black), 0.01) << "its caption";
    EXPECT_TRUE(near(at(image, 8500, 5527), kRed)) << "the alarm hand stays";

    // Hidden, the buttons take no click.
    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(4920, 8580));
    EXPECT_EQ(form.Text1.Text.get(), "03:00");
}

// The dial is painted once and kept; hands and labels are painted over the kept copy. After
// ticks that swept every hand to a new place and a click that brought the alarm hand up, the
// window must look exactly as one painted from scratch: nothing left behind, nothing missing.
TEST_F(WindowTest, PaintingOverTheKeptDialLooksLikeAFreshPainting)
{
    startAt("09:59:58");
    render();
    tickAt("09:59:59");
    render();
    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(5520, 8150));
    for (const char *time : {"10:00:00", "10:00:01", "10:00:02"}) {
        tickAt(time);
        render();
    }
    for (int i = 0; i < 19; ++i)
        tickAt("10:00:03"); // the 20th tick hides the text box and the buttons
    EXPECT_EQ(pixelsUnlikeAFreshPainting(render()), 0);
}

// As the window's buffer is kept between paints: one image, and after each tick only what the
// tick asked to repaint is painted into it. Over a minute boundary with every hand slanted, and
// over forty minutes across midnight, in which the hands pass under the labels and every label
// changes, it must end as a painting from scratch: nothing left behind, nothing missing.
struct Ticking
{
    const char *start;
    int seconds;
};

void PrintTo(const Ticking &ticking, std::ostream *out)
{
    *out << ticking.start << " and " << ticking.seconds << " s";
}

class IncrementalPaintTest : public WindowFixture<WindowSurface::Opaque>,
                             public ::testing::WithParamInterface<Ticking>
{
};

TEST_P(IncrementalPaintTest, RepaintingWhatTicksChangedLooksLikeAFreshPainting)
{
    const QDateTime start = QDateTime::fromString(GetParam().start, "dd.MM.yyyy HH:mm:ss");
    startAt(start.toString("HH:mm:ss").toStdString());
    QImage kept = render();
    for (int s = 1; s <= GetParam().seconds; ++s) {
        const QDateTime now = start.addSecs(s);
        tickAt(now.toString("HH:mm:ss").toStdString(), now.toString("dd.MM.yyyy").toStdString());
        const QRegion changed = window.lastRepaint() & window.shape();
        ASSERT_FALSE(changed.isEmpty());
        window.render(&kept, changed.boundingRect().topLeft(), changed);
    }
    EXPECT_EQ(pixelsUnlikeAFreshPainting(kept), 0);
}

// Each short start has the hands slanted in a different quarter.
INSTANTIATE_TEST_SUITE_P(SlantedHands, IncrementalPaintTest,
                         ::testing::Values(Ticking{"08.12.2026 01:37:55", 8},
                                           Ticking{"08.12.2026 04:22:56", 8},
                                           Ticking{"08.12.2026 07:53:57", 8},
                                           Ticking{"08.12.2026 10:08:54", 8},
                                           Ticking{"08.12.2026 23:52:00", 2400}));

using AlphaWindowTest = WindowFixture<WindowSurface::Alpha>;

// On an alpha surface the window is opaque inside the region's circle, transparent outside it
// and partly covered only where the circle's edge crosses a pixel; inside, after ticks, it
// shows what the opaque window shows. The shape stays the region's.
TEST_F(AlphaWindowTest, OpaqueCircleOnATransparentWindow)
{
    startAt("09:59:58");
    render();
    tickAt("09:59:59");
    tickAt("10:00:00");
    const QImage seen = render(QImage::Format_ARGB32_Premultiplied, Qt::transparent);
    EXPECT_EQ(window.shape().boundingRect(), QRect(12, 13, 712, 712));

    QImage fresh(seen.size(), QImage::Format_RGB32);
    {
        QPainter painter(&fresh);
        paintControls(painter, form, 15, QRegion(fresh.rect()));
    }
    const QPointF centre(12 + 356, 13 + 356);
    // A pixel whose centre lies further than half its diagonal from the edge is wholly on one
    // side; the ellipse's Bézier arcs stray from the true circle by a tenth of a pixel more.
    const double radius = 356, halfDiagonal = M_SQRT1_2 + 0.15;
    int wrong = 0, edge = 0;
    for (int y = 0; y < seen.height(); ++y)
        for (int x = 0; x < seen.width(); ++x) {
            const double d = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
            const QRgb pixel = seen.pixel(x, y);
            // The region's own edge steps a little inside the true circle in places.
            if (d <= radius - halfDiagonal && window.shape().contains(QPoint(x, y))) {
                if (pixel != fresh.pixel(x, y) && ++wrong <= 5)
                    ADD_FAILURE() << "inside at " << x << "," << y << ": " << std::hex << pixel;
            } else if (d >= radius + halfDiagonal) {
                if (qAlpha(pixel) != 0 && ++wrong <= 5)
                    ADD_FAILURE() << "outside at " << x << "," << y << ": alpha " << qAlpha(pixel);
            } else {
                edge += qAlpha(pixel) > 0 && qAlpha(pixel) < 255;
            }
        }
    EXPECT_EQ(wrong, 0);
    // A smooth rim: over half of the circle's 2 * pi * 356 edge pixels are partly covered.
    EXPECT_GT(edge, 1200);
}

// Collects the regions the window paints.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget &widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
    QRegion painted;
};

TEST_F(WindowTest, ATickRepaintsOnlyWhatItChanged)
{
    startAt("09:00:00");
    QApplication::processEvents();
    PaintRecorder recorder(window);
    tickAt("09:00:01");
    QApplication::processEvents();
    EXPECT_TRUE(recorder.painted.contains(pixelOf(5527, 2770))) << "the time label";
    EXPECT_TRUE(recorder.painted.contains(pixelOf(3000, 5527))) << "the hour hand, now at 9";
    EXPECT_FALSE(recorder.painted.contains(pixelOf(10450, 5527))) << "the numeral 3";
    EXPECT_FALSE(recorder.painted.contains(pixelOf(5527, 10300))) << "the numeral 6";
}

TEST_F(WindowTest, TheTextBoxRepaintsWithoutTheDial)
{
    startAt("09:00:00");
    QTest::mouseClick(&window, Qt::LeftButton, {}, pixelOf(5520, 8150));
    QApplication::processEvents();
    PaintRecorder recorder(window);
    QLineEdit *text = window.findChild<QLineEdit *>();
    text->setFocus();
    text->update();
    QApplication::processEvents();
    EXPECT_TRUE(recorder.painted.isEmpty()) << recorder.painted.boundingRect().x();
}

TEST_F(WindowTest, AnErrorIsReportedAndEndsTheProgram)
{
    startAt("09:00:00");
    tickAt("09:00:01", "08.xx.2026");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].contains(QString::fromUtf8("Tür uyuşmazlığı")))
        << errors[0].toStdString();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(window.exitStatus(), 1);
    tickAt("09:00:02"); // no event runs after the error
    EXPECT_EQ(form.Label3(0).Caption.get(), "09:00:01");
}

} // namespace
} // namespace vemo::testing

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#pragma once

#include "fakes/fake_platform.h"
#include "platform/qt/clock_window.h"
#include "platform/qt/control_painter.h"
#include "platform/qt/qt_services.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace vemo::testing {

// The real clock window on Qt's offscreen platform, over the fake clock and screen, at 15 twips
// per pixel, on the given surface. Pixels are read from a rendering of the whole window, child
// widgets included.
template <WindowSurface surface> class WindowFixture : public ::testing::Test
{
protected:
    void startAt(const std::string &time, const std::string &name = "")
    {
        platform.typedName = name;
        platform.setTime(time);
        window.setErrorReporter([this](const QString &message) { errors.push_back(message); });
        window.load(form, 15);
    }

    void tickAt(const std::string &time, const std::string &date = "08.12.2026")
    {
        platform.setTime(time);
        platform.setDate(date);
        window.dispatch([this] { form.Timer1_Timer(); });
    }

    QImage render(QImage::Format format = QImage::Format_RGB32, QColor ground = Qt::magenta)
    {
        QImage image(window.size(), format);
        image.fill(ground);
        // Rendering the shape's pixels puts the shape's top-left at the offset given.
        window.render(&image, window.shape().boundingRect().topLeft(), window.shape());
        return image;
    }

    // The pixels inside the window's mask where `seen` differs from the form painted from
    // scratch; the first few are reported.
    int pixelsUnlikeAFreshPainting(const QImage &seen)
    {
        QImage fresh(seen.size(), QImage::Format_RGB32);
        {
            QPainter painter(&fresh);
            paintControls(painter, form, 15, QRegion(fresh.rect()));
        }
        int differing = 0;
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x)
                if (window.shape().contains(QPoint(x, y)) &&
                    seen.pixel(x, y) != fresh.pixel(x, y) && ++differing <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " differs";
        return differing;
    }

    // The pixel at a point given in twips.
    static QColor at(const QImage &image, double xTwips, double yTwips)
    {
        return image.pixelColor(static_cast<int>(xTwips / 15), static_cast<int>(yTwips / 15));
    }

    FakePlatform platform;
    ClockWindow window{surface};
    QtWindowRegion region{window};
    QtProgramEnd programEnd{window};
    Form1 form{{platform, platform, platform, platform, region, programEnd}};
    std::vector<QString> errors;
};

using WindowTest = WindowFixture<WindowSurface::Opaque>;

// Colours as 0x00BBGGRR, the way the window description gives them.
inline QColor bgr(unsigned colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// Near in each channel: antialiased edges and text blend a little.
inline bool near(const QColor &a, const QColor &b, int tolerance = 12)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace vemo::testing

#include "app/form1.h"
#include "platform/qt/clock_window.h"
#include "platform/qt/qt_services.h"

#include <QApplication>

#include "platform/pulse/pulse_sound.h"

#include <cstdlib>

namespace {

// Shaping and placing a window are X11 features that Wayland compositors refuse to clients;
// where an X display is reachable (XWayland included) the clock uses it.
void preferX11()
{
#ifndef _WIN32
    if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    preferX11();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vemo2"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vemo2.Vemo2"));

    vemo::ClockWindow window;
    vemo::QtClock clock;
    vemo::PulseSound sound(
        vemo::mediaFolders(QCoreApplication::applicationDirPath().toStdString()));
    vemo::QtInputBox input;
    vemo::QtScreen screen;
    vemo::QtWindowRegion region(window);
    vemo::QtProgramEnd programEnd(window);
    vemo::Form1 form({clock, sound, input, screen, region, programEnd});

    window.load(form, screen.twipsPerPixelX());
    if (window.ended()) // start-up failed and has told the user
        return window.exitStatus();
    return QApplication::exec();
}

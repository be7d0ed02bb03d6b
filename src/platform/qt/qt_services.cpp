#include "platform/qt/qt_services.h"

#include "platform/qt/clock_window.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QScreen>

#include <chrono>
#include <ctime>

namespace vemo {

namespace {

constexpr double kTwipsPerInch = 1440;

QScreen &screen()
{
    QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        throw std::runtime_error("Ekran bulunamadı");
    return *primary;
}

// The local time now, in `format` (std::strftime's). The C library's reading costs a tick a
// fraction of what Qt's date and time classes do.
std::string localNow(const char *format)
{
    const std::time_t now = std::time(nullptr);
    // localtime_r takes the zone as it was last read; tzset looks at the system's zone file and
    // reads it again where it changed, so that the clock follows a new zone. A look costs a
    // file lookup, and a tick reads the time several times: once a tick is enough.
    using Steady = std::chrono::steady_clock;
    static Steady::time_point lastLook;
    if (const Steady::time_point at = Steady::now();
        at - lastLook >= std::chrono::milliseconds(500)) {
        tzset();
        lastLook = at;
    }
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    return std::string(text, std::strftime(text, sizeof text, format, &local));
}

} // namespace

std::string QtClock::timeText()
{
    return localNow("%H:%M:%S");
}

std::string QtClock::dateText()
{
    return localNow("%d.%m.%Y");
}

std::string QtInputBox::inputBox(const std::string &prompt, const std::string &title)
{
    QInputDialog dialog;
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setOkButtonText(QStringLiteral("Tamam"));
    dialog.setCancelButtonText(QStringLiteral("İptal"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue().toStdString();
}

double QtScreen::twipsPerPixelX() { return kTwipsPerInch / screen().logicalDotsPerInchX(); }

double QtScreen::twipsPerPixelY() { return kTwipsPerInch / screen().logicalDotsPerInchY(); }

double QtScreen::width() { return screen().geometry().width() * twipsPerPixelX(); }

double QtScreen::height() { return screen().geometry().height() * twipsPerPixelY(); }

EllipticRegion QtWindowRegion::CreateEllipticRgn(int left, int top, int right, int bottom)
{
    return {left, top, right, bottom};
}

int QtWindowRegion::SetWindowRgn(WindowHandle, const EllipticRegion &region, int)
{
    window_.setRegion(region);
    return 1;
}

void QtProgramEnd::end() { window_.endProgram(0); }

} // namespace vemo

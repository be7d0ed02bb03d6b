#include "platform/qt/qt_services.h"

#include "platform/qt/clock_window.h"

#include <QDate>
#include <QGuiApplication>
#include <QInputDialog>
#include <QScreen>
#include <QTime>

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

} // namespace

std::string QtClock::timeText()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
}

std::string QtClock::dateText()
{
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
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

// The floor under the clock: a bare Qt Widgets window of the clock's size with a line edit and a
// push button, repainting a 120 x 30 pixel rectangle with the time every second. compare-peers
// runs it beside the clock, so the toolkit's own cost is measured on the same machine and fonts.

#include <QApplication>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QWidget>

namespace {

class BareWindow : public QWidget
{
public:
    BareWindow()
    {
        setWindowTitle(QStringLiteral("bare_qt"));
        setFixedSize(739, 746);
        auto *edit = new QLineEdit(this);
        edit->setGeometry(300, 500, 140, 24);
        auto *button = new QPushButton(QStringLiteral("Tamam"), this);
        button->setGeometry(300, 540, 80, 28);
        connect(&timer_, &QTimer::timeout, this, [this] { update(kTime); });
        timer_.start(1000);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::white);
        painter.drawText(kTime, Qt::AlignCenter, QTime::currentTime().toString());
    }

private:
    static constexpr QRect kTime{310, 300, 120, 30};
    QTimer timer_;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    BareWindow window;
    window.show();
    return QApplication::exec();
}

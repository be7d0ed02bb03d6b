// A long name wraps between words and is cut off at the bottom of the name label.

#include "window_fixture.h"

#include "platform/qt/fonts.h"

#include <QFontMetrics>
#include <QPainter>

#include <QStringList>

namespace vemo::testing {
namespace {

// The name label, in pixels at 15 twips a pixel: 1920,6240 twips, 7215 x 1215 twips.
const QRect kNameBox(128, 416, 481, 81);

// Orange text and its antialiased edge on the pale yellow dial: red stays full, green and blue
// rise together towards the dial's.
bool orange(const QColor &c)
{
    return c.red() >= 240 && c.green() >= 100 && c.green() <= 200 && c.blue() <= 80;
}

// The rows of the name box that have orange pixels.
std::vector<int> orangeRows(const QImage &image)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (orange(image.pixelColor(x, y))) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST_F(WindowTest, LongNameWrapsBetweenWordsAndIsClippedAtTheLabelsBottom)
{
    // 60 letters and spaces in six words; the label's first line holds about two of them.
    const std::string name = "ayşe gülşah çiğdem özgür ilkyaz ışıl karaosmanoğlu";
    std::string longName = name + " ıhlamur";
    while (longName.size() > 0 && QString::fromStdString(longName).size() > 60)
        longName.pop_back();
    ASSERT_GE(QString::fromStdString(longName).size(), 55);
    startAt("09:00:00", longName);
    const QImage image = render();

    int outside = 0, inside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (orange(image.pixelColor(x, y)))
            {
                if (kNameBox.contains(x, y))
                    ++inside;
                else if (++outside < 5)
                    ADD_FAILURE() << "orange at " << x << "," << y << ": "
                                  << image.pixelColor(x, y).name().toStdString();
            }
    EXPECT_GT(inside, 1000);
    EXPECT_EQ(outside, 0) << "orange pixels outside the name label";

    const std::vector<int> rows = orangeRows(image.copy(kNameBox));
    ASSERT_FALSE(rows.empty());
    // A line of 48-point text is some 70 px high: orange on rows below it is a second line.
    const int firstLineHeight = QFontMetrics(qtFont(form.Label2.font)).lineSpacing();
    EXPECT_GT(rows.back(), firstLineHeight - 5) << "no second line";

    // Unclipped, the wrapped text runs on below the label; on the dial it stops at the edge.
    const QString caption = QString::fromStdString(form.Label2.Caption.get());
    QImage unclipped(kNameBox.width(), 4 * kNameBox.height(), QImage::Format_RGB32);
    unclipped.fill(QColor(255, 255, 128));
    {
        QPainter painter(&unclipped);
        painter.setFont(qtFont(form.Label2.font));
        painter.setPen(QColor(255, 128, 0));
        painter.drawText(QRectF(unclipped.rect()), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         caption);
    }
    const std::vector<int> unclippedRows = orangeRows(unclipped);
    ASSERT_FALSE(unclippedRows.empty());
    EXPECT_GE(unclippedRows.back(), kNameBox.height()) << "the name would fit: not long enough";

    // Breaks fall between words: the first line, rendered alone, is made of whole words.
    QFontMetrics metrics(qtFont(form.Label2.font));
    const QStringList words = caption.split(' ');
    QString firstLine;
    for (const QString &word : words) {
        const QString next = firstLine.isEmpty() ? word : firstLine + ' ' + word;
        if (metrics.horizontalAdvance(next) > kNameBox.width())
            break;
        firstLine = next;
    }
    ASSERT_FALSE(firstLine.isEmpty());
    QImage expected(kNameBox.size(), QImage::Format_RGB32);
    expected.fill(QColor(255, 255, 128));
    {
        QPainter painter(&expected);
        painter.setFont(qtFont(form.Label2.font));
        painter.setPen(QColor(255, 128, 0));
        painter.drawText(QRectF(0, 0, kNameBox.width(), kNameBox.height()),
                         Qt::AlignHCenter | Qt::AlignTop, firstLine);
    }
    // Compare the first line's rows, above where the second line's letters reach up.
    const QImage seen = image.copy(kNameBox);
    int same = 0, total = 0;
    for (int y = 0; y < firstLineHeight / 2; ++y)
        for (int x = 0; x < kNameBox.width(); ++x) {
            const QColor s = seen.pixelColor(x, y);
            if (s.red() < 120)
                continue; // a hand over the label
            const bool a = orange(s), b = orange(expected.pixelColor(x, y));
            total += a || b;
            same += a && b;
        }
    ASSERT_GT(total, 0);
    EXPECT_GT(double(same) / total, 0.9) << "the first line is not \"" << firstLine.toStdString()
                                         << "\"";
}


// A name in a script the name face lacks is drawn in a face that has it: letters, not gaps.
class NameInAnyScript : public WindowTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(NameInAnyScript, IsDrawnInTheLabel)
{
    startAt("09:00:00", GetParam());
    const QImage label = render().copy(kNameBox);
    int orangePixels = 0;
    for (int y = 0; y < label.height(); ++y)
        for (int x = 0; x < label.width(); ++x)
            orangePixels += orange(label.pixelColor(x, y));
    // A five-letter word at 48 points covers well over a thousand pixels.
    EXPECT_GT(orangePixels, 500);
}

INSTANTIATE_TEST_SUITE_P(Scripts, NameInAnyScript,
                         ::testing::Values("مرحبا", "שלום", "Привет", "Γειάσου", "Şule"));

} // namespace
} // namespace vemo::testing

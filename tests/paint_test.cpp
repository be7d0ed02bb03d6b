// The one painter over a canvas that records its calls: what is drawn, in which order, where.

#include "app/window/window_description.h"
#include "platform/paint/painter.h"
#include "platform/paint/pictures.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vemo::testing {
namespace {

// Every character 10 pixels wide; lines of 20 + 5 pixels with 3 of leading.
class RecordingCanvas : public Canvas
{
public:
    struct Call
    {
        std::string what;
        RectF rect;
        Colour colour = 0;
        double width = 0;
        std::string text = {};
    };

    bool antialiasesShapes() const override { return true; }
    void fillRect(const RectF &r, Colour c) override { calls.push_back({"fillRect", r, c}); }
    void fillEllipse(const RectF &r, Colour c) override { calls.push_back({"fillEllipse", r, c}); }
    void outlineEllipse(const RectF &r, Colour c, double w) override
    {
        calls.push_back({"outlineEllipse", r, c, w});
    }
    void drawLine(PointF a, PointF b, Colour c, double w) override
    {
        calls.push_back({"line", {a.x, a.y, b.x - a.x, b.y - a.y}, c, w});
    }
    void fillPath(const Path &, Colour c) override { calls.push_back({"fillPath", {}, c}); }
    void outlinePath(const Path &, Colour c, double w) override
    {
        calls.push_back({"outlinePath", {}, c, w});
    }
    void setFont(const Font &font) override
    {
        calls.push_back({"font", {}, 0, font.size, font.name});
    }
    FontMetrics fontMetrics() override { return {20, 5, 3.5}; }
    double textWidth(std::string_view text) override { return 10.0 * text.size(); }
    void drawText(PointF at, std::string_view text, Colour c) override
    {
        calls.push_back({"text", {at.x, at.y, 0, 0}, c, 0, std::string(text)});
    }
    void pushClip(const RectF &r) override { calls.push_back({"clip", r}); }
    void popClip() override { calls.push_back({"unclip", {}}); }

    std::vector<Call> named(const std::string &what) const
    {
        std::vector<Call> found;
        for (const Call &call : calls)
            if (call.what == what)
                found.push_back(call);
        return found;
    }

    std::vector<Call> calls;
};

using Lines = std::vector<std::string>;

class BreakLines : public ::testing::TestWithParam<std::pair<const char *, Lines>>
{
};

// A box of 100 pixels holds 10 characters.
TEST_P(BreakLines, BetweenWordsAsManyAsFit)
{
    RecordingCanvas canvas;
    EXPECT_EQ(breakLines(canvas, GetParam().first, 100), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, BreakLines,
    ::testing::Values(std::pair{"", Lines{""}}, std::pair{"Ali", Lines{"Ali"}},
                      std::pair{"Ali Veli", Lines{"Ali Veli"}},
                      std::pair{"ali veliler", Lines{"ali", "veliler"}}, // 11 characters
                      std::pair{"abcde fghij", Lines{"abcde", "fghij"}}, // exactly 11
                      std::pair{"abcd efghi", Lines{"abcd efghi"}},      // exactly 10
                      std::pair{" ali  veli ", Lines{" ali  veli "}},    // blanks kept
                      std::pair{"a    b", Lines{"a    b"}},
                      std::pair{"aaa bbbbbbbbbbbbbb c", Lines{"aaa", "bbbbbbbbbbbbbb", "c"}},
                      std::pair{"aaaa bbbb cccc dddd", Lines{"aaaa bbbb", "cccc dddd"}}));

TEST(DrawCaption, CentresEachLineWithoutItsTrailingBlanksOnWholePixelLines)
{
    RecordingCanvas canvas;
    drawCaption(canvas, {50, 10, 100, 200}, "aaaa bbbb cc ", 0x123456);
    const auto texts = canvas.named("text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "aaaa bbbb");
    EXPECT_DOUBLE_EQ(texts[0].rect.left, 55); // (100 - 90) / 2 from the left edge
    EXPECT_DOUBLE_EQ(texts[0].rect.top, 10);
    EXPECT_EQ(texts[1].text, "cc ");
    EXPECT_DOUBLE_EQ(texts[1].rect.left, 90);     // "cc" is 20 wide; the blank does not count
    EXPECT_DOUBLE_EQ(texts[1].rect.top, 10 + 29); // 25 + 3.5 of leading, up to a whole pixel
    EXPECT_EQ(texts[1].colour, 0x123456u);
}

TEST(DrawCaption, ClipsToTheBoxAndStopsBelowIt)
{
    RecordingCanvas canvas;
    // Four lines of 29 pixels; a box of 60 shows the first three, the third only in part.
    drawCaption(canvas, {0, 0, 40, 60}, "aaa bbb ccc ddd", 0);
    EXPECT_EQ(canvas.named("text").size(), 3u);
    ASSERT_EQ(canvas.calls.front().what, "clip");
    EXPECT_DOUBLE_EQ(canvas.calls.front().rect.height, 60);
    EXPECT_EQ(canvas.calls.back().what, "unclip");
}

class PaintWindow : public ::testing::Test
{
protected:
    WindowDescription window;
    RecordingCanvas canvas;
    static constexpr double kAll = 1e6;
};

TEST_F(PaintWindow, BackgroundThenTheDialDiscAtTheBack)
{
    paintControls(canvas, window, 15, {{0, 0, kAll, kAll}});
    ASSERT_GE(canvas.calls.size(), 3u);
    EXPECT_EQ(canvas.calls[0].what, "fillRect");
    EXPECT_EQ(canvas.calls[0].colour, 0x000040u);
    // Shape1(0): 10575 twips across, centred on 5527.5, with a 4-pixel pale outline.
    EXPECT_EQ(canvas.calls[1].what, "fillEllipse");
    EXPECT_EQ(canvas.calls[1].colour, 0x00C0C0u);
    EXPECT_DOUBLE_EQ(canvas.calls[1].rect.width, 705);
    EXPECT_DOUBLE_EQ(canvas.calls[1].rect.centre().x, 368.5);
    EXPECT_DOUBLE_EQ(canvas.calls[1].rect.centre().y, 368.5);
    EXPECT_EQ(canvas.calls[2].what, "outlineEllipse");
    EXPECT_EQ(canvas.calls[2].colour, 0xC0FFFFu);
    EXPECT_DOUBLE_EQ(canvas.calls[2].width, 4);
}

TEST_F(PaintWindow, TheSecondHandIsTheLastLineAndHiddenLinesAreSkipped)
{
    window.Line5.Visible = false;
    paintControls(canvas, window, 15, {{0, 0, kAll, kAll}});
    const auto lines = canvas.named("line");
    // 61 marks, the bell's highlight, the hour, minute and second hands; the alarm hand is
    // hidden.
    ASSERT_EQ(lines.size(), 65u);
    EXPECT_EQ(lines.back().colour, 0x000080u);
    EXPECT_DOUBLE_EQ(lines.back().width, 4);
    EXPECT_DOUBLE_EQ(lines.back().rect.left, 5520.0 / 15);
    EXPECT_DOUBLE_EQ(lines.back().rect.top, 6240.0 / 15);
    EXPECT_DOUBLE_EQ(lines.back().rect.height, (480.0 - 6240.0) / 15);
}

TEST_F(PaintWindow, OnlyControlsTouchingTheExposedRectangleAndNoBackgroundPastFirst)
{
    // The bell's box, 5280,7920 twips: 352,528 pixels, 32 across.
    paintControls(canvas, window, 15, {{360, 540, 4, 4}}, 1);
    EXPECT_TRUE(canvas.named("fillRect").size() >= 1); // the bell's ground, not the background
    for (const auto &fill : canvas.named("fillRect"))
        EXPECT_NE(fill.colour, 0x000040u);
    EXPECT_EQ(canvas.named("fillPath").size(), 1u);
    EXPECT_TRUE(canvas.named("text").empty());
    EXPECT_TRUE(canvas.named("outlineEllipse").empty()) << "no disc of the dial touches it";
}

TEST(Pictures, FillTheirTargetWithTheirGround)
{
    RecordingCanvas bell, icon;
    drawBell(bell, {10, 20, 64, 64});
    drawClockIcon(icon, {0, 0, 16, 16});
    ASSERT_FALSE(bell.calls.empty());
    EXPECT_EQ(bell.calls[0].what, "fillRect");
    EXPECT_DOUBLE_EQ(bell.calls[0].rect.left, 10);
    EXPECT_DOUBLE_EQ(bell.calls[0].rect.width, 64);
    EXPECT_EQ(bell.calls[0].colour, 0xAAFFFFu);
    ASSERT_FALSE(icon.calls.empty());
    EXPECT_EQ(icon.calls[0].colour, 0x000080u);
    // Line widths scale with the picture: the highlight is 1.5 of the 32-pixel grid.
    EXPECT_DOUBLE_EQ(bell.named("line").at(0).width, 3);
}

} // namespace
} // namespace vemo::testing

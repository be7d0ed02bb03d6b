// The painter on the GDI+ canvas, into a bitmap: the window as the Windows program paints it,
// without a window.

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "platform/paint/painter.h"
#include "platform/win32/gdiplus_canvas.h"

#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace vemo::testing {
namespace {

class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput startup;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &startup, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

class GdiplusWindow : public ::testing::Test
{
protected:
    // The form after start-up at `time` and one tick a second later, painted at 96 dpi.
    void paintAt(const std::string &time, const std::string &tick)
    {
        platform.typedName = "ali";
        platform.setTime(time);
        form.Form_Load();
        platform.setTime(tick);
        form.Timer1_Timer();
        bitmap = std::make_unique<Gdiplus::Bitmap>(739, 746, PixelFormat32bppRGB);
        Gdiplus::Graphics graphics(bitmap.get());
        GdiplusFonts fonts;
        GdiplusCanvas canvas(graphics, fonts, 96);
        paintControls(canvas, form, 15, {{0, 0, 739, 746}});
    }

    // The pixel under a point in twips, 0x00BBGGRR as the window description writes colours.
    Colour at(double xTwips, double yTwips) const
    {
        Gdiplus::Color c;
        bitmap->GetPixel(static_cast<INT>(xTwips / 15), static_cast<INT>(yTwips / 15), &c);
        return static_cast<Colour>(c.GetB()) << 16 | static_cast<Colour>(c.GetG()) << 8 | c.GetR();
    }

    static bool similar(Colour a, Colour b)
    {
        for (int shift : {0, 8, 16})
            if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 12)
                return false;
        return true;
    }

    FakePlatform platform;
    Form1 form{platform.services()};
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
};

TEST_F(GdiplusWindow, DiscsMarksAndBackground)
{
    paintAt("09:00:00", "09:00:01");
    EXPECT_TRUE(similar(at(2204, 2204), 0x00C0C0)) << std::hex << at(2204, 2204); // dial disc
    EXPECT_TRUE(similar(at(7000, 4500), 0x80FFFF));                               // inner disc
    EXPECT_TRUE(similar(at(9467, 5527), 0xFF0000)) << "mark 0, blue, at 3 o'clock";
    EXPECT_TRUE(similar(at(30, 30), 0x000040)) << "the window's background in the corner";
    EXPECT_TRUE(similar(at(5000, 9020), 0x80FFFF)) << "the close label's own background";
}

TEST_F(GdiplusWindow, HandsWhereTheTickPutThem)
{
    paintAt("03:40:15", "03:40:16");
    // The second hand at 16 s: 6 degrees past 3 o'clock, maroon along its middle.
    const double a = (16 * 6 - 90) * (22.0 / 7) / 180;
    int hits = 0;
    for (double r = 1500; r <= 4500; r += 150)
        hits += similar(at(5527 + r * std::cos(a), 5527 + r * std::sin(a)), 0x000080);
    EXPECT_GE(hits, 19) << "of 21 points";
    // Nothing maroon where the hand would stand a second later.
    const double b = (17 * 6 - 90) * (22.0 / 7) / 180;
    EXPECT_FALSE(similar(at(5527 + 4000 * std::cos(b), 5527 + 4000 * std::sin(b)), 0x000080));
}

TEST_F(GdiplusWindow, NameInOrangeInTheNameLabel)
{
    paintAt("09:00:00", "09:00:01");
    int orange = 0;
    for (double y = 6240; y < 6240 + 1215; y += 15)
        for (double x = 1920; x < 1920 + 7215; x += 15)
            orange += similar(at(x, y), 0x0080FF);
    EXPECT_GT(orange, 150) << "\"Ali\" at 48 points";
}

TEST(GdiplusFonts, NamedFacesOrTheMappersChoice)
{
    GdiplusFonts fonts;
    // Faces that Windows (and the test prefix) has, by their own names.
    for (const char *face : {"Tahoma", "Webdings", "Arial"}) {
        WCHAR name[LF_FACESIZE] = {};
        fonts.family(face).GetFamilyName(name);
        EXPECT_NE(name[0], L'\0') << face;
    }
    // A face nobody has still gives a family to draw with.
    WCHAR name[LF_FACESIZE] = {};
    EXPECT_EQ(fonts.family("No Such Face 1234").GetFamilyName(name), Gdiplus::Ok);
    EXPECT_NE(name[0], L'\0');
}

} // namespace
} // namespace vemo::testing

// The free faces that stand in for the window description's fonts are on this machine and
// draw the Turkish letters the clock shows.

#include "platform/qt/fonts.h"

#include <QFontInfo>
#include <QRawFont>

#include <gtest/gtest.h>

namespace {

class MappedFace : public ::testing::TestWithParam<const char *>
{
};

TEST_P(MappedFace, ExistsAndDrawsTurkishLetters)
{
    const vemo::Font font{GetParam(), 12, 400, false};
    const QString substitute = vemo::substituteFamily(font.name);
    const QFont qt = vemo::qtFont(font);
    // Fontconfig adds the foundry, " [urw]", where two foundries' files carry the family.
    QString family = QFontInfo(qt).family();
    family = family.left(family.indexOf(QStringLiteral(" [")));
    EXPECT_EQ(family.toStdString(), substitute.toStdString()) << "the face is not installed";

    const QRawFont raw = QRawFont::fromFont(qt);
    ASSERT_TRUE(raw.isValid());
    EXPECT_EQ(raw.familyName().toStdString(), substitute.toStdString());
    for (const char32_t letter : U"ÇŞşğıİüö") {
        if (letter == 0)
            break;
        EXPECT_TRUE(raw.supportsCharacter(letter))
            << substitute.toStdString() << " lacks U+" << std::hex << unsigned(letter);
    }
}

INSTANTIATE_TEST_SUITE_P(Faces, MappedFace,
                         ::testing::Values("Arial", "MS Sans Serif", "Tahoma", "Century Gothic",
                                           "Monotype Corsiva", "Webdings"));

TEST(SymbolFace, DrawsTheButtonsTriangle)
{
    const vemo::Font webdings{"Webdings", 12, 400, false};
    const QRawFont raw = QRawFont::fromFont(vemo::qtFont(webdings));
    ASSERT_TRUE(raw.isValid());
    EXPECT_TRUE(raw.supportsCharacter(char32_t{0x25BC}));
    EXPECT_EQ(vemo::displayCaption(webdings, "6"), QStringLiteral("\u25BC"));
}

} // namespace

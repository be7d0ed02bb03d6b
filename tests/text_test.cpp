#include "platform/errors.h"
#include "platform/text.h"
#include "platform/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace vemo {
namespace {

struct ValCase
{
    const char *text;
    double value;
};

class NumericParse : public ::testing::TestWithParam<ValCase>
{
};

TEST_P(NumericParse, ReadsTheLongestLeadingNumber)
{
    EXPECT_DOUBLE_EQ(val(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericParse,
    ::testing::Values(ValCase{"07", 7}, ValCase{"09:30", 9}, ValCase{"", 0}, ValCase{"  12abc", 12},
                      ValCase{"abc", 0}, ValCase{"-3.5x", -3.5}, ValCase{"1e3", 1000},
                      ValCase{"2e", 2}, ValCase{".5", 0.5}, ValCase{"+4", 4}, ValCase{" \t59", 59},
                      ValCase{"5 7", 5}, ValCase{"1e-400", 0}, ValCase{"-0.01e-99999999999", 0},
                      ValCase{"1e22222223", HUGE_VAL}, ValCase{"-123456e304x", -HUGE_VAL}));

TEST(TextInArithmetic, ConvertsWholeNumbersAndRejectsTheRest)
{
    EXPECT_EQ(textToNumber("07"), 7);
    EXPECT_EQ(textToNumber(" 12 "), 12);
    EXPECT_EQ(textToNumber("1e-400"), 0);
    EXPECT_THROW(textToNumber("1e400"), RuntimeError);
    for (const char *text : {"", "1a", "a1", "0x", ":3", "  "}) {
        try {
            textToNumber(text);
            ADD_FAILURE() << '"' << text << "\" was taken for a number";
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.code(), RuntimeError::Code::TypeMismatch);
        }
    }
}

TEST(ProperCase, FollowsTurkishRules)
{
    EXPECT_EQ(properCase("ilker ışık"), "İlker Işık");
    EXPECT_EQ(properCase("İLKER IŞIK"), "İlker Işık");
    EXPECT_EQ(properCase("şule ılgaz"), "Şule Ilgaz");
    EXPECT_EQ(properCase("çağrı öztürk"), "Çağrı Öztürk");
    EXPECT_EQ(properCase("ümİt"), "Ümit");
    EXPECT_EQ(properCase(""), "");
    EXPECT_EQ(properCase("  ali   veli "), "  Ali   Veli ");
    // "İ" written as I and a combining dot keeps its dot; so does the I that "ı" and the dot make.
    EXPECT_EQ(properCase("I\u0307LKER"), "İlker");
    EXPECT_EQ(properCase("\u0131\u0307lker"), "İlker");
}

// Where words begin: the same on every platform, whichever library knows the letters.
class ProperCaseWords : public ::testing::TestWithParam<std::pair<const char *, const char *>>
{
};

TEST_P(ProperCaseWords, BeginAfterSpacesAndPunctuation)
{
    EXPECT_EQ(properCase(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProperCaseWords,
    ::testing::Values(std::pair{"ayşe-nur", "Ayşe-Nur"}, std::pair{"o'neil", "O'neil"},
                      std::pair{"ali,veli", "Ali,Veli"}, std::pair{"ali.veli", "Ali.veli"},
                      std::pair{"(ali) veli", "(Ali) Veli"}, std::pair{"ALİ2VELİ", "Ali2veli"},
                      std::pair{"3ali", "3ali"}, std::pair{"ali_veli", "Ali_veli"},
                      std::pair{"IŞIL\tİNCİ", "Işıl\tİnci"}, std::pair{"ümİT", "Ümit"}));

TEST(Conversions, RoundHalfToEvenAndFloorTowardsMinusInfinity)
{
    EXPECT_EQ(toInt32(682.5), 682);
    EXPECT_EQ(toInt32(707.5), 708);
    EXPECT_EQ(toInt32(683.5), 684);
    EXPECT_EQ(toInt32(-2.5), -2);
    EXPECT_EQ(toInt32(2.4999), 2);
    EXPECT_EQ(floorToWhole(2137.5), 2137);
    EXPECT_EQ(floorToWhole(-781.875), -782);
    EXPECT_THROW(toInt32(3e9), RuntimeError);
    EXPECT_THROW(toInt16(40000), RuntimeError);
    EXPECT_THROW(toSingle(1e39), RuntimeError);
    EXPECT_THROW(toSingle(NAN), RuntimeError);
    EXPECT_EQ(toSingle(5523.8), 5523.8f);
}

TEST(Conversions, CheckedArithmeticRaisesOnOverflowAndDivisionByZero)
{
    try {
        divide(1, 0);
        FAIL();
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.code(), RuntimeError::Code::DivisionByZero);
    }
    EXPECT_THROW(checked(1e308 * 10), RuntimeError);
    EXPECT_THROW(checked(std::sqrt(-1.0)), RuntimeError);
}

TEST(CodePage, TurkishLettersAreSingleBytes)
{
    EXPECT_EQ(toCodePage("Menü"), "Men\xFC");
    EXPECT_EQ(toCodePage("ŞşİıĞğ"), "\xDE\xFE\xDD\xFD\xD0\xF0");
    EXPECT_EQ(fromCodePage("Men\xFC Komutu"), "Menü Komutu");
    EXPECT_EQ(fromCodePage(toCodePage("Çarşamba")), "Çarşamba");
}

TEST(Characters, CountCodePointsNotBytes)
{
    EXPECT_EQ(left("Şubat", 2), "Şu");
    EXPECT_EQ(right("Aralık", 3), "lık");
    EXPECT_EQ(mid("07.12.2026", 4, 2), "12");
    EXPECT_EQ(mid("07.12.2026", 7, 4), "2026");
    EXPECT_EQ(mid("ab", 4, 2), "");
    EXPECT_EQ(right("5", 2), "5");
    EXPECT_EQ(left("", 2), "");
    // Continuation bytes out of place stay with the character before them, or make the first.
    EXPECT_EQ(left("\200a\260b", 0), "");
    EXPECT_EQ(left("\200a\260b", 2), "\200a\260");
    EXPECT_EQ(right("\200a\260b", 3), "\200a\260b");
    EXPECT_EQ(mid("\200a\260b", 3, 1), "b");
}

TEST(Weekday, SundayIsOne)
{
    EXPECT_EQ(weekday("06.12.2026"), 1); // a Sunday
    EXPECT_EQ(weekday("07.12.2026"), 2);
    EXPECT_EQ(weekday("08.12.2026"), 3);
    EXPECT_EQ(weekday("12.12.2026"), 7);
    EXPECT_EQ(weekday("29.02.2028"), 3);
    EXPECT_THROW(weekday("30.02.2027"), RuntimeError);
    EXPECT_THROW(weekday("xx.12.2026"), RuntimeError);
    EXPECT_THROW(weekday("01.01.9e99"), RuntimeError);
    EXPECT_THROW(weekday("01.01.20.5"), RuntimeError);
}

TEST(VariantValue, EmptyCountsAsZeroAndTextsConvertInArithmetic)
{
    EXPECT_EQ((Variant() + 1.0).number(), 1);
    EXPECT_EQ((Variant(std::string("07")) + 1.0).number(), 8);
    EXPECT_THROW(Variant(std::string("x")) + 1.0, RuntimeError);
    EXPECT_EQ(Variant(3.0).text(), "3");
    EXPECT_EQ(Variant(-90.0).text(), "-90");
    const Variant days(std::vector<std::string>{"Pazar", "Pazartesi"});
    EXPECT_EQ(days.element(1), "Pazartesi");
    EXPECT_THROW(days.element(2), RuntimeError);
    EXPECT_THROW(days.element(-1), RuntimeError);
}

} // namespace
} // namespace vemo

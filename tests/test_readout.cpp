// The read-outs' number form and captions, including ties decided on the double's exact value.

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <string>

#include "simulator/readout.h"

namespace {

struct Case {
    double value;
    const char* expected;
};

TEST(ReadoutNumber, TemperatureToOneDecimal) {
    const Case cases[] = {
        {15, " 15"},     {-10.5, "-10.5"}, {36, " 36"},      {0.4, " .4"},   {-0.6, "-.6"},  {0, " 0"},
        {14.5, " 14.5"}, {5.4, " 5.4"},    {-9, "-9"},       {12.25, " 12.2"}, {12.75, " 12.8"},
        // Exact ties go to even; near-ties follow the double's true value.
        {0.25, " .2"},   {0.35, " .3"},    {0.45, " .5"},    {-0.25, "-.2"}, {0.95, " .9"},  {0.96, " 1"},
        // Tiny leftovers of repeated 0.6 steps read as zero, without a sign.
        {6.661338147750939e-16, " 0"}, {-6.661338147750939e-16, " 0"}, {-0.04, " 0"}, {-0.05, "-.1"},
        {5.4000000000000004, " 5.4"}, {-0.59999999999999931, "-.6"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadoutNumber(c.value, 1), QString::fromUtf8(c.expected)) << c.value;
}

TEST(ReadoutNumber, HumidityToAWholeNumber) {
    const Case cases[] = {
        {60, " 60"},   {63.57, " 64"}, {62.5, " 62"}, {63.5, " 64"}, {73.4, " 73"}, {98.94, " 99"},
        {99.5, " 100"}, {100, " 100"}, {0.5, " 0"},   {1.5, " 2"},   {2.5, " 2"},   {0, " 0"},
        {28.391167192429041, " 28"}, {0.4, " 0"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadoutNumber(c.value, 0), QString::fromUtf8(c.expected)) << c.value;
}

TEST(ReadoutNumber, AltitudeUnrounded) {
    const Case cases[] = {{0, " 0"}, {100, " 100"}, {800, " 800"}, {2000, " 2000"}, {150.25, " 150.25"}};
    for (const Case& c : cases) EXPECT_EQ(ReadoutNumber(c.value), QString::fromUtf8(c.expected)) << c.value;
}

TEST(ReadoutCaption, WordNumberAndUnitWithNothingBetween) {
    EXPECT_EQ(KionCaption(15), QString::fromUtf8("気温 15℃"));
    EXPECT_EQ(KionCaption(-10.5), QString::fromUtf8("気温-10.5℃"));
    EXPECT_EQ(SitudoCaption(63.57), QString::fromUtf8("湿度 64％"));
    EXPECT_EQ(SitudoCaption(60), QString::fromUtf8("湿度 60％"));
    EXPECT_EQ(TakasaCaption(800), QString::fromUtf8("高度 800ｍ"));
    EXPECT_EQ(TakasaCaption(0), QString::fromUtf8("高度 0ｍ"));
    // The units are single characters: U+2103, U+FF05, U+FF4D.
    EXPECT_EQ(KionCaption(15).back(), QChar(0x2103));
    EXPECT_EQ(SitudoCaption(15).back(), QChar(0xFF05));
    EXPECT_EQ(TakasaCaption(15).back(), QChar(0xFF4D));
}

TEST(ReadoutCaption, ThePointIsAPointInEveryLocale) {
    const QLocale before;
    const std::string cBefore = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // may be missing on the machine; the Qt default still changes
    EXPECT_EQ(KionCaption(-10.5), QString::fromUtf8("気温-10.5℃"));
    EXPECT_EQ(KionCaption(0.4), QString::fromUtf8("気温 .4℃"));
    EXPECT_EQ(TakasaCaption(12000), QString::fromUtf8("高度 12000ｍ"));
    std::setlocale(LC_ALL, cBefore.c_str());
    QLocale::setDefault(before);
}

}  // namespace

// The parcel's rules against worked figures: the vapour table's rows, a full ascent and descent,
// the season presets' first clouds, and the clamps of the arrows and the altitude.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "simulator/physics.h"
#include "simulator/readout.h"

namespace {

// The table by whole degrees T: the amount for T < t <= T + 0.5, then for T + 0.5 < t <= T + 1.
struct DegreeRow {
    int T;
    double lower, upper;
};
constexpr DegreeRow kByDegree[] = {
    {-10, 2.4, 2.5},   {-9, 2.6, 2.7},    {-8, 2.8, 2.9},    {-7, 3, 3.1},      {-6, 3.2, 3.3},
    {-5, 3.4, 3.5},    {-4, 3.6, 3.75},   {-3, 3.9, 4.05},   {-2, 4.2, 4.35},   {-1, 4.5, 4.65},
    {0, 4.8, 5},       {1, 5.2, 5.4},     {2, 5.6, 5.75},    {3, 5.9, 6.15},    {4, 6.4, 6.6},
    {5, 6.8, 7.05},    {6, 7.3, 7.55},    {7, 7.8, 8.05},    {8, 8.3, 8.55},    {9, 8.8, 9.1},
    {10, 9.4, 9.7},    {11, 10, 10.35},   {12, 10.7, 11.05}, {13, 11.4, 11.75}, {14, 12.1, 12.45},
    {15, 12.8, 13.3},  {16, 13.6, 13.95}, {17, 14.5, 14.95}, {18, 15.4, 15.85}, {19, 16.3, 16.8},
    {20, 17.3, 17.8},  {21, 18.3, 18.85}, {22, 19.4, 20},    {23, 20.6, 21.2},  {24, 21.8, 22.45},
    {25, 23.1, 23.75}, {26, 24.4, 25.1},  {27, 25.8, 26.5},  {28, 27.2, 27.9},  {29, 28.8, 29.6},
    {30, 30.4, 31.25}, {31, 32.1, 32.95}, {32, 33.8, 34.75}, {33, 35.7, 36.6},  {34, 37.6, 39.6},
};

float justAbove(float t) { return std::nextafter(t, std::numeric_limits<float>::infinity()); }

TEST(PhysicsVapour, EveryRowIncludesItsUpperBoundAndNotWhatLiesJustAbove) {
    for (size_t i = 0; i < std::size(kByDegree); ++i) {
        const DegreeRow& row = kByDegree[i];
        const float half = float(row.T) + 0.5f, whole = float(row.T + 1);
        SCOPED_TRACE(row.T);
        EXPECT_EQ(SaturatedVapour(float(row.T) + 0.25f), row.lower);
        EXPECT_EQ(SaturatedVapour(half), row.lower);
        EXPECT_EQ(SaturatedVapour(justAbove(half)), row.upper);
        if (i + 1 < std::size(kByDegree)) {
            EXPECT_EQ(SaturatedVapour(whole), row.upper);
            EXPECT_EQ(SaturatedVapour(justAbove(whole)), kByDegree[i + 1].lower);
        }
    }
}

TEST(PhysicsVapour, FlatEndsAndWorkedLookups) {
    const struct {
        float t;
        double amount;
    } cases[] = {
        {15.0f, 12.45}, {15.01f, 12.8}, {-10.5f, 2.4}, {-9.5f, 2.4}, {-100.0f, 2.4}, {34.6f, 39.6},
        {36.0f, 39.6},  {100.0f, 39.6}, {0.0f, 4.65},  {1e-30f, 4.8}, {-1e-30f, 4.65},
    };
    for (const auto& c : cases) EXPECT_EQ(SaturatedVapour(c.t), c.amount) << c.t;
}

// The opening values hold 7.47 g: the row 6.5 < t <= 7 (7.55 g) is the first that could hold it, and
// the cloud does form between 800 m (7 degrees) and 900 m (6 degrees). Each season's dew point lies
// just above the temperature of its first cloud; winter's lies in the flat cold end.
TEST(PhysicsDewPoint, TheFirstRowThatHoldsTheParcelsVapour) {
    const struct {
        const char* name;
        Parcel parcel;
        double vapour;
        float dewPoint;
        double amount;
    } cases[] = {
        {"opening", kOpeningParcel, 7.47, 7, 7.55},      {"spring", {20, 70, 0}, 11.76, 14.5, 12.1},
        {"rainy season", {25, 90, 0}, 20.205, 23.5, 20.6}, {"summer", {32, 80, 0}, 26.36, 28, 26.5},
        {"autumn", {15, 65, 0}, 8.0925, 8.5, 8.3},      {"winter", {0, 50, 0}, 2.325, -9.5, 2.4},
        // A saturated parcel's dew point is its own row, also a hair above 0 degrees (1900 m).
        {"cloud at 900 m", {6, 100, 900}, 7.05, 6, 7.05}, {"cloud at 1900 m", {1e-15, 100, 1900}, 4.8, 0.5, 4.8},
        {"cloud at -10.5", {-10.5, 100, 1100}, 2.4, -9.5, 2.4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(VapourAmount(c.parcel), c.vapour, 1e-12);
        const auto row = DewPoint(c.vapour);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->upperBound, c.dewPoint);
        EXPECT_EQ(row->amount, c.amount);
    }
    EXPECT_EQ(DewPoint(7.3)->upperBound, 6.5f) << "a row holding exactly the vapour is the dew point";
    EXPECT_EQ(DewPoint(std::nextafter(7.3, 8.0))->upperBound, 7.0f);
    EXPECT_FALSE(DewPoint(0)) << "dry air has no dew point";
}

struct Reading {
    double takasa, kion, situdo;
    ParcelDrawing drawing;
};

// Steps the parcel and compares every reading; temperatures and humidities to 0.005 (the figures
// are given to two places), so a wrong lapse rate or a wrong row shows at once.
void expectSteps(Parcel& parcel, ParcelDrawing (*step)(Parcel&), const std::vector<Reading>& expected) {
    for (const Reading& want : expected) {
        const ParcelDrawing drawing = step(parcel);
        SCOPED_TRACE(want.takasa);
        EXPECT_EQ(parcel.Takasa, want.takasa);
        EXPECT_NEAR(parcel.Kion, want.kion, 0.005);
        EXPECT_NEAR(parcel.Situdo, want.situdo, 0.005);
        EXPECT_EQ(drawing, want.drawing);
    }
}

constexpr auto kOutline = ParcelDrawing::Outline, kCloud = ParcelDrawing::Cloud;

Parcel ascendedToTop() {
    Parcel parcel = kOpeningParcel;
    for (int i = 0; i < 20; ++i) RaiseParcel(parcel);
    return parcel;
}

TEST(PhysicsAscent, FromTheOpeningValuesACloudFormsAt900Metres) {
    Parcel parcel = kOpeningParcel;
    expectSteps(parcel, RaiseParcel,
                {{100, 14, 63.57, kOutline}, {200, 13, 67.60, kOutline}, {300, 12, 72.17, kOutline},
                 {400, 11, 77.01, kOutline}, {500, 10, 82.09, kOutline}, {600, 9, 87.37, kOutline},
                 {700, 8, 92.80, kOutline},  {800, 7, 98.94, kOutline},  {900, 6, 100, kCloud},
                 {1000, 5.4, 100, kCloud},   {1100, 4.8, 100, kCloud}});
    EXPECT_EQ(parcel.Situdo, 100.0);  // exactly: the saturated state
    for (double takasa = 1200; takasa <= 2000; takasa += 100) {
        EXPECT_EQ(RaiseParcel(parcel), kCloud) << takasa;
        EXPECT_EQ(parcel.Situdo, 100.0);
    }
    EXPECT_NEAR(parcel.Kion, -0.6, 1e-12);
    EXPECT_EQ(ReadoutNumber(parcel.Kion, 1), "-.6");
}

// Humidity times the old amount, then divided by the new one: taking the ratio first lands a few
// units in the last place lower, and those differences add up over the climb.
TEST(PhysicsAscent, TheHumidityIsMultipliedBeforeItIsDivided) {
    Parcel parcel = kOpeningParcel;
    RaiseParcel(parcel);
    EXPECT_EQ(parcel.Situdo, 60 * 12.45 / 11.75);
    EXPECT_EQ(parcel.Situdo, 63.574468085106382);
    for (int i = 0; i < 7; ++i) RaiseParcel(parcel);
    EXPECT_EQ(parcel.Situdo, 98.940397350993393);
}

TEST(PhysicsAscent, At1900MetresTheTemperatureIsATinyPositiveNumber) {
    Parcel parcel = kOpeningParcel;
    for (int i = 0; i < 19; ++i) RaiseParcel(parcel);
    ASSERT_EQ(parcel.Takasa, 1900);
    EXPECT_GT(parcel.Kion, 0);
    EXPECT_LT(parcel.Kion, 1e-12);
    EXPECT_GT(float(parcel.Kion), 0.0f);
    EXPECT_EQ(SaturatedVapour(float(parcel.Kion)), 4.8);  // the row 0 < t <= 0.5
    EXPECT_EQ(KionCaption(parcel.Kion), "気温 0℃");
}

TEST(PhysicsDescent, BackDownTheCloudVanishesAtOnceAndTheParcelEndsWarmerAndDrier) {
    Parcel parcel = ascendedToTop();
    EXPECT_EQ(LowerParcel(parcel), kOutline);
    EXPECT_EQ(parcel.Takasa, 1900);
    EXPECT_NEAR(parcel.Kion, 0, 1e-12);
    EXPECT_NEAR(parcel.Situdo, 93.75, 1e-9);  // 100 x 4.5 / 4.8
    double previous = parcel.Situdo;
    for (int m = 1800; m >= 0; m -= 100) {  // unsaturated now: 1 degree per step, drier each step
        SCOPED_TRACE(m);
        EXPECT_EQ(LowerParcel(parcel), kOutline);
        EXPECT_EQ(parcel.Takasa, m);
        EXPECT_NEAR(parcel.Kion, 19 - m / 100.0, 1e-9);
        EXPECT_LT(parcel.Situdo, previous);
        previous = parcel.Situdo;
    }
    EXPECT_NEAR(parcel.Situdo, 28.4, 0.05);
    EXPECT_EQ(SitudoCaption(parcel.Situdo), "湿度 28％");
    EXPECT_EQ(KionCaption(parcel.Kion), "気温 19℃");
}

TEST(PhysicsAscent, SeasonPresetsFormTheirFirstCloudWhereExpected) {
    const struct {
        const char* name;
        SeasonWeather weather;
        double cloudAt, kionThere;
    } seasons[] = {
        {"spring", kSpring, 600, 14},
        {"rainy season", kRainySeason, 200, 23},
        {"summer", kSummer, 500, 27},
        {"autumn", kAutumn, 700, 8},
    };
    for (const auto& season : seasons) {
        SCOPED_TRACE(season.name);
        Parcel parcel{1, 2, 1500};
        ApplySeason(parcel, season.weather);
        EXPECT_EQ(parcel.Takasa, 0);
        ParcelDrawing drawing = ParcelDrawing::Outline;
        while (drawing == ParcelDrawing::Outline) drawing = RaiseParcel(parcel);
        EXPECT_EQ(drawing, ParcelDrawing::Cloud);
        EXPECT_EQ(parcel.Takasa, season.cloudAt);
        EXPECT_EQ(parcel.Kion, season.kionThere);
        EXPECT_EQ(parcel.Situdo, 100.0);
    }
}

TEST(PhysicsAscent, WinterNeverSaturatesAndGoesFlatAtTheColdEnd) {
    Parcel parcel;
    ApplySeason(parcel, kWinter);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(RaiseParcel(parcel), ParcelDrawing::Outline);
    EXPECT_EQ(parcel.Takasa, 1000);
    EXPECT_EQ(parcel.Kion, -10);
    EXPECT_NEAR(parcel.Situdo, 96.875, 1e-9);  // 50 x 4.65 / 2.4
    const double atThousand = parcel.Situdo;
    for (double takasa = 1100; takasa <= 2000; takasa += 100) {
        EXPECT_EQ(RaiseParcel(parcel), ParcelDrawing::Outline);
        EXPECT_EQ(parcel.Takasa, takasa);
        EXPECT_EQ(parcel.Kion, -10.5);
        EXPECT_DOUBLE_EQ(parcel.Situdo, atThousand);
    }
}

TEST(PhysicsSaturation, ASaturatedParcelCoolsByTheSaturatedLapseRate) {
    Parcel parcel{15, 100, 0};
    EXPECT_EQ(RaiseParcel(parcel), ParcelDrawing::Cloud);
    EXPECT_EQ(parcel.Kion, 15 - 0.6);
    EXPECT_EQ(parcel.Situdo, 100.0);
}

TEST(PhysicsSaturation, JustBelowHundredCountsAsUnsaturated) {
    Parcel parcel{15, 99.999, 0};
    RaiseParcel(parcel);
    EXPECT_EQ(parcel.Kion, 14);
}

TEST(PhysicsSaturation, ASaturatedParcelInTheColdFlatEndStaysACloudGoingDown) {
    Parcel parcel{-10.5, 100, 1500};
    EXPECT_EQ(LowerParcel(parcel), ParcelDrawing::Cloud);
    EXPECT_NEAR(parcel.Kion, -9.9, 1e-12);
    EXPECT_EQ(parcel.Situdo, 100.0);
}

TEST(PhysicsSaturation, DrawingFollowsTheSaturatedState) {
    EXPECT_EQ(DrawingFor({6, 100, 900}), ParcelDrawing::Cloud);
    EXPECT_EQ(DrawingFor({6, 99.99, 900}), ParcelDrawing::Outline);
}

TEST(PhysicsAltitude, TheTopAndTheFootChangeNothing) {
    const Parcel top{-0.6, 100, 2000}, foot{15, 60, 0};
    Parcel parcel = top;
    EXPECT_EQ(RaiseParcel(parcel), ParcelDrawing::Nothing);
    EXPECT_EQ(parcel.Takasa, 2000);
    EXPECT_EQ(parcel.Kion, top.Kion);
    EXPECT_EQ(parcel.Situdo, top.Situdo);
    parcel = foot;
    EXPECT_EQ(LowerParcel(parcel), ParcelDrawing::Nothing);
    EXPECT_EQ(parcel.Takasa, 0);
    EXPECT_EQ(parcel.Kion, foot.Kion);
    EXPECT_EQ(parcel.Situdo, foot.Situdo);
}

TEST(PhysicsAltitude, TheHotEndClampsAt36AndKeepsTheHumidity) {
    Parcel parcel{35.5, 40, 300};
    EXPECT_EQ(LowerParcel(parcel), ParcelDrawing::Outline);
    EXPECT_EQ(parcel.Kion, 36);
    EXPECT_DOUBLE_EQ(parcel.Situdo, 40);  // both lookups above 34.5
}

std::vector<double> clicks(double from, void (*arrow)(Parcel&), int count) {
    Parcel parcel{from, 60, 0};
    std::vector<double> seen;
    for (int i = 0; i < count; ++i) {
        arrow(parcel);
        seen.push_back(parcel.Kion);
    }
    return seen;
}

TEST(PhysicsArrows, TemperatureDownFrom15EndsAtMinus10Point5AndStays) {
    EXPECT_EQ(clicks(15, CoolParcel, 15), (std::vector<double>{13, 11, 9, 7, 5, 3, 1, -1, -3, -5, -7, -9, -10.5,
                                                                -10.5, -10.5}));
}

TEST(PhysicsArrows, TemperatureUpFromMinus10Point5EndsAt36AndStays) {
    std::vector<double> expected;
    for (double k = -8.5; k <= 35.5; k += 2) expected.push_back(k);
    expected.insert(expected.end(), {36, 36});
    EXPECT_EQ(clicks(-10.5, WarmParcel, int(expected.size())), expected);
    EXPECT_EQ(expected.size(), 25u);
}

TEST(PhysicsArrows, TheTemperatureArrowsLeaveHumidityAndAltitudeAlone) {
    Parcel parcel{15, 73.4, 700};
    WarmParcel(parcel);
    CoolParcel(parcel);
    EXPECT_EQ(parcel.Situdo, 73.4);
    EXPECT_EQ(parcel.Takasa, 700);
}

TEST(PhysicsArrows, HumidityClampsAndSaysHowToDraw) {
    const struct {
        double from;
        ParcelDrawing (*arrow)(Parcel&);
        double to;
        ParcelDrawing drawing;
    } cases[] = {
        {60, Moisten, 62, kOutline}, {98, Moisten, 100, kCloud}, {99, Moisten, 100, kCloud},
        {100, Moisten, 100, kCloud}, {97.5, Moisten, 99.5, kOutline}, {60, Dry, 58, kOutline},
        {1, Dry, 0, kOutline},       {0, Dry, 0, kOutline},       {100, Dry, 98, kOutline},
    };
    for (const auto& c : cases) {
        Parcel parcel{15, c.from, 1200};
        EXPECT_EQ(c.arrow(parcel), c.drawing) << c.from;
        EXPECT_EQ(parcel.Situdo, c.to) << c.from;
        EXPECT_EQ(parcel.Kion, 15);
        EXPECT_EQ(parcel.Takasa, 1200);
    }
}

}  // namespace

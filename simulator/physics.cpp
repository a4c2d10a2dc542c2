#include "simulator/physics.h"

#include <algorithm>
#include <array>

namespace {

// Each whole degree T has two rows: the amount at T itself for T < t <= T + 0.5, and a value
// between T and T + 1 for T + 0.5 < t <= T + 1. The first row also takes everything colder, the
// last everything warmer up to 100.
constexpr std::array<VapourRow, 90> kVapour{{
    {-9.5f, 2.4},  {-9.0f, 2.5},   {-8.5f, 2.6},  {-8.0f, 2.7},   {-7.5f, 2.8},  {-7.0f, 2.9},
    {-6.5f, 3.0},  {-6.0f, 3.1},   {-5.5f, 3.2},  {-5.0f, 3.3},   {-4.5f, 3.4},  {-4.0f, 3.5},
    {-3.5f, 3.6},  {-3.0f, 3.75},  {-2.5f, 3.9},  {-2.0f, 4.05},  {-1.5f, 4.2},  {-1.0f, 4.35},
    {-0.5f, 4.5},  {0.0f, 4.65},   {0.5f, 4.8},   {1.0f, 5.0},    {1.5f, 5.2},   {2.0f, 5.4},
    {2.5f, 5.6},   {3.0f, 5.75},   {3.5f, 5.9},   {4.0f, 6.15},   {4.5f, 6.4},   {5.0f, 6.6},
    {5.5f, 6.8},   {6.0f, 7.05},   {6.5f, 7.3},   {7.0f, 7.55},   {7.5f, 7.8},   {8.0f, 8.05},
    {8.5f, 8.3},   {9.0f, 8.55},   {9.5f, 8.8},   {10.0f, 9.1},   {10.5f, 9.4},  {11.0f, 9.7},
    {11.5f, 10.0}, {12.0f, 10.35}, {12.5f, 10.7}, {13.0f, 11.05}, {13.5f, 11.4}, {14.0f, 11.75},
    {14.5f, 12.1}, {15.0f, 12.45}, {15.5f, 12.8}, {16.0f, 13.3},  {16.5f, 13.6}, {17.0f, 13.95},
    {17.5f, 14.5}, {18.0f, 14.95}, {18.5f, 15.4}, {19.0f, 15.85}, {19.5f, 16.3}, {20.0f, 16.8},
    {20.5f, 17.3}, {21.0f, 17.8},  {21.5f, 18.3}, {22.0f, 18.85}, {22.5f, 19.4}, {23.0f, 20.0},
    {23.5f, 20.6}, {24.0f, 21.2},  {24.5f, 21.8}, {25.0f, 22.45}, {25.5f, 23.1}, {26.0f, 23.75},
    {26.5f, 24.4}, {27.0f, 25.1},  {27.5f, 25.8}, {28.0f, 26.5},  {28.5f, 27.2}, {29.0f, 27.9},
    {29.5f, 28.8}, {30.0f, 29.6},  {30.5f, 30.4}, {31.0f, 31.25}, {31.5f, 32.1}, {32.0f, 32.95},
    {32.5f, 33.8}, {33.0f, 34.75}, {33.5f, 35.7}, {34.0f, 36.6},  {34.5f, 37.6}, {100.0f, 39.6},
}};

constexpr double kLapseDry = 1;          // degrees per 100 m while unsaturated
constexpr double kLapseSaturated = 0.6;  // degrees per 100 m while saturated
constexpr double kStepClicks = 2;        // degrees or % per arrow click

double lapseRate(const Parcel& parcel) { return IsSaturated(parcel) ? kLapseSaturated : kLapseDry; }

// The vapour the parcel holds stays the same, so the humidity scales with the ratio of the
// saturated amounts before and after. Multiplied first, then divided, in double precision.
ParcelDrawing rescaleHumidity(Parcel& parcel, double kionBefore) {
    const double before = SaturatedVapour(float(kionBefore));
    const double after = SaturatedVapour(float(parcel.Kion));
    parcel.Situdo = parcel.Situdo * before / after;
    if (parcel.Situdo >= kSitudoSaturated) {
        parcel.Situdo = kSitudoSaturated;
        return ParcelDrawing::Cloud;
    }
    return ParcelDrawing::Outline;
}

}  // namespace

double SaturatedVapour(float t) {
    const auto row =
        std::find_if(kVapour.begin(), kVapour.end(), [t](const VapourRow& r) { return r.upperBound >= t; });
    // Hotter than any row (never asked for): the warmest amount.
    return row == kVapour.end() ? kVapour.back().amount : row->amount;
}

double VapourAmount(const Parcel& parcel) {
    return parcel.Situdo / 100 * SaturatedVapour(float(parcel.Kion));
}

std::optional<VapourRow> DewPoint(double vapour) {
    if (vapour <= 0) return std::nullopt;
    const auto row =
        std::find_if(kVapour.begin(), kVapour.end(), [vapour](const VapourRow& r) { return r.amount >= vapour; });
    if (row == kVapour.end()) return std::nullopt;  // more than saturated air can hold: never asked for
    return *row;
}

bool IsSaturated(const Parcel& parcel) { return parcel.Situdo == kSitudoSaturated; }

ParcelDrawing DrawingFor(const Parcel& parcel) {
    return IsSaturated(parcel) ? ParcelDrawing::Cloud : ParcelDrawing::Outline;
}

// The temperature before the step is worked back from the new, clamped temperature. Where the
// clamp acted both lie in the flat cold end of the table, so the humidity is unchanged anyway.
ParcelDrawing RaiseParcel(Parcel& parcel) {
    if (parcel.Takasa + kTakasaStep > kTakasaTop) {
        parcel.Takasa = kTakasaTop;
        return ParcelDrawing::Nothing;
    }
    parcel.Takasa += kTakasaStep;
    const double rate = lapseRate(parcel);
    parcel.Kion = std::max(parcel.Kion - rate, kKionMin);
    return rescaleHumidity(parcel, parcel.Kion + rate);
}

ParcelDrawing LowerParcel(Parcel& parcel) {
    if (parcel.Takasa - kTakasaStep < 0) {
        parcel.Takasa = 0;
        return ParcelDrawing::Nothing;
    }
    parcel.Takasa -= kTakasaStep;
    const double rate = lapseRate(parcel);
    parcel.Kion = std::min(parcel.Kion + rate, kKionMax);
    return rescaleHumidity(parcel, parcel.Kion - rate);
}

void WarmParcel(Parcel& parcel) { parcel.Kion = std::min(parcel.Kion + kStepClicks, kKionMax); }

void CoolParcel(Parcel& parcel) { parcel.Kion = std::max(parcel.Kion - kStepClicks, kKionMin); }

ParcelDrawing Moisten(Parcel& parcel) {
    parcel.Situdo += kStepClicks;
    if (parcel.Situdo < kSitudoSaturated) return ParcelDrawing::Outline;
    parcel.Situdo = kSitudoSaturated;
    return ParcelDrawing::Cloud;
}

ParcelDrawing Dry(Parcel& parcel) {
    parcel.Situdo = std::max(parcel.Situdo - kStepClicks, 0.0);
    return ParcelDrawing::Outline;
}

void ApplySeason(Parcel& parcel, SeasonWeather weather) {
    parcel.Kion = weather.Kion;
    parcel.Situdo = weather.Situdo;
    parcel.Takasa = 0;
}

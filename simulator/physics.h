#pragma once
// The air parcel of the cloud-making simulator: its temperature, relative humidity and altitude,
// and every rule that changes them. No widgets here: the panel's handlers call these and draw what
// they say.

#include <optional>

// Temperature (degrees C), relative humidity (%) and altitude (m) of the parcel.
struct Parcel {
    double Kion = 0;
    double Situdo = 0;
    double Takasa = 0;
};

// How the parcel must be redrawn after a change.
enum class ParcelDrawing { Nothing, Outline, Cloud };

inline constexpr double kKionMin = -10.5;
inline constexpr double kKionMax = 36;
inline constexpr double kSitudoSaturated = 100;
inline constexpr double kTakasaTop = 2000;
inline constexpr double kTakasaStep = 100;

// Every opening of the simulator starts here: 15 degrees, 60 %, at the foot of the mountain.
inline constexpr Parcel kOpeningParcel{15, 60, 0};

// Saturated water-vapour amount of air (g per cubic metre) at t degrees C, in 0.5-degree rows.
// Compared in single precision: each row covers (its lower bound, its upper bound].
double SaturatedVapour(float t);

// One row of that table: the temperatures above the previous row's bound up to upperBound.
struct VapourRow {
    float upperBound;  // degrees C
    double amount;     // g per cubic metre
};

// The water vapour the parcel holds, g per cubic metre: Situdo / 100 x SaturatedVapour(Kion).
double VapourAmount(const Parcel& parcel);

// The dew point of air holding `vapour` g per cubic metre: the first row, coldest first, whose
// saturated amount is at least that much. Air without vapour has none: nothing can condense.
std::optional<VapourRow> DewPoint(double vapour);

// The parcel holds exactly 100 % only when a clamp has put it there: that is the saturated state.
bool IsSaturated(const Parcel& parcel);
// A cloud when saturated, else an outline.
ParcelDrawing DrawingFor(const Parcel& parcel);

// One 100 m step up or down. The lapse rate is 0.6 degrees per step if the parcel was saturated
// before the step, else 1; the humidity is rescaled so the amount of vapour stays the same. At the
// top (2000 m) or the foot (0 m) nothing changes and Nothing is returned.
ParcelDrawing RaiseParcel(Parcel& parcel);
ParcelDrawing LowerParcel(Parcel& parcel);

// The arrow buttons: 2 degrees or 2 % per click, clamped. The temperature arrows redraw nothing.
void WarmParcel(Parcel& parcel);
void CoolParcel(Parcel& parcel);
ParcelDrawing Moisten(Parcel& parcel);  // a cloud once the humidity reaches 100
ParcelDrawing Dry(Parcel& parcel);      // always an outline

// The season presets put the parcel back at the foot of the mountain with their weather.
struct SeasonWeather {
    double Kion;
    double Situdo;
};
inline constexpr SeasonWeather kSpring{20, 70};
inline constexpr SeasonWeather kRainySeason{25, 90};
inline constexpr SeasonWeather kSummer{32, 80};
inline constexpr SeasonWeather kAutumn{15, 65};
inline constexpr SeasonWeather kWinter{0, 50};
void ApplySeason(Parcel& parcel, SeasonWeather weather);

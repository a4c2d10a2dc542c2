#pragma once
// The cloud-making simulator without its widgets: the instructions written when it opens, the season
// presets with their sentences, and the rules of simulator/physics run on the program's state.

#include <span>
#include <string_view>
#include <type_traits>

#include "simulator/physics.h"
#include "stage/module1.h"
#include "stage/stepplayer.h"

class Canvas;

// Six instruction lines, one per step, each staying until the last step wipes them all.
std::span<const Action> TukuruInstructions();
inline constexpr int kInstructionsDone = 7;  // the step that wipes the instructions and stops the timer
inline constexpr int kOpeningIntervalMs = 100;

struct Season {
    SeasonWeather weather;
    std::string_view sentence;  // UTF-8, written at the foot of the canvas
};
inline constexpr Season kHaru{kSpring, "ここちよい春の日の天気です"};
inline constexpr Season kTuyu{kRainySeason, "湿っぽいつゆの日の天気です"};
inline constexpr Season kNatu{kSummer, "とっても暑い夏の日です"};
inline constexpr Season kAki{kAutumn, "空が高い、秋の日の天気です"};
inline constexpr Season kHuyu{kWinter, "寒く乾燥した冬の天気です"};

Parcel ParcelOf(const Module1& state);
void StoreParcel(Module1& state, const Parcel& parcel);

// Runs one rule of simulator/physics on the state's parcel and hands back its result, if any.
template <typename Rule>
auto ChangeParcel(Module1& state, Rule rule) {
    Parcel parcel = ParcelOf(state);
    if constexpr (std::is_void_v<std::invoke_result_t<Rule, Parcel&>>) {
        rule(parcel);
        StoreParcel(state, parcel);
    } else {
        const auto result = rule(parcel);
        StoreParcel(state, parcel);
        return result;
    }
}

// Puts the parcel back at the foot of the mountain with the season's weather and draws it there with
// the season's sentence.
void ApplySeason(Module1& state, Canvas& canvas, const Season& season);
void DrawParcel(Canvas& canvas, double takasa, ParcelDrawing drawing);

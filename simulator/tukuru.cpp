#include "simulator/tukuru.h"

#include <QString>

#include "draw/text.h"
#include "simulator/parcel.h"

namespace {

using namespace act;

constexpr int kWhite = 15, kBlack = 0;
constexpr int kInstructionSize = 26;

constexpr Action kInstructions[] = {
    interval(1, 400),
    plain(1, "　気温、湿度の「↑、↓」を", 20, 20, kWhite, kInstructionSize),
    plain(2, "クリックして気温と湿度を", 20, 60, kWhite, kInstructionSize),
    plain(3, "決定して下さい。", 20, 100, kWhite, kInstructionSize),
    interval(4, 1000),
    plain(4, "　高度の「↑、↓」をクリック", 20, 140, kWhite, kInstructionSize),
    plain(5, "すると、雲ができるか", 20, 180, kWhite, kInstructionSize),
    plain(6, "シミュレーションできます。", 20, 220, kWhite, kInstructionSize),
    interval(6, 4000),
};

}  // namespace

std::span<const Action> TukuruInstructions() { return kInstructions; }

Parcel ParcelOf(const Module1& state) { return {state.Kion, state.Situdo, state.Takasa}; }

void StoreParcel(Module1& state, const Parcel& parcel) {
    state.Kion = parcel.Kion;
    state.Situdo = parcel.Situdo;
    state.Takasa = parcel.Takasa;
}

void ApplySeason(Module1& state, Canvas& canvas, const Season& season) {
    ChangeParcel(state, [&season](Parcel& p) { ApplySeason(p, season.weather); });
    DrawParcelOutline(canvas, state.Takasa);
    DrawBoxedText(canvas, Utf8(season.sentence), 80, 360, kBlack, 24, kWhite);
}

void DrawParcel(Canvas& canvas, double takasa, ParcelDrawing drawing) {
    switch (drawing) {
    case ParcelDrawing::Nothing: break;
    case ParcelDrawing::Outline: DrawParcelOutline(canvas, takasa); break;
    case ParcelDrawing::Cloud: DrawParcelCloud(canvas, takasa); break;
    }
}

// The cloud-making simulator: opening and closing, the instructions, and the panel's buttons. The
// handlers only move the parcel's values between the form and the rules of simulator/physics and
// draw what those rules ask for.
#include <QString>
#include <string_view>
#include <type_traits>

#include "app/riloform.h"
#include "draw/text.h"
#include "lessons/stepplayer.h"
#include "simulator/parcel.h"
#include "simulator/physics.h"
#include "simulator/readout.h"

namespace {

using namespace act;

constexpr int kWhite = 15, kBlack = 0;
constexpr int kInstructionSize = 26;

// Six lines, one per step, each staying until the last step wipes them all.
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
constexpr int kInstructionsDone = 7;

constexpr int kOpeningIntervalMs = 100;

Parcel parcelOf(const Module1& state) { return {state.Kion, state.Situdo, state.Takasa}; }

void store(Module1& state, const Parcel& parcel) {
    state.Kion = parcel.Kion;
    state.Situdo = parcel.Situdo;
    state.Takasa = parcel.Takasa;
}

// Runs one rule of simulator/physics on the form's values and hands back its result, if any.
template <typename Rule>
auto change(Module1& state, Rule rule) {
    Parcel parcel = parcelOf(state);
    if constexpr (std::is_void_v<std::invoke_result_t<Rule, Parcel&>>) {
        rule(parcel);
        store(state, parcel);
    } else {
        const auto result = rule(parcel);
        store(state, parcel);
        return result;
    }
}

void drawParcel(RiloForm& form, ParcelDrawing drawing) {
    switch (drawing) {
    case ParcelDrawing::Nothing: break;
    case ParcelDrawing::Outline: form.DrawAirParcel(); break;
    case ParcelDrawing::Cloud: form.DrawCloudParcel(); break;
    }
}

void changeTemperature(RiloForm& form, void (*rule)(Parcel&)) {
    change(form.state, rule);
    form.TKionLbl->setText(KionCaption(form.state.Kion));
}

void changeHumidity(RiloForm& form, ParcelDrawing (*rule)(Parcel&)) {
    drawParcel(form, change(form.state, rule));
    form.TSitudoLbl->setText(SitudoCaption(form.state.Situdo));
}

void changeAltitude(RiloForm& form, ParcelDrawing (*rule)(Parcel&)) {
    const ParcelDrawing drawing = change(form.state, rule);
    if (drawing == ParcelDrawing::Nothing) return;  // already at the top or the foot
    drawParcel(form, drawing);
    form.ShowWeather();
}

void applySeason(RiloForm& form, SeasonWeather weather, std::string_view sentence) {
    change(form.state, [weather](Parcel& p) { ApplySeason(p, weather); });
    form.DrawAirParcel();
    DrawBoxedText(form.canvas, QString::fromUtf8(sentence.data(), qsizetype(sentence.size())), 80, 360, kBlack, 24,
                  kWhite);
    form.ShowWeather();
}

}  // namespace

void RiloForm::TukuruCmd_Click() {
    HideMenu();
    DrawMountainTown();
    canvas.selectOverlay();
    state.StepCount = 0;
    state.SceneMode = kSceneTukuru;
    Timer1().setEnabled(false);
    store(state, kOpeningParcel);
    TFrame->show();
    DrawAirParcel();
    ShowWeather();
    Timer1().setInterval(kOpeningIntervalMs);
    Timer1().setEnabled(true);
}

// The last step wipes the instructions and redraws the parcel as its values say: a parcel the pupil
// has already saturated during the instructions stays a cloud.
void RiloForm::TukuruStep() {
    StepContext context{canvas, Timer1(), state, {}};
    PlayStep(kInstructions, state.StepCount, context);
    if (state.StepCount != kInstructionsDone) return;
    canvas.refresh();
    drawParcel(*this, DrawingFor(parcelOf(state)));
    Timer1().setEnabled(false);
}

void RiloForm::TModoru_Click() {
    TFrame->hide();
    DrawTown();
    StartTitle();  // takes the timer over from the instructions
}

void RiloForm::TKionUpCmd_Click() { changeTemperature(*this, WarmParcel); }
void RiloForm::TKionDnCmd_Click() { changeTemperature(*this, CoolParcel); }
void RiloForm::TSitudoUpCmd_Click() { changeHumidity(*this, Moisten); }
void RiloForm::TSitudoDnCmd_Click() { changeHumidity(*this, Dry); }

void RiloForm::THaruCmd_Click() { applySeason(*this, kSpring, "ここちよい春の日の天気です"); }
void RiloForm::TTuyuCmd_Click() { applySeason(*this, kRainySeason, "湿っぽいつゆの日の天気です"); }
void RiloForm::TNatuCmd_Click() { applySeason(*this, kSummer, "とっても暑い夏の日です"); }
void RiloForm::TAkiCmd_Click() { applySeason(*this, kAutumn, "空が高い、秋の日の天気です"); }
void RiloForm::THuyuCmd_Click() { applySeason(*this, kWinter, "寒く乾燥した冬の天気です"); }

void RiloForm::TTakasaUpCmd_Click() { changeAltitude(*this, RaiseParcel); }
void RiloForm::TTakasaDnCmd_Click() { changeAltitude(*this, LowerParcel); }

void RiloForm::ShowWeather() {
    TKionLbl->setText(KionCaption(state.Kion));
    TSitudoLbl->setText(SitudoCaption(state.Situdo));
    TTakasaLbl->setText(TakasaCaption(state.Takasa));
}

void RiloForm::DrawAirParcel() { DrawParcelOutline(canvas, state.Takasa); }
void RiloForm::DrawCloudParcel() { DrawParcelCloud(canvas, state.Takasa); }

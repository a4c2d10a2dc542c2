// The cloud-making simulator's handlers: opening and closing, the instructions, and the panel's
// buttons. They move the parcel's values through simulator/ and show what it says.
#include "app/accessibility.h"
#include "app/canvaswidget.h"
#include "app/chartwindow.h"
#include "app/readaloud.h"
#include "app/riloform.h"
#include "app/scenecontrols.h"
#include "simulator/parcel.h"
#include "simulator/readout.h"
#include "simulator/tukuru.h"

void RiloForm::TukuruCmd_Click() {
    leaveMenuFrom(TukuruCmd);
    HideMenu();
    DrawMountainTown();
    canvas.selectOverlay();
    state.StepCount = 0;
    state.SceneMode = kSceneTukuru;
    narration_->activityStarted(kSceneTukuru);
    Timer1().setEnabled(false);
    StoreParcel(state, kOpeningParcel);
    TFrame->show();
    TKionUpCmd->setFocus();
    DrawAirParcel();
    ShowWeather();
    chart_->simulatorOpened(ParcelOf(state));
    Timer1().setInterval(kOpeningIntervalMs);
    Timer1().setEnabled(true);
    scenes().update();
    readAloud_->startAfresh();
}

// The last step wipes the instructions and redraws the parcel as its values say: a parcel the pupil
// has already saturated during the instructions stays a cloud.
void RiloForm::TukuruStep() {
    StepContext context{canvas, Timer1(), state, {}};
    PlayStep(TukuruInstructions(), state.StepCount, context);
    if (state.StepCount != kInstructionsDone) return;
    canvas.refresh();
    showParcel(DrawingFor(ParcelOf(state)));
    Timer1().setEnabled(false);
}

void RiloForm::TModoru_Click() {
    chart_->simulatorClosed();
    Picture1->setFocus();
    TFrame->hide();
    DrawTown();
    StartTitle();  // takes the timer over from the instructions
}

void RiloForm::TKionUpCmd_Click() { changeTemperature(WarmParcel); }
void RiloForm::TKionDnCmd_Click() { changeTemperature(CoolParcel); }
void RiloForm::TSitudoUpCmd_Click() { changeHumidity(Moisten); }
void RiloForm::TSitudoDnCmd_Click() { changeHumidity(Dry); }

void RiloForm::THaruCmd_Click() { applySeason(kHaru); }
void RiloForm::TTuyuCmd_Click() { applySeason(kTuyu); }
void RiloForm::TNatuCmd_Click() { applySeason(kNatu); }
void RiloForm::TAkiCmd_Click() { applySeason(kAki); }
void RiloForm::THuyuCmd_Click() { applySeason(kHuyu); }

void RiloForm::TTakasaUpCmd_Click() { changeAltitude(RaiseParcel); }
void RiloForm::TTakasaDnCmd_Click() { changeAltitude(LowerParcel); }

void RiloForm::ShowWeather() {
    TKionLbl->setText(KionCaption(state.Kion));
    TSitudoLbl->setText(SitudoCaption(state.Situdo));
    TTakasaLbl->setText(TakasaCaption(state.Takasa));
    describeReadouts();
}

void RiloForm::describeReadouts() {
    DescribeArrows(TKionLbl, TKionUpCmd, TKionDnCmd);
    DescribeArrows(TSitudoLbl, TSitudoUpCmd, TSitudoDnCmd);
    DescribeArrows(TTakasaLbl, TTakasaUpCmd, TTakasaDnCmd);
}

void RiloForm::showParcel(ParcelDrawing drawing) {
    if (drawing == ParcelDrawing::Nothing) return;
    DrawParcel(canvas, state.Takasa, drawing);
    narration_->parcelDrawn(drawing == ParcelDrawing::Cloud);
}

// What a button has just changed, said: its read-out, and the news of the cloud if the parcel was
// drawn anew and has just become a cloud or stopped being one.
void RiloForm::sayChange(const QLabel* readout, ParcelDrawing drawing) {
    QStringList words{readout->text()};
    if (drawing != ParcelDrawing::Nothing && !narration_->parcelNews().isEmpty()) words << narration_->parcelNews();
    readAloud_->sayWords(words);
}

void RiloForm::DrawAirParcel() { DrawParcelOutline(canvas, state.Takasa); }
void RiloForm::DrawCloudParcel() { DrawParcelCloud(canvas, state.Takasa); }

void RiloForm::changeTemperature(void (*rule)(Parcel&)) {
    ChangeParcel(state, rule);
    TKionLbl->setText(KionCaption(state.Kion));
    describeReadouts();
    chart_->parcelSet(ParcelOf(state));
    sayChange(TKionLbl, ParcelDrawing::Nothing);
}

void RiloForm::changeHumidity(ParcelDrawing (*rule)(Parcel&)) {
    const ParcelDrawing drawing = ChangeParcel(state, rule);
    showParcel(drawing);
    TSitudoLbl->setText(SitudoCaption(state.Situdo));
    describeReadouts();
    chart_->parcelSet(ParcelOf(state));
    sayChange(TSitudoLbl, drawing);
}

void RiloForm::changeAltitude(ParcelDrawing (*rule)(Parcel&)) {
    const ParcelDrawing drawing = ChangeParcel(state, rule);
    if (drawing == ParcelDrawing::Nothing) return;  // already at the top or the foot
    showParcel(drawing);
    ShowWeather();
    chart_->parcelStepped(ParcelOf(state));
    sayChange(TTakasaLbl, drawing);
}

void RiloForm::applySeason(const Season& season) {
    ApplySeason(state, canvas, season);
    narration_->parcelDrawn(false);
    ShowWeather();
    chart_->parcelSet(ParcelOf(state));
    readAloud_->canvasChanged();  // the season's sentence
}

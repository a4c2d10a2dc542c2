#include "app/riloform.h"

#include <QFontMetricsF>
#include <QMessageBox>

#include "app/accessibility.h"
#include "app/canvaswidget.h"
#include "app/chartwindow.h"
#include "app/focus.h"
#include "app/panelframe.h"
#include "app/readaloud.h"
#include "app/rubycontrols.h"
#include "app/rubywidgets.h"
#include "app/scenecontrols.h"
#include "app/viewcontrols.h"
#include "draw/backdrops.h"
#include "draw/fonts.h"
#include "draw/pictures.h"
#include "lessons/lessons.h"
#include "lessons/title.h"

namespace {

const QString kTitle = QStringLiteral("ペルモラ");
QPushButton* button(QWidget* parent, const QString& caption, QRect geometry, double points) {
    auto* b = new FocusButton(caption, parent);
    b->setGeometry(geometry);
    b->setFont(japaneseGothic(points, true));
    b->setAutoDefault(false);
    return b;
}

QLabel* readout(QWidget* parent, const QString& caption, QRect geometry) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(geometry);
    l->setFont(japaneseGothic(14.25, true));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QGroupBox* frame(QWidget* parent, const QString& caption, QRect geometry, QFont font) {
    auto* f = new PanelFrame(caption, parent);
    f->setGeometry(geometry);
    f->setFont(font);
    return f;
}

// The question's words under the ruby the window shows: the label is given the room above.
void showRubyOnQuestion(QMessageBox& box, QWidget* parent) {
    auto* form = dynamic_cast<RiloForm*>(parent);
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!form || !label) return;
    RubyPainter* painter = &form->ruby().painter();
    if (painter->choice().mode == RubyMode::None) return;
    label->setContentsMargins(0, int(std::ceil(QFontMetricsF(RubyFont(label->font())).ascent())), 0, 0);
    painter->watch(label);
}

}  // namespace

std::unique_ptr<QMessageBox> MakeQuitQuestion(QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, kTitle, QStringLiteral("本当に終了してよいですか？"),
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box->button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
    showRubyOnQuestion(*box, parent);
    return box;
}

// Opened, not executed: the answer arrives through `finished`, on every platform alike.
void askQuitWithMessageBox(QWidget* parent, QuitAnswer answered) {
    QMessageBox* box = MakeQuitQuestion(parent).release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, box, [answered = std::move(answered)](int button) {
        answered(button == QMessageBox::Yes ? kAnswerYes : kAnswerNo);
    });
    box->open();
    box->defaultButton()->setFocus();  // はい, also where the window system focuses the dialog late (a web page)
}

RiloForm::RiloForm(std::unique_ptr<StepTimer> timer, QuitQuestion askQuit)
    : timer_(std::move(timer)), askQuit_(std::move(askQuit)) {
    InstallAccessibleRoles();  // before any widget exists, so that no interface is made without it
    setWindowTitle(kTitle);
    setWindowIcon(ProgramIcon());
    setFixedSize(643, 404);
    setFont(japaneseGothic(9, false));

    // Created back to front: the canvas lowest, the panel on top.
    Picture1 = new CanvasWidget(canvas, this);
    Picture1->move(0, 0);
    Picture1->clicked = [this] { Picture1_Click(); };
    createMenu();
    createPanel();
    setTabOrder();
    setAccessibleNames();

    timer_->onTick = [this] { Timer1_Timer(); };
    timer_->setInterval(120);
    timer_->setEnabled(true);  // as designed; start-up stops it before the first tick
    view_ = new ViewControls(*this, *Picture1, *timer_);
    chart_ = new ChartControls(*this, *TFrame, *view_);
    scenes_ = new SceneControls(*this);
    ruby_ = new RubyControls(*this, *view_);
    readAloud_ = new ReadAloud(*this, *view_, *timer_);
    view_->lessonEntries = {scenes_->previousSceneAction, scenes_->nextSceneAction, scenes_->restartLessonAction};
    Picture1->enterPressed = [this] {
        if (!scenes_->finishTitle()) Picture1_Click();
    };
    new KeyboardCues(this);  // after every widget exists, the full-screen margin too
}

RiloForm::~RiloForm() {
    timer_->onTick = nullptr;
    qDeleteAll(findChildren<QMessageBox*>());  // a question still open must not answer a window being destroyed
}

void RiloForm::createMenu() {
    TukuruCmd = button(this, QStringLiteral("雲をつくってみよう"), {256, 280, 225, 41}, 14.25);
    YamaCmd = button(this, QStringLiteral("山のペルモラ"), {16, 280, 225, 41}, 14.25);
    DekikataCmd = button(this, QStringLiteral("ペルモラの説明"), {16, 224, 225, 41}, 14.25);
    ZensenCmd = button(this, QStringLiteral("前線のペルモラ"), {256, 224, 225, 41}, 14.25);
    SyuuryouCmd = button(this, QStringLiteral("終了"), {496, 280, 129, 41}, 14.25);
    connect(DekikataCmd, &QPushButton::clicked, this, [this] { DekikataCmd_Click(); });
    connect(TukuruCmd, &QPushButton::clicked, this, [this] { TukuruCmd_Click(); });
    connect(YamaCmd, &QPushButton::clicked, this, [this] { YamaCmd_Click(); });
    connect(ZensenCmd, &QPushButton::clicked, this, [this] { ZensenCmd_Click(); });
    connect(SyuuryouCmd, &QPushButton::clicked, this, [this] { SyuuryouCmd_Click(); });
}

void RiloForm::createPanel() {
    TFrame = frame(this, QStringLiteral("雲をつくってみよう"), {440, 40, 193, 321}, japaneseGothic(12, false));
    TModoru = button(TFrame, QStringLiteral("もどる"), {104, 280, 81, 33}, 12);
    TKisetuFrm = frame(TFrame, QStringLiteral("季節の気温と湿度の例"), {8, 192, 177, 81}, font());
    THuyuCmd = button(TKisetuFrm, QStringLiteral("冬"), {64, 48, 41, 25}, 12);
    TAkiCmd = button(TKisetuFrm, QStringLiteral("秋"), {8, 48, 41, 25}, 12);
    TNatuCmd = button(TKisetuFrm, QStringLiteral("夏"), {120, 16, 41, 25}, 12);
    TTuyuCmd = button(TKisetuFrm, QStringLiteral("つゆ"), {56, 16, 57, 25}, 12);
    THaruCmd = button(TKisetuFrm, QStringLiteral("春"), {8, 16, 41, 25}, 12);
    TKionLbl = readout(TFrame, QStringLiteral("気温"), {8, 32, 129, 33});
    TKionUpCmd = button(TFrame, QStringLiteral("↑"), {144, 16, 41, 25}, 14.25);
    TKionDnCmd = button(TFrame, QStringLiteral("↓"), {144, 40, 41, 25}, 14.25);
    TSitudoLbl = readout(TFrame, QStringLiteral("湿度"), {8, 88, 129, 33});
    TSitudoUpCmd = button(TFrame, QStringLiteral("↑"), {144, 72, 41, 25}, 14.25);
    TSitudoDnCmd = button(TFrame, QStringLiteral("↓"), {144, 96, 41, 25}, 14.25);
    TTakasaLbl = readout(TFrame, QStringLiteral("高度"), {8, 144, 129, 41});
    TTakasaUpCmd = button(TFrame, QStringLiteral("↑"), {144, 128, 41, 25}, 14.25);
    TTakasaDnCmd = button(TFrame, QStringLiteral("↓"), {144, 152, 41, 25}, 14.25);

    const std::pair<QPushButton*, void (RiloForm::*)()> handlers[] = {
        {TModoru, &RiloForm::TModoru_Click},           {THuyuCmd, &RiloForm::THuyuCmd_Click},
        {TAkiCmd, &RiloForm::TAkiCmd_Click},           {TNatuCmd, &RiloForm::TNatuCmd_Click},
        {TTuyuCmd, &RiloForm::TTuyuCmd_Click},         {THaruCmd, &RiloForm::THaruCmd_Click},
        {TKionUpCmd, &RiloForm::TKionUpCmd_Click},     {TKionDnCmd, &RiloForm::TKionDnCmd_Click},
        {TSitudoUpCmd, &RiloForm::TSitudoUpCmd_Click}, {TSitudoDnCmd, &RiloForm::TSitudoDnCmd_Click},
        {TTakasaUpCmd, &RiloForm::TTakasaUpCmd_Click}, {TTakasaDnCmd, &RiloForm::TTakasaDnCmd_Click},
    };
    for (const auto& [control, handler] : handlers)
        connect(control, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
}

void RiloForm::setTabOrder() {
    const QWidget* order[] = {Picture1,   DekikataCmd, TukuruCmd, YamaCmd,      ZensenCmd,    SyuuryouCmd,
                              TModoru,    THuyuCmd,    TAkiCmd,   TNatuCmd,     TTuyuCmd,     THaruCmd,
                              TKionUpCmd, TKionDnCmd,  TSitudoUpCmd, TSitudoDnCmd, TTakasaUpCmd, TTakasaDnCmd};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

// The arrows alone say nothing to a screen reader.
void RiloForm::setAccessibleNames() {
    narration_ = new CanvasNarration(Picture1, canvas);
    TKisetuFrm->setAccessibleName(TKisetuFrm->title());
    const std::pair<QPushButton*, const char*> names[] = {
        {TKionUpCmd, "気温を上げる"},   {TKionDnCmd, "気温を下げる"},   {TSitudoUpCmd, "湿度を上げる"},
        {TSitudoDnCmd, "湿度を下げる"}, {TTakasaUpCmd, "高度を上げる"}, {TTakasaDnCmd, "高度を下げる"},
    };
    for (const auto& [control, name] : names) control->setAccessibleName(QString::fromUtf8(name));
    describeReadouts();
}

void RiloForm::leaveMenuFrom(QPushButton* starter) {
    lastStarter_ = starter;
    Picture1->setFocus();
}

void RiloForm::focusMenu() { (lastStarter_ ? lastStarter_ : DekikataCmd)->setFocus(); }

// ---- scene control ----

void RiloForm::Form_Load() {
    showNormal();  // a plain show() would fill a browser page with the window
    timer_->setEnabled(false);
    TFrame->hide();
    InitFlags();
    DrawTown();
    StartTitle();
}

void RiloForm::InitFlags() { state.IntroState = 1; }

void RiloForm::StartTitle() {
    state.StepCount = 0;
    state.SceneMode = kSceneTitle;
    narration_->activityStarted(kSceneTitle);
    if (state.IntroState == 1) {
        timer_->setInterval(500);
        state.IntroState = 2;
    } else {
        timer_->setInterval(100);
    }
    timer_->setEnabled(true);
    scenes_->update();
    readAloud_->startAfresh();
}

void RiloForm::ShowMenu() {
    for (QPushButton* b : {YamaCmd, TukuruCmd, DekikataCmd, ZensenCmd, SyuuryouCmd}) b->show();
}

void RiloForm::HideMenu() {
    for (QPushButton* b : {YamaCmd, TukuruCmd, DekikataCmd, ZensenCmd, SyuuryouCmd}) b->hide();
}

void RiloForm::Timer1_Timer() {
    state.StepCount += 1;
    switch (state.SceneMode) {
    case kSceneTitle: TitleStep(); break;
    case kSceneDekikata: DekikataStep(); break;
    case kSceneYama: YamaStep(); break;
    case kSceneZensen: ZensenStep(); break;
    case kSceneTukuru: TukuruStep(); break;
    default: break;
    }
    scenes_->update();
    readAloud_->canvasChanged();
}

void RiloForm::Picture1_Click() {
    if (state.WaitClick != kWaiting) return;
    DrawTown();
    StartTitle();
    state.WaitClick = 0;
}

void RiloForm::SyuuryouCmd_Click() {
    askQuit_(this, [this](int answer) {
        state.IntroState = answer;
        if (answer == kAnswerYes) close();
    });
}

void RiloForm::DrawTown() {
    HideMenu();
    PaintTownBackdrop(canvas);
}

void RiloForm::DrawMountainTown() {
    HideMenu();
    PaintMountainBackdrop(canvas);
}

// ---- title and lessons ----

void RiloForm::TitleStep() {
    StepContext context{canvas, *timer_, state, [this] {
                            ShowMenu();
                            focusMenu();
                        }};
    PlayStep(TitleSteps(), state.StepCount, context);
}

void RiloForm::startLesson(const Lesson& lesson) {
    HideMenu();
    narration_->activityStarted(lesson.sceneMode);
    prepareCanvasFor(lesson);
    state.StepCount = 0;
    state.SceneMode = lesson.sceneMode;
    timer_->setInterval(lesson.firstIntervalMs);
    timer_->setEnabled(true);
    scenes_->update();
    readAloud_->startAfresh();
}

void RiloForm::prepareCanvasFor(const Lesson& lesson) {
    if (lesson.mountainBackdrop)
        DrawMountainTown();
    else
        canvas.refresh();
    if (lesson.layer == Canvas::Layer::Persistent)
        canvas.selectPersistent();
    else
        canvas.selectOverlay();
    if (lesson.boldOff) canvas.setBold(false);
}

// Nothing in a lesson depends on an input, so replaying its steps from the start is exact.
void RiloForm::JumpToStep(const Lesson& lesson, int step) {
    if (!lesson.mountainBackdrop) DrawTown();  // the town as the lesson found it
    prepareCanvasFor(lesson);
    state.WaitClick = 0;
    const AfterSteps after = PlayStepsAtOnce(lesson.steps, 1, step, lesson.firstIntervalMs, canvas, state);
    if (after.timerOn)
        timer_->restartCountdown(after.intervalMs);
    else
        timer_->setEnabled(false);
    readAloud_->startAfresh();
}

// Tick by tick, as the timer would: the instructions' last step is code, not table.
void RiloForm::FinishAnimation() {
    constexpr int kMoreStepsThanAny = 100;
    const int mode = state.SceneMode;
    for (int i = 0; i < kMoreStepsThanAny && timer_->isEnabled() && state.SceneMode == mode; ++i) Timer1_Timer();
}

void RiloForm::DekikataCmd_Click() {
    leaveMenuFrom(DekikataCmd);
    startLesson(DekikataLesson());
}

void RiloForm::YamaCmd_Click() {
    leaveMenuFrom(YamaCmd);
    startLesson(YamaLesson());
}

void RiloForm::ZensenCmd_Click() {
    leaveMenuFrom(ZensenCmd);
    startLesson(ZensenLesson());
}

void RiloForm::playLessonStep(const Lesson& lesson) {
    StepContext context{canvas, *timer_, state, {}};
    PlayStep(lesson.steps, state.StepCount, context);
}

void RiloForm::DekikataStep() { playLessonStep(DekikataLesson()); }
void RiloForm::YamaStep() { playLessonStep(YamaLesson()); }
void RiloForm::ZensenStep() { playLessonStep(ZensenLesson()); }

#include "app/rubycontrols.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "app/riloform.h"
#include "app/rubywidgets.h"
#include "app/viewcontrols.h"

namespace {

const QString kRubyMark = QStringLiteral("（ふりがな）");

struct ModeEntry {
    RubyMode mode;
    const char* text;
};
constexpr ModeEntry kModes[] = {{RubyMode::None, "なし"}, {RubyMode::ByGrade, "学年"}, {RubyMode::All, "すべて"}};

}  // namespace

RubyControls::RubyControls(RiloForm& form, ViewControls& view) : QObject(&form), form_(form), view_(view) {
    painter_ = new RubyPainter(&form);
    for (QWidget* w : std::initializer_list<QWidget*>{
             form.DekikataCmd, form.TukuruCmd, form.YamaCmd, form.ZensenCmd, form.SyuuryouCmd, form.TFrame,
             form.TModoru, form.TKisetuFrm, form.THuyuCmd, form.TAkiCmd, form.TNatuCmd, form.TTuyuCmd, form.THaruCmd,
             form.TKionLbl, form.TSitudoLbl, form.TTakasaLbl})
        painter_->watch(w);

    // The caption's band and the seasons' rows are a ruby line taller; all below moves down.
    constexpr int kBand = 12;
    const auto below = [](QWidget* w, int dy) { return Placement{w, w->geometry(), w->geometry().translated(0, dy)}; };
    placements_ = {
        {form.TFrame, form.TFrame->geometry(), {440, 2, 193, 359}},  // ending where it always has
        below(form.TKionLbl, kBand), below(form.TKionUpCmd, kBand), below(form.TKionDnCmd, kBand),
        below(form.TSitudoLbl, kBand), below(form.TSitudoUpCmd, kBand), below(form.TSitudoDnCmd, kBand),
        below(form.TTakasaLbl, kBand), below(form.TTakasaUpCmd, kBand), below(form.TTakasaDnCmd, kBand),
        {form.TKisetuFrm, form.TKisetuFrm->geometry(), {8, 204, 177, 108}},
        {form.THaruCmd, form.THaruCmd->geometry(), {8, 27, 41, 35}},
        {form.TTuyuCmd, form.TTuyuCmd->geometry(), {56, 27, 57, 35}},
        {form.TNatuCmd, form.TNatuCmd->geometry(), {120, 27, 41, 35}},
        {form.TAkiCmd, form.TAkiCmd->geometry(), {8, 66, 41, 35}},
        {form.THuyuCmd, form.THuyuCmd->geometry(), {64, 66, 41, 35}},
        {form.TModoru, form.TModoru->geometry(), {104, 316, 81, 35}},
    };

    rubyAction = new QAction(QStringLiteral("ふりがな"), this);
    rubyAction->setObjectName(QStringLiteral("ruby"));
    rubyAction->setCheckable(true);
    rubyAction->setShortcut(Qt::Key_F);
    rubyAction->setShortcutContext(Qt::WindowShortcut);
    connect(rubyAction, &QAction::triggered, this, [this] { cycle(); });
    form.addAction(rubyAction);
    createMenu();
    view.addMenuEntry(menu->menuAction());

    auto zoomed = view.zoomChanged;
    view.zoomChanged = [this, zoomed] {
        if (zoomed) zoomed();
        painter_->setZoom(view_.zoom());
    };
}

void RubyControls::createMenu() {
    menu = new QMenu(QStringLiteral("ふりがな"), &form_);
    modes_ = new QActionGroup(this);
    for (const ModeEntry& entry : kModes) {
        QAction* a = menu->addAction(QString::fromUtf8(entry.text));
        a->setCheckable(true);
        a->setChecked(entry.mode == choice_.mode);
        modes_->addAction(a);
        connect(a, &QAction::triggered, this, [this, mode = entry.mode] { setChoice({mode, choice_.grade}); });
    }
    menu->addSection(QStringLiteral("習った学年"));
    grades_ = new QActionGroup(this);
    for (int grade = 1; grade <= 6; ++grade) {
        QAction* a = menu->addAction(QStringLiteral("%1年生").arg(grade));
        a->setCheckable(true);
        a->setChecked(grade == choice_.grade);
        grades_->addAction(a);
        connect(a, &QAction::triggered, this, [this, grade] { setChoice({RubyMode::ByGrade, grade}); });
    }
}

void RubyControls::cycle() {
    const RubyMode next = choice_.mode == RubyMode::None      ? RubyMode::ByGrade
                          : choice_.mode == RubyMode::ByGrade ? RubyMode::All
                                                              : RubyMode::None;
    setChoice({next, choice_.grade});
}

void RubyControls::setChoice(RubyChoice choice) {
    const bool wasOn = choice_.mode != RubyMode::None;
    choice_ = choice;
    const bool on = choice.mode != RubyMode::None;
    if (on != wasOn) placePanel(on);
    form_.canvas.setRuby(choice);
    painter_->setChoice(choice);
    showChoice();
}

void RubyControls::placePanel(bool ruby) {
    for (const Placement& p : placements_) view_.placeControl(p.control, ruby ? p.withRuby : p.plain);
}

void RubyControls::showChoice() {
    const bool on = choice_.mode != RubyMode::None;
    rubyAction->setChecked(on);
    view_.setTitleMark(kRubyMark, on);
    for (int i = 0; i < int(std::size(kModes)); ++i) modes_->actions()[i]->setChecked(kModes[i].mode == choice_.mode);
    grades_->actions()[choice_.grade - 1]->setChecked(true);
}

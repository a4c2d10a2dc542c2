#include "platform/web/page.h"

#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QPointer>
#include <QScreen>

#include "app/accessibility.h"
#include "app/canvaswidget.h"
#include "app/chartwindow.h"
#include "app/riloform.h"
#include "app/viewcontrols.h"
#include "draw/fonts.h"

namespace {

const char kFontFile[] = "/perumora-gothic.ttf";  // written there by the page (web/page.js)

// The commands the page's toolbar offers, by the name of the window's action behind each.
const char* const kPageCommands[] = {"previousScene", "nextScene", "slowMotion", "chart"};

QPointer<RiloForm> theForm;

emscripten::val page() { return emscripten::val::global("perumoraPage"); }

void tellPage(const char* what, const emscripten::val& argument) {
    emscripten::val p = page();
    if (!p.isUndefined() && !p[what].isUndefined()) p.call<void>(what, argument);
}

emscripten::val stateOf(const QString& name, const QAction& action) {
    emscripten::val state = emscripten::val::object();
    state.set("name", name.toStdString());
    state.set("enabled", action.isEnabled() && action.isVisible());
    state.set("checked", action.isChecked());
    state.set("text", action.text().toStdString());
    return state;
}

QAction* pageAction(const QString& name) {
    if (!theForm) return nullptr;
    if (name == QLatin1String("pause")) return theForm->view().pauseAction;
    for (QAction* action : theForm->findChildren<QAction*>(name)) return action;
    return nullptr;
}

void mirror(const QString& name) {
    QAction* action = pageAction(name);
    if (!action) return;
    tellPage("commandChanged", stateOf(name, *action));
    QObject::connect(action, &QAction::changed, action, [name, action] {
        tellPage("commandChanged", stateOf(name, *action));
    });
}

// What a tap on a toolbar button asks; a name the window does not know does nothing.
void command(const std::string& name) {
    if (QAction* action = pageAction(QString::fromStdString(name)); action && action->isEnabled()) action->trigger();
}

// The page fits the window to the browser and offers the browser's own full screen: the window's
// zoom and full screen would only fight it.
void leaveSizingToThePage(ViewControls& view) {
    for (QAction* action : {view.zoomInAction, view.zoomOutAction, view.resetZoomAction, view.fullScreenAction})
        action->setVisible(false);
}

// はい to the quit question closes the window; a page cannot end itself, so it says so and offers
// to start again.
class EndOfProgram : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched == theForm.data()) {
            QMetaObject::invokeMethod(qApp, [] {
                if (theForm && !theForm->isVisible()) {
                    tellPage("ended", emscripten::val::undefined());
                    QApplication::quit();
                }
            }, Qt::QueuedConnection);
        }
        return false;
    }
};

// The page's program area is Qt's screen, exactly as large as the window: the window sits at its
// top left corner, wherever the page has placed the area.
void keepAtScreenOrigin(QWidget& form) {
    QScreen* screen = form.screen();
    if (!screen) return;
    form.move(screen->geometry().topLeft());
    QObject::connect(screen, &QScreen::geometryChanged, &form, [&form](const QRect& area) { form.move(area.topLeft()); });
}

// For the browser check, and only when the page asks for it: every tick of the animation timer
// with the step it performed and the interval now in force, on the page's clock.
void reportTicks(RiloForm& form) {
    emscripten::val p = page();
    if (p.isUndefined() || !p["wantsTicks"].as<bool>()) return;
    StepTimer& timer = form.Timer1();
    timer.onTick = [&form, &timer, tick = std::move(timer.onTick)] {
        tick();
        emscripten::val report = emscripten::val::object();
        report.set("at", emscripten_get_now());
        report.set("scene", form.state.SceneMode);
        report.set("step", form.state.StepCount);
        report.set("interval", timer.interval());
        report.set("running", timer.isEnabled());
        tellPage("ticked", report);
    };
}

// The page learns when the window has first been drawn (for its start-up figure).
class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, [] { tellPage("drawn", emscripten::val::undefined()); }, Qt::QueuedConnection);
        }
        return false;
    }
};

// While the chart is shown, the page's program area holds it too, beside the window: the chart is
// placed as if the area had room for it, and the page is told how large the area must now be.
constexpr QSize kChartRoom{440, 404};

emscripten::val programArea(RiloForm& form) {
    QRect area(form.pos(), form.size());
    if (ChartWindow* chart = form.chart().window(); chart && chart->isVisible()) area |= chart->frameGeometry();
    emscripten::val size = emscripten::val::object();
    size.set("width", area.right() - form.x() + 1);
    size.set("height", area.bottom() - form.y() + 1);
    return size;
}

void makeRoomForTheChart(RiloForm& form) {
    ChartControls& chart = form.chart();
    chart.availableArea = [&form] {
        return QRect(form.pos(), QSize(form.width() + kChartRoom.width(), std::max(form.height(), kChartRoom.height())));
    };
    QObject::connect(chart.action, &QAction::toggled, &form, [&form] {
        QMetaObject::invokeMethod(&form, [&form] { tellPage("programArea", programArea(form)); }, Qt::QueuedConnection);
    });
}

}  // namespace

void UseTravellingFont() {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFile));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) return;
    const QString& family = families.first();
    // The window asks for IPA Pゴシック by name: the face made from it answers to that name.
    for (const QString& name : {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")})
        if (name != family) QFont::insertSubstitution(name, family);
    for (QChar::Script script : {QChar::Script_Han, QChar::Script_Hiragana, QChar::Script_Katakana})
        QFontDatabase::addApplicationFallbackFontFamily(script, family);
    QApplication::setFont(japaneseGothic(9, false));  // the quit question and every standard dialog
}

void ConnectToPage(RiloForm& form) {
    theForm = &form;
    form.setWindowFlag(Qt::FramelessWindowHint);  // the page is its frame
    leaveSizingToThePage(form.view());
    mirror(QStringLiteral("pause"));
    for (const char* name : kPageCommands) mirror(QString::fromLatin1(name));
    form.narration().told = [](const QString& words) { tellPage("narrate", emscripten::val(words.toStdString())); };
    form.installEventFilter(new EndOfProgram(&form));
    keepAtScreenOrigin(form);
    makeRoomForTheChart(form);
    reportTicks(form);
    form.Picture1->installEventFilter(new FirstPaint(&form));
}

EMSCRIPTEN_BINDINGS(perumora_page) { emscripten::function("perumoraCommand", &command); }

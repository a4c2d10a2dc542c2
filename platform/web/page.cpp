#include "platform/web/page.h"

#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/heap.h>
#include <emscripten/val.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <qpa/qplatformwindow.h>
#include <qpa/qwindowsysteminterface.h>

#include "app/accessibility.h"
#include "app/canvaswidget.h"
#include "app/chartwindow.h"
#include "app/readaloud.h"
#include "app/riloform.h"
#include "app/viewcontrols.h"
#include "draw/fonts.h"
#include "platform/web/pagefit.h"
#include "platform/web/webspeech.h"

namespace {

const char kFontFile[] = "/perumora-gothic.ttf";  // written there by the page (web/page.js)

// The commands the page's toolbar offers, by the name of the window's action behind each.
const char* const kPageCommands[] = {"previousScene", "nextScene", "slowMotion", "chart", "ruby", "readAloud"};

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
    state.set("why", action.isEnabled() ? std::string() : action.toolTip().toStdString());
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

// The window fits itself to the page, and the page offers the browser's own full screen: the
// window's zoom commands and its full screen would only fight them.
void leaveSizingToThePage(ViewControls& view) {
    for (QAction* action : {view.zoomInAction, view.zoomOutAction, view.resetZoomAction, view.fitToScreenAction,
                            view.fullScreenAction})
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

// For the browser check, and only when the page asks for it: every tick of the animation timer
// with the step it performed and the interval now in force, when it began on the page's clock, how
// long its drawing took and how much memory the program then holds.
void reportTicks(RiloForm& form) {
    emscripten::val p = page();
    if (p.isUndefined() || !p["wantsTicks"].as<bool>()) return;
    StepTimer& timer = form.Timer1();
    timer.onTick = [&form, &timer, tick = std::move(timer.onTick)] {
        const double began = emscripten_get_now();
        tick();
        emscripten::val report = emscripten::val::object();
        report.set("at", began);
        report.set("took", emscripten_get_now() - began);
        report.set("scene", form.state.SceneMode);
        report.set("step", form.state.StepCount);
        report.set("interval", timer.interval());
        report.set("running", timer.isEnabled());
        report.set("heapBytes", double(emscripten_get_heap_size()));
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

// ---- the window fills the page ----
// The page's program area is Qt's screen, and Qt knows the browser's real device-pixel ratio: the
// window zooms itself to fill the area, drawn at the device's resolution, so that the browser has
// nothing to enlarge. While the chart is shown, the area holds it too, beside or below the window.

QSize shownChartFrame(RiloForm& form) {
    const ChartWindow* chart = form.chart().window();
    return chart && chart->isVisible() ? chart->frameGeometry().size() : QSize();
}

// Qt reads the browser's ratio when it makes a window and caches it; a new ratio (the browser's
// zoom, the window moved to another display) it learns here, and then draws every window anew.
void followTheRatio(const QScreen& screen) {
    using Delivery = QWindowSystemInterface::SynchronousDelivery;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        QPlatformWindow* shown = window->handle();
        if (!shown || window->devicePixelRatio() == screen.devicePixelRatio()) continue;
        QWindowSystemInterface::handleWindowDevicePixelRatioChanged<Delivery>(window);
        shown->setGeometry(shown->geometry());  // its canvas takes as many pixels as the new ratio gives
    }
}

void fitToThePage(RiloForm& form) {
    const QScreen* screen = form.screen();
    if (!screen) return;
    followTheRatio(*screen);
    form.view().fitToScreen();
    const QRect area = screen->geometry();
    form.move(area.topLeft() + pagefit::WindowOrigin(area.size(), form.size(), shownChartFrame(form),
                                                    screen->devicePixelRatio()));
    tellPage("fitted", emscripten::val(form.view().zoom()));
}

void fillThePage(RiloForm& form) {
    ViewControls& view = form.view();
    view.roomForClientArea = [&form] {
        const QScreen* screen = form.screen();
        return screen ? pagefit::RoomForTheWindow(screen->geometry().size(), shownChartFrame(form)) : form.size();
    };
    view.leastZoom = [&form] {
        const QScreen* screen = form.screen();
        return screen ? pagefit::LeastZoom(screen->devicePixelRatio()) : 1.0;
    };
    if (QScreen* screen = form.screen())
        QObject::connect(screen, &QScreen::geometryChanged, &form, [&form] { fitToThePage(form); });
    // Once the chart has its frame, or has gone.
    QObject::connect(form.chart().action, &QAction::toggled, &form, [&form] {
        QMetaObject::invokeMethod(&form, [&form] { fitToThePage(form); }, Qt::QueuedConnection);
    });
    fitToThePage(form);
}

// The page asks after a change that Qt may not see: a new device-pixel ratio, a new size of the area.
void fit() {
    if (theForm) fitToThePage(*theForm);
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
    form.readAloud().setEngine(MakeWebSpeech());
    form.installEventFilter(new EndOfProgram(&form));
    fillThePage(form);
    reportTicks(form);
    form.Picture1->installEventFilter(new FirstPaint(&form));
}

EMSCRIPTEN_BINDINGS(perumora_page) {
    emscripten::function("perumoraCommand", &command);
    emscripten::function("perumoraFit", &fit);
}

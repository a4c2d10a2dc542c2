#include "platform/web/page.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QPointer>

#include "app/accessibility.h"
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
}

EMSCRIPTEN_BINDINGS(perumora_page) { emscripten::function("perumoraCommand", &command); }

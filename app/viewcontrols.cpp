#include "app/viewcontrols.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "app/canvaswidget.h"
#include "app/zoom.h"
#include "stage/steptimer.h"

namespace {

const QString kPausedSuffix = QStringLiteral("（一時停止中）");
const QString kSlowSuffix = QStringLiteral("（ゆっくり）");

QSize screenRoomFor(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return zoom::kClientArea;
    const QSize frame = window.frameGeometry().size() - window.size();
    return screen->availableGeometry().size() - frame;
}

QFont ScaledFont(QFont font, double s) {
    if (font.pixelSize() > 0)
        font.setPixelSize(int(std::lround(font.pixelSize() * s)));
    else
        font.setPointSizeF(font.pointSizeF() * s);
    return font;
}

}  // namespace

ViewControls::ViewControls(QWidget& window, CanvasWidget& canvasView, StepTimer& timer)
    : QObject(&window),
      window_(window),
      canvasView_(canvasView),
      timer_(timer),
      title_(window.windowTitle()),
      font_(window.font()) {
    roomForClientArea = [this] { return screenRoomFor(window_); };
    leastZoom = [] { return double(zoom::kMin); };

    margin_ = new QWidget(&window_);
    margin_->setObjectName(QStringLiteral("fullScreenMargin"));
    margin_->setAutoFillBackground(true);
    QPalette black = margin_->palette();
    black.setColor(QPalette::Window, Qt::black);
    margin_->setPalette(black);
    margin_->hide();

    pauseAction = addAction(QStringLiteral("一時停止"), {Qt::Key_P, Qt::Key_Pause}, [this] { togglePause(); });
    pauseAction->setObjectName(QStringLiteral("pause"));
    slowMotionAction = addAction(QStringLiteral("ゆっくり"), {Qt::Key_S},
                                 [this] { setSlowMotion(slowMotionAction->isChecked()); });
    slowMotionAction->setObjectName(QStringLiteral("slowMotion"));
    slowMotionAction->setCheckable(true);
    fullScreenAction = addAction(QStringLiteral("全画面表示"), {Qt::Key_F11}, [this] { toggleFullScreen(); });
    // Ctrl + ";" is where "+" lies, unshifted, on a Japanese keyboard.
    zoomInAction = addAction(QStringLiteral("拡大"),
                             {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal, Qt::CTRL | Qt::Key_Semicolon},
                             [this] { zoomIn(); });
    zoomOutAction = addAction(QStringLiteral("縮小"), {Qt::CTRL | Qt::Key_Minus}, [this] { zoomOut(); });
    resetZoomAction = addAction(QStringLiteral("元の大きさ"), {Qt::CTRL | Qt::Key_0}, [this] { resetZoom(); });
    fitToScreenAction = addAction(QStringLiteral("画面に合わせる"), {Qt::CTRL | Qt::Key_9}, [this] { fitToScreen(); });
    leaveFullScreenAction_ = addAction(QString(), {Qt::Key_Escape}, [this] { leaveFullScreen(); });
    leaveFullScreenAction_->setEnabled(false);  // Escape is free outside full screen
    offerContextMenu();

    timer_.onPauseChanged = [this] { showPauseState(); };
    window_.installEventFilter(this);
}

QAction* ViewControls::addAction(const QString& text, std::initializer_list<QKeySequence> keys,
                                 std::function<void()> slot) {
    auto* action = new QAction(text, this);
    action->setShortcuts(QList<QKeySequence>(keys));
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, std::move(slot));
    window_.addAction(action);
    return action;
}

// ---- pause ----

void ViewControls::togglePause() {
    if (timer_.isPaused())
        timer_.resume();
    else
        timer_.pause();
}

bool ViewControls::isPaused() const { return timer_.isPaused(); }

void ViewControls::showPauseState() {
    const bool paused = timer_.isPaused();
    showTitle();
    canvasView_.setPauseMark(paused);
    pauseAction->setText(paused ? QStringLiteral("再開") : QStringLiteral("一時停止"));
}

// The speed is the lasting setting, so its word stays last, after a pause's.
void ViewControls::showTitle() {
    window_.setWindowTitle(title_ + (timer_.isPaused() ? kPausedSuffix : QString()) +
                           (timer_.slowMotion() ? kSlowSuffix : QString()) + titleMarks_.join(QString()));
}

void ViewControls::setTitleMark(const QString& mark, bool shown) {
    titleMarks_.removeAll(mark);
    if (shown) titleMarks_.append(mark);
    showTitle();
}

void ViewControls::placeControl(QWidget* control, const QRect& at1x) {
    if (controls_.empty()) recordControls();
    for (Control& c : controls_)
        if (c.widget == control) {
            c.geometry = at1x;
            control->setGeometry(placed(c, zoom_, contentOrigin()));
        }
}

// ---- slow motion ----

void ViewControls::setSlowMotion(bool on) {
    timer_.setSlowMotion(on);
    slowMotionAction->setChecked(on);
    showTitle();
}

// ---- context menu ----

// The menu itself is made on the first right click, so that start-up never pays for it.
void ViewControls::offerContextMenu() {
    canvasView_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&canvasView_, &QWidget::customContextMenuRequested, this, [this](QPoint at) { showContextMenu(at); });
}

void ViewControls::createContextMenu() {
    contextMenu = new QMenu(&window_);
    contextMenu->addAction(pauseAction);
    contextMenu->addActions(lessonEntries);
    contextMenu->addAction(slowMotionAction);
    contextMenu->addSeparator();
    contextMenu->addAction(fullScreenAction);
    contextMenu->addSeparator();
    contextMenu->addAction(zoomInAction);
    contextMenu->addAction(zoomOutAction);
    contextMenu->addAction(resetZoomAction);
    contextMenu->addAction(fitToScreenAction);
    addMenuEntries();
    // Entries greyed out for the menu only: the shortcuts stay live and refuse on their own.
    connect(contextMenu, &QMenu::aboutToShow, this, [this] { enableMenuEntries(); });
    connect(contextMenu, &QMenu::aboutToHide, this, [this] {
        for (QAction* a : {pauseAction, zoomInAction, zoomOutAction, resetZoomAction, fitToScreenAction})
            a->setEnabled(true);
    });
}

void ViewControls::addMenuEntry(QAction* action) {
    if (std::find(menuEntries_.begin(), menuEntries_.end(), action) != menuEntries_.end()) return;
    menuEntries_.push_back(action);
    if (contextMenu) contextMenu->addAction(action);
}

void ViewControls::removeMenuEntry(QAction* action) {
    std::erase(menuEntries_, action);
    if (contextMenu) contextMenu->removeAction(action);
}

void ViewControls::addMenuEntries() {
    for (QAction* action : menuEntries_) contextMenu->addAction(action);
}

void ViewControls::showContextMenu(QPoint at) {
    if (!contextMenu) createContextMenu();
    // Readable from the back of the class too, and never smaller than at 1x.
    contextMenu->setFont(ScaledFont(font_, std::max(1.0, zoom_)));
    contextMenu->popup(canvasView_.mapToGlobal(at));
}

void ViewControls::enableMenuEntries() {
    pauseAction->setEnabled(timer_.isEnabled());
    const int above = zoom::StepAbove(zoom_);
    zoomInAction->setEnabled(above <= zoom::kMax && zoom::Fits(zoom::kClientArea, above, room()));
    zoomOutAction->setEnabled(zoom_ > zoom::kMin);
    resetZoomAction->setEnabled(zoom_ != zoom::kMin);
    fitToScreenAction->setEnabled(zoom::FittingScale(zoom::kClientArea, room(), leastZoom()) != zoom_);
}

// ---- zoom ----

bool ViewControls::zoomIn() { return zoom::StepAbove(zoom_) <= zoom::kMax && setZoom(zoom::StepAbove(zoom_)); }
bool ViewControls::zoomOut() { return setZoom(zoom::StepBelow(zoom_)); }
void ViewControls::resetZoom() { setZoom(zoom::kMin); }
bool ViewControls::fitToScreen() { return setZoom(zoom::FittingScale(zoom::kClientArea, room(), leastZoom())); }

bool ViewControls::setZoom(double s) {
    const double least = leastZoom();
    if (s < least) return false;
    if (s > zoom_ && s > least && !zoom::Fits(zoom::kClientArea, s, room())) return false;
    if (s != zoom_) {
        zoom_ = s;
        applyZoom();
    }
    return true;
}

QSize ViewControls::room() const {
    if (!fullScreen_) return roomForClientArea();
    const QScreen* screen = window_.screen();
    return screen ? screen->geometry().size() : window_.size();
}

void ViewControls::applyZoom() {
    if (fullScreen_) {
        margin_->setGeometry(window_.rect());
        layOut(zoom_, contentOrigin());
    } else {
        layOut(zoom_, contentOrigin());
        window_.setFixedSize(zoom::Scaled(zoom::kClientArea, zoom_));
        keepWindowOnScreen();
    }
    if (zoomChanged) zoomChanged();
}

// Where the window's content begins: centred on the screen in full screen, else at its corner.
QPoint ViewControls::contentOrigin() const {
    return fullScreen_ ? zoom::CentredOrigin(zoom::kClientArea, zoom_, window_.size()) : QPoint(0, 0);
}

// A control at its 1x geometry times s; the window's own children shifted by origin.
QRect ViewControls::placed(const Control& c, double s, QPoint origin) const {
    QRect geometry = zoom::Scaled(c.geometry, s);
    if (c.widget->parentWidget() == &window_) geometry.translate(origin);
    return geometry;
}

// Every control at its 1x geometry and font times s.
void ViewControls::layOut(double s, QPoint origin) {
    if (controls_.empty()) recordControls();
    window_.setFont(ScaledFont(font_, s));
    for (const Control& c : controls_) {
        if (c.widget == &canvasView_) canvasView_.setZoom(s);
        c.widget->setFont(ScaledFont(c.font, s));
        c.widget->setGeometry(placed(c, s, origin));
    }
}

// Taken at the first change of zoom, when every control exists and still has its 1x geometry.
void ViewControls::recordControls() {
    for (QWidget* w : window_.findChildren<QWidget*>())
        if (w != margin_ && w->window() == &window_) controls_.push_back({w, w->geometry(), w->font()});
}

// A grown window that would reach past the screen's edge moves back onto it.
void ViewControls::keepWindowOnScreen() {
    const QScreen* screen = window_.screen();
    if (!screen || !window_.isVisible()) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window_.frameGeometry();
    const QPoint topLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
                         std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    if (topLeft != frame.topLeft()) window_.move(topLeft);
}

// ---- full screen ----

void ViewControls::toggleFullScreen() {
    if (fullScreen_)
        leaveFullScreen();
    else
        enterFullScreen();
}

void ViewControls::enterFullScreen() {
    if (fullScreen_) return;
    fullScreen_ = true;
    windowedZoom_ = zoom_;
    zoom_ = zoom::FittingScale(zoom::kClientArea, room());
    window_.setMinimumSize(0, 0);
    window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    margin_->lower();
    margin_->show();
    window_.showFullScreen();
#ifndef Q_OS_MACOS
    // Without a window manager (a kiosk session) nothing else would make the window fill the screen.
    if (const QScreen* screen = window_.screen()) window_.setGeometry(screen->geometry());
#endif
    applyZoom();
    fullScreenAction->setText(QStringLiteral("全画面表示を終了"));
    leaveFullScreenAction_->setEnabled(true);
}

void ViewControls::leaveFullScreen() {
    if (!fullScreen_) return;
    fullScreen_ = false;
    zoom_ = windowedZoom_;
    margin_->hide();
    if (window_.windowState() & Qt::WindowFullScreen) window_.showNormal();
    applyZoom();
    fullScreenAction->setText(QStringLiteral("全画面表示"));
    leaveFullScreenAction_->setEnabled(false);
}

bool ViewControls::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && fullScreen_) {
        if (event->type() == QEvent::Resize) {  // filled and centred in the size the screen gave
            zoom_ = zoom::FittingScale(zoom::kClientArea, window_.size());
            applyZoom();
        }
        // The window system may take full screen away by itself; minimised, the window keeps it.
        if (event->type() == QEvent::WindowStateChange &&
            !(window_.windowState() & (Qt::WindowFullScreen | Qt::WindowMinimized)))
            leaveFullScreen();
    }
    return false;
}

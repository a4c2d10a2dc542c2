#include "app/chartwindow.h"

#include <QAction>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <optional>

#include "app/viewcontrols.h"
#include "app/zoom.h"

namespace {

enum class Side { Right, Left, Below, Above };

int Into(int at, int length, int low, int high) { return std::max(low, std::min(at, high + 1 - length)); }

// Level with the main window's top (beside it) or left edge (above or below it), moved into the area.
QRect OnSide(Side side, const QRect& main, QSize chart, const QRect& area) {
    const int x = Into(main.left(), chart.width(), area.left(), area.right());
    const int y = Into(main.top(), chart.height(), area.top(), area.bottom());
    switch (side) {
        case Side::Right: return {{main.right() + 1, y}, chart};
        case Side::Left: return {{main.left() - chart.width(), y}, chart};
        case Side::Below: return {{x, main.bottom() + 1}, chart};
        case Side::Above: return {{x, main.top() - chart.height()}, chart};
    }
    return {};
}

int Room(Side side, const QRect& main, const QRect& area) {
    switch (side) {
        case Side::Right: return area.right() - main.right();
        case Side::Left: return main.left() - area.left();
        case Side::Below: return area.bottom() - main.bottom();
        case Side::Above: return main.top() - area.top();
    }
    return 0;
}

// Over the canvas: at the area's left edge, level with the main window's top, short of the panel.
std::optional<QPoint> LeftOfThePanel(const QRect& panel, QSize chart, const QRect& area, int top) {
    const QRect placed({area.left(), Into(top, chart.height(), area.top(), area.bottom())}, chart);
    if (!area.contains(placed) || placed.intersects(panel)) return std::nullopt;
    return placed.topLeft();
}

}  // namespace

ChartPlace PlaceChart(int mainZoom, const QRect& mainFrame, const QRect& panel, QSize decoration,
                      const QRect& available) {
    const auto frameAt = [&](int k) { return zoom::Scaled(chart::kSize, k) + decoration; };
    for (int k = mainZoom; k >= zoom::kMin; --k) {
        std::optional<Side> best;
        for (Side side : {Side::Right, Side::Left, Side::Below, Side::Above}) {
            const QRect placed = OnSide(side, mainFrame, frameAt(k), available);
            if (!available.contains(placed) || placed.intersects(mainFrame)) continue;
            if (!best || Room(side, mainFrame, available) > Room(*best, mainFrame, available)) best = side;
        }
        if (best) return {k, OnSide(*best, mainFrame, frameAt(k), available).topLeft()};
    }
    for (int k = mainZoom; k >= zoom::kMin; --k)
        if (const auto at = LeftOfThePanel(panel, frameAt(k), available, mainFrame.top())) return {k, *at};
    // Not even 1x beside the panel: a screen narrower than the window; the area's corner.
    return {zoom::kMin, available.topLeft()};
}

// ---- the window ----

// A title and a close button: the chart has one size per zoom, so nothing to maximise.
ChartWindow::ChartWindow(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("ペルモラ — 飽和水蒸気量のグラフ"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_ShowWithoutActivating);  // the pupil's keys stay on the panel
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setZoom(1);
}

void ChartWindow::showChart(const QImage& chart, const QString& description) {
    chart_ = chart;
    if (accessibleDescription() != description) setAccessibleDescription(description);
    update();
}

void ChartWindow::setZoom(int k) {
    zoom_ = k;
    setFixedSize(zoom::Scaled(chart::kSize, k));
    update();
}

void ChartWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.scale(zoom_, zoom_);
    p.drawImage(0, 0, chart_);
}

void ChartWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The window system hides the window with its minimised main window; that is not a close.
void ChartWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && hidden) hidden();
}

// ---- the command ----

ChartControls::ChartControls(QWidget& mainWindow, const QWidget& panel, ViewControls& view)
    : QObject(&mainWindow), mainWindow_(mainWindow), panel_(panel), view_(view) {
    availableArea = [this] {
        const QScreen* screen = mainWindow_.screen();
        return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), zoom::kClientArea);
    };
    action = new QAction(QStringLiteral("グラフ"), this);
    action->setObjectName(QStringLiteral("chart"));
    action->setCheckable(true);
    action->setShortcut(Qt::Key_G);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setEnabled(false);
    connect(action, &QAction::toggled, this, [this](bool on) { setShown(on); });
    mainWindow_.addAction(action);
    menuSeparator = new QAction(this);
    menuSeparator->setSeparator(true);
    view_.zoomChanged = [this] { place(); };
    mainWindow_.installEventFilter(this);
}

// Moved, or given its size by the window system after a zoom or full screen: the chart follows.
bool ChartControls::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &mainWindow_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) place();
    return QObject::eventFilter(watched, event);
}

void ChartControls::simulatorOpened(const Parcel& parcel) {
    action->setEnabled(true);
    view_.addMenuEntry(menuSeparator);
    view_.addMenuEntry(action);
    parcelSet(parcel);
}

void ChartControls::simulatorClosed() {
    action->setChecked(false);
    action->setEnabled(false);
    view_.removeMenuEntry(action);
    view_.removeMenuEntry(menuSeparator);
}

void ChartControls::parcelSet(const Parcel& parcel) {
    now_ = parcel;
    path_.restart(parcel);
    redraw();
}

void ChartControls::parcelStepped(const Parcel& parcel) {
    now_ = parcel;
    path_.step(parcel);
    redraw();
}

void ChartControls::setShown(bool shown) {
    if (shown && !action->isEnabled()) {  // checked from outside while the simulator is closed
        action->setChecked(false);
        return;
    }
    if (!shown) {
        if (window_) window_->hide();
        return;
    }
    if (!window_) {
        window_ = new ChartWindow(&mainWindow_);
        window_->addAction(action);  // G closes it from there too
        window_->hidden = [this] { action->setChecked(false); };
    }
    redraw();
    place();
    window_->showNormal();  // a plain show() would fill a browser page with the chart
}

void ChartControls::redraw() {
    if (window_ && action->isChecked()) window_->showChart(DrawVapourChart(now_, path_.points()), DescribeVapourChart(now_));
}

void ChartControls::place() {
    if (!window_ || !action->isChecked()) return;
    const QRect panel(panel_.mapToGlobal(QPoint(0, 0)), panel_.size());
    // A main window below 1x still has its chart at 1x.
    const int mainZoom = std::max(zoom::kMin, zoom::StepAbove(view_.zoom()) - 1);
    const ChartPlace at = PlaceChart(mainZoom, mainWindow_.frameGeometry(), panel, decoration(), availableArea());
    window_->setZoom(at.zoom);
    window_->move(at.topLeft);
}

// Before the window is first shown its frame is unknown: the main window's frame is a fair guess.
QSize ChartControls::decoration() const {
    return window_->isVisible() ? window_->frameGeometry().size() - window_->size()
                                : mainWindow_.frameGeometry().size() - mainWindow_.size();
}

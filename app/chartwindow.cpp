#include "app/chartwindow.h"

#include <QAction>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "app/viewcontrols.h"
#include "app/zoom.h"

QPoint ChartWindowTopLeft(const QRect& mainFrame, QSize chartFrame, const QRect& available) {
    int left = 0;
    if (mainFrame.right() + chartFrame.width() <= available.right())
        left = mainFrame.right() + 1;
    else if (mainFrame.left() - chartFrame.width() >= available.left())
        left = mainFrame.left() - chartFrame.width();
    else
        left = std::max(available.left(), std::min(mainFrame.right(), available.right()) + 1 - chartFrame.width());
    const int top = std::max(available.top(), std::min(mainFrame.top(), available.bottom() + 1 - chartFrame.height()));
    return {left, top};
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

ChartControls::ChartControls(QWidget& mainWindow, ViewControls& view)
    : QObject(&mainWindow), mainWindow_(mainWindow), view_(view) {
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
    view_.zoomChanged = [this] { fitToZoom(); };
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
    fitToZoom();
    window_->showNormal();  // a plain show() would fill a browser page with the chart
}

void ChartControls::redraw() {
    if (window_ && action->isChecked()) window_->showChart(DrawVapourChart(now_, path_.points()), DescribeVapourChart(now_));
}

// The main window's zoom, or less where that lets the chart sit beside the main window rather than
// over its panel; if even 1x leaves no room beside it, the largest zoom that fits the area.
int ChartZoom(int mainZoom, const QRect& mainFrame, QSize decoration, const QRect& available) {
    const auto frameAt = [&](int k) { return zoom::Scaled(chart::kSize, k) + decoration; };
    const auto beside = [&](int k) {
        const QRect placed(ChartWindowTopLeft(mainFrame, frameAt(k), available), frameAt(k));
        return available.contains(placed) && !placed.intersects(mainFrame);
    };
    for (int k = mainZoom; k >= zoom::kMin; --k)
        if (beside(k)) return k;
    int k = mainZoom;
    while (k > zoom::kMin && !zoom::Fits(frameAt(k), 1, available.size())) --k;
    return k;
}

void ChartControls::fitToZoom() {
    if (!window_ || !action->isChecked()) return;
    const QRect area = availableArea();
    const QRect mainFrame = mainWindow_.frameGeometry();
    window_->setZoom(ChartZoom(view_.zoom(), mainFrame, frameSize() - window_->size(), area));
    window_->move(ChartWindowTopLeft(mainFrame, frameSize(), area));
}

// Before the window is first shown its frame is unknown: the main window's frame is a fair guess.
QSize ChartControls::frameSize() const {
    const QSize decoration = window_->isVisible() ? window_->frameGeometry().size() - window_->size()
                                                  : mainWindow_.frameGeometry().size() - mainWindow_.size();
    return window_->size() + decoration;
}

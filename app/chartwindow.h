#pragma once
// The saturated water-vapour chart beside the main window while the simulator is open: the command
// that opens and closes it (G, and グラフ in the canvas's context menu), the parcel's path since it
// was last set, and the window that shows the chart of simulator/chart enlarged by the main
// window's zoom. It only reads the parcel's numbers; unused, nothing of the main window changes.

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>

#include "simulator/chart.h"

class QAction;
class ViewControls;

// Where the chart window goes and at which zoom. Clear of the main window wherever the available
// area has room beside, above or below it: on the side with the most room, at the main window's
// zoom or, only where that is what keeps it clear, less. Where no place is clear (full screen, a
// screen hardly bigger than the window) it covers the canvas, never the panel, whose buttons stay
// within reach. Frames are the windows' outer rectangles; decoration is what the chart window's
// frame adds to its size.
struct ChartPlace {
    int zoom = 1;
    QPoint topLeft;  // of the chart window's frame
    friend bool operator==(const ChartPlace&, const ChartPlace&) = default;
};
ChartPlace PlaceChart(int mainZoom, const QRect& mainFrame, const QRect& panel, QSize decoration,
                      const QRect& available);

// The chart, each pixel a k x k block; Escape closes it.
class ChartWindow : public QWidget {
public:
    explicit ChartWindow(QWidget* mainWindow);

    void showChart(const QImage& chart, const QString& description);
    void setZoom(int k);
    int zoom() const { return zoom_; }
    const QImage& chart() const { return chart_; }

    std::function<void()> hidden;  // by Escape, its close button, or from outside

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QImage chart_;
    int zoom_ = 1;
};

class ChartControls : public QObject {
public:
    ChartControls(QWidget& mainWindow, const QWidget& panel, ViewControls& view);

    // "chart": checkable, enabled exactly while the simulator is open, checked exactly while the
    // chart window is shown.
    QAction* action = nullptr;
    QAction* menuSeparator = nullptr;  // before グラフ in the context menu, which offers it in the simulator only

    void simulatorOpened(const Parcel& parcel);
    void simulatorClosed();
    void parcelSet(const Parcel& parcel);      // a preset, a temperature or a humidity change
    void parcelStepped(const Parcel& parcel);  // 100 m up or down

    const ParcelPath& path() const { return path_; }
    ChartWindow* window() const { return window_; }  // made when first shown

    // The screen's area for windows; a seam for tests.
    std::function<QRect()> availableArea;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setShown(bool shown);
    void redraw();
    void place();
    QSize decoration() const;

    QWidget& mainWindow_;
    const QWidget& panel_;
    ViewControls& view_;
    ChartWindow* window_ = nullptr;
    ParcelPath path_;
    Parcel now_;
};

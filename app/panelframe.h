#pragma once
// A frame of the simulator panel: light yellow inside, an etched line with the caption set into its
// top edge. It paints itself rather than through the style, whose group box shades its inside, and
// it leaves the palette alone, so the buttons on it keep the system's colours. With ruby over its
// caption, the caption's band is as much taller.

#include <QGroupBox>
#include <vector>

#include "draw/readings.h"

class PanelFrame : public QGroupBox {
public:
    static constexpr QRgb kBackground = 0xFFFFFFC0;  // RGB(255, 255, 192)

    PanelFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

    // While ruby is on the band keeps a ruby line, with readings or without.
    void setTitleRuby(bool on, std::vector<RubyRun> runs, double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool rubyOn_ = false;
    std::vector<RubyRun> titleRuby_;
    double zoom_ = 1;
};

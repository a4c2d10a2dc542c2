#pragma once
// The saturated water-vapour chart: the table's amount against temperature, the parcel as a point
// below it, the way it came, and its dew point. Plain functions that draw into an image and know no
// window; they only read the parcel's numbers and work nothing out that the physics does not.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <span>
#include <vector>

#include "simulator/physics.h"

namespace chart {

inline constexpr QSize kSize{400, 300};  // the whole chart at 1x
inline constexpr double kKionLeft = -10, kKionRight = 36;
inline constexpr double kVapourTop = 40;
inline constexpr int kColumnsPerDegree = 8;  // a table row of 0.5 degrees is 4 columns wide
inline constexpr int kRowsPerGram = 5;
// The plot's pixels: column 0 shows temperatures just above -10, the bottom row 0 g.
inline constexpr QRect kPlot{28, 40, int(kKionRight - kKionLeft) * kColumnsPerDegree,
                             int(kVapourTop) * kRowsPerGram + 1};

// The pixel column whose temperatures include kion. A column covers (its left edge, its right edge]
// as the table's rows do, in the table's single precision; not clamped to the plot.
int X(double kion);
// The pixel row of a vapour amount (g per cubic metre).
int Y(double vapour);
// Where a parcel of that temperature and vapour is drawn: clamped into the plot, since the table's
// coldest row takes every temperature below -10 too.
QPoint At(double kion, double vapour);

}  // namespace chart

// Where the parcel has been since it was last set (by the simulator's opening, a season preset or a
// temperature or humidity change): one point per 100 m step, the parcel now the last.
class ParcelPath {
public:
    static constexpr size_t kMaxPoints = 400;  // the oldest go first: a whole climb is 21

    void restart(const Parcel& parcel);
    void step(const Parcel& parcel);
    std::span<const Parcel> points() const { return points_; }

private:
    std::vector<Parcel> points_;
};

// The chart of the parcel now and its path, chart::kSize, Format_RGB32, in the program's 16 colours
// only (no anti-aliasing, text included).
QImage DrawVapourChart(const Parcel& now, std::span<const Parcel> path);

// The same in words: altitude, temperature, vapour amount, dew point and whether there is a cloud.
QString DescribeVapourChart(const Parcel& now);

// "雲ができていません" or "露点に達して雲ができました".
QString CloudCaption(const Parcel& now);
// "露点 約7℃" for the row 6.5 < t <= 7.
QString DewPointLabel(const VapourRow& dewPoint);

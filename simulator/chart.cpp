#include "simulator/chart.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "draw/fonts.h"
#include "draw/palette.h"
#include "simulator/readout.h"

namespace chart {

// The temperature in the table's single precision, times the columns per degree: exact, so that a
// temperature a hair above a column's edge lands in the next column, as it lands in the next row.
int X(double kion) {
    const double columns = std::ceil(double(float(kion)) * kColumnsPerDegree);
    return kPlot.left() + int(columns - kKionLeft * kColumnsPerDegree) - 1;
}

int Y(double vapour) { return kPlot.bottom() - int(std::lround(vapour * kRowsPerGram)); }

QPoint At(double kion, double vapour) {
    return {std::clamp(X(kion), kPlot.left(), kPlot.right()), std::clamp(Y(vapour), kPlot.top(), kPlot.bottom())};
}

}  // namespace chart

void ParcelPath::restart(const Parcel& parcel) { points_.assign(1, parcel); }

void ParcelPath::step(const Parcel& parcel) {
    points_.push_back(parcel);
    if (points_.size() > kMaxPoints) points_.erase(points_.begin());
}

namespace {

using chart::kPlot;

constexpr int kBlack = 0, kGreen = 2, kGrey = 7, kBlue = 9, kRed = 12, kWhite = 15;
constexpr int kTickDegrees[] = {-10, 0, 10, 20, 30};
constexpr int kTickGrams[] = {0, 10, 20, 30, 40};
constexpr int kSmallText = 9, kLargeText = 12;  // points

QColor colour(int index) { return QColor(QBColor(index)); }

// The program's Gothic face, drawn in whole pixels of one colour.
QFont chartFont(int points) {
    QFont font = japaneseGothic(points, false);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Rounded to `decimals` places, without trailing zeros and without a minus before zero.
QString plainNumber(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return QString::number(std::round(value * scale) / scale + 0.0);
}

void write(QPainter& p, const QRect& area, int flags, const QString& text, int colourIndex, int points) {
    p.setFont(chartFont(points));
    p.setPen(colour(colourIndex));
    p.drawText(area, flags | Qt::TextSingleLine, text);
}

void drawGrid(QPainter& p) {
    const QColor grey = colour(kGrey);
    for (int t : kTickDegrees)
        if (t > chart::kKionLeft) p.fillRect(chart::X(t), kPlot.top(), 1, kPlot.height() - 1, grey);
    for (int g : kTickGrams)
        if (g > 0) p.fillRect(kPlot.left(), chart::Y(g), kPlot.width(), 1, grey);
}

void drawAxes(QPainter& p) {
    const QColor black = colour(kBlack);
    const int axisX = kPlot.left() - 1;
    p.fillRect(axisX, kPlot.top(), 1, kPlot.height(), black);
    p.fillRect(axisX, kPlot.bottom(), kPlot.width() + 1, 1, black);
    for (int t : kTickDegrees) {
        const int x = chart::X(t);
        p.fillRect(x, kPlot.bottom() + 1, 1, 3, black);
        write(p, QRect(x - 20, kPlot.bottom() + 4, 40, 14), Qt::AlignHCenter | Qt::AlignTop, QString::number(t),
              kBlack, kSmallText);
    }
    for (int g : kTickGrams) {
        const int y = chart::Y(g);
        p.fillRect(axisX - 3, y, 3, 1, black);
        write(p, QRect(0, y - 7, axisX - 4, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(g), kBlack,
              kSmallText);
    }
    write(p, QRect(0, kPlot.bottom() + 18, kPlot.right() + 1, 14), Qt::AlignRight | Qt::AlignTop,
          QStringLiteral("気温（℃）"), kBlack, kSmallText);
    write(p, QRect(kPlot.left() + 2, kPlot.top() - 18, 200, 14), Qt::AlignLeft | Qt::AlignTop,
          QStringLiteral("水蒸気量（g/m³）"), kBlack, kSmallText);
}

// A staircase, not a smooth curve: the simulator reads the amount from the table, one value for each
// 0.5-degree row, and the chart shows the very amounts that decide whether the parcel is a cloud.
// Each column takes the row of its warmest temperature, which is the row of all its temperatures.
void drawSaturatedVapour(QPainter& p) {
    const QColor blue = colour(kBlue);
    int previousY = 0;
    for (int column = 0; column < kPlot.width(); ++column) {
        const double warmest = chart::kKionLeft + double(column + 1) / chart::kColumnsPerDegree;
        const int x = kPlot.left() + column, y = chart::Y(SaturatedVapour(float(warmest)));
        const int from = column == 0 ? y : previousY;
        p.fillRect(x, std::min(from, y), 1, std::abs(from - y) + 1, blue);
        previousY = y;
    }
}

QPoint pointOf(const Parcel& parcel) { return chart::At(parcel.Kion, VapourAmount(parcel)); }

void drawPath(QPainter& p, std::span<const Parcel> path) {
    const QColor red = colour(kRed);
    p.setPen(QPen(red, 1));
    for (size_t i = 1; i < path.size(); ++i) p.drawLine(pointOf(path[i - 1]), pointOf(path[i]));
    for (const Parcel& step : path) p.fillRect(QRect(pointOf(step) - QPoint(1, 1), QSize(3, 3)), red);
}

void drawParcel(QPainter& p, const Parcel& now) {
    p.setPen(QPen(colour(kBlack), 1));
    p.setBrush(colour(kRed));
    p.drawEllipse(pointOf(now), 4, 4);
    p.setBrush(Qt::NoBrush);
}

// A ring on the curve where the parcel's vapour is enough to saturate it, a dotted line down to the
// temperature it happens at, and the label above the ring and to its left: the curve lies lower on
// the left, and the path comes in from the right, rising if the parcel has become a cloud.
void drawDewPoint(QPainter& p, const VapourRow& dewPoint) {
    const QPoint mark = chart::At(dewPoint.upperBound, dewPoint.amount);
    p.setPen(QPen(colour(kGreen), 1, Qt::DotLine));
    p.drawLine(mark + QPoint(0, 7), QPoint(mark.x(), kPlot.bottom() - 1));
    p.setPen(QPen(colour(kGreen), 1));
    p.drawEllipse(mark, 6, 6);

    const QString label = DewPointLabel(dewPoint);
    const QSize size(QFontMetrics(chartFont(kSmallText)).horizontalAdvance(label), 14);
    const int left = std::max(kPlot.left() + 2, mark.x() - 4 - size.width());
    const int top = std::max(kPlot.top(), mark.y() - 10 - size.height());
    write(p, QRect(QPoint(left, top), size), Qt::AlignLeft | Qt::AlignTop, label, kGreen, kSmallText);
}

void drawCaptions(QPainter& p, const Parcel& now) {
    write(p, QRect(0, 4, kPlot.right() + 1, 20), Qt::AlignRight | Qt::AlignTop, TakasaCaption(now.Takasa), kBlack,
          kLargeText);
    write(p, QRect(kPlot.left(), kPlot.bottom() + 34, kPlot.width(), 20), Qt::AlignLeft | Qt::AlignTop,
          CloudCaption(now), IsSaturated(now) ? kBlue : kBlack, kLargeText);
}

}  // namespace

QString CloudCaption(const Parcel& now) {
    return IsSaturated(now) ? QStringLiteral("露点に達して雲ができました") : QStringLiteral("雲ができていません");
}

QString DewPointLabel(const VapourRow& dewPoint) {
    return QStringLiteral("露点 約%1℃").arg(plainNumber(dewPoint.upperBound, 1));
}

QImage DrawVapourChart(const Parcel& now, std::span<const Parcel> path) {
    QImage image(chart::kSize, QImage::Format_RGB32);
    image.fill(colour(kWhite));
    QPainter p(&image);
    drawGrid(p);
    drawAxes(p);
    drawSaturatedVapour(p);
    const std::optional<VapourRow> dewPoint = DewPoint(VapourAmount(now));
    if (dewPoint) drawDewPoint(p, *dewPoint);
    drawPath(p, path);
    drawParcel(p, now);
    drawCaptions(p, now);
    return image;
}

QString DescribeVapourChart(const Parcel& now) {
    const double vapour = VapourAmount(now);
    QStringList parts{TakasaCaption(now.Takasa), QStringLiteral("気温 %1℃").arg(plainNumber(now.Kion, 1)),
                      QStringLiteral("水蒸気量 %1g/m³").arg(plainNumber(vapour, 2))};
    if (const std::optional<VapourRow> dewPoint = DewPoint(vapour)) parts << DewPointLabel(*dewPoint);
    parts << CloudCaption(now);
    return parts.join(QStringLiteral("、"));
}

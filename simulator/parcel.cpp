#include "simulator/parcel.h"

#include "draw/canvas.h"

namespace {

constexpr int kWhite = 15;

void drawEllipse(Canvas& canvas, double takasa) {
    const ParcelEllipse e = ParcelEllipseAt(takasa);
    canvas.ellipse(e.x, e.y, e.r, kWhite, e.aspect);
}

}  // namespace

ParcelEllipse ParcelEllipseAt(double takasa) {
    return {200.0f, float(330 - takasa * 14 / 100), float(40 + takasa * 2 / 100), float(0.6)};
}

void DrawParcelOutline(Canvas& canvas, double takasa) {
    canvas.refresh();
    canvas.setFillSolid(false);
    drawEllipse(canvas, takasa);
}

void DrawParcelCloud(Canvas& canvas, double takasa) {
    canvas.refresh();
    canvas.setFillColour(kWhite);
    canvas.setFillSolid(true);
    drawEllipse(canvas, takasa);
    canvas.setFillSolid(false);
}

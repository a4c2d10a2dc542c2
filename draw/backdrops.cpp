#include "draw/backdrops.h"

#include <span>
#include <string_view>

#include "draw/canvas.h"
#include "draw/pictures.h"
#include "draw/sprites.h"

namespace {

struct Placement {
    std::string_view key;
    float x, y;
};

// In drawing order: where two overlap, the later one stands in front.
constexpr Placement kTown[] = {
    {"Ie", 494, 323}, {"Ie", 402, 323}, {"Ki1", 340, 320}, {"Ki2", 557, 322}, {"Ki1", 272, 321},
    {"Ki1", 450, 321}, {"Ki2", 308, 339}, {"Ki1", 469, 344}, {"Ki2", 145, 333}, {"Ki1", 525, 340},
    {"Ki2", 423, 334}, {"Ie", 213, 326}, {"Ki2", 65, 329},
};

constexpr Placement kMountainVillage[] = {
    {"Ie", 602, 336}, {"Ie", 298, 336}, {"Ki1", 279, 194}, {"Ki2", 557, 322}, {"Ki1", 342, 158},
    {"Ki1", 349, 202}, {"Ki2", 197, 292}, {"Ki1", 360, 273}, {"Ki2", 189, 244}, {"Ki1", 442, 275},
    {"Ki2", 60, 335}, {"Ie", 29, 333}, {"Ki2", 275, 265},
};

void paintScene(Canvas& canvas, const QImage& background, std::span<const Placement> village) {
    canvas.selectPersistent();
    canvas.setBackground(background);
    for (const Placement& p : village) DrawSprite(canvas, p.key, p.x, p.y);
}

}  // namespace

void PaintTownBackdrop(Canvas& canvas) {
    paintScene(canvas, PicHaikei(), kTown);
    canvas.selectOverlay();
}

void PaintMountainBackdrop(Canvas& canvas) { paintScene(canvas, PicYama(), kMountainVillage); }

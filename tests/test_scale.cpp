// The canvas at device scales other than 1: a new scale draws the same picture as drawing there
// from the start, and the sprites' raster operations give inside each canvas pixel what they give
// at 1x.

#include <gtest/gtest.h>

#include "draw/canvas.h"
#include "draw/sprites.h"
#include "harness.h"

namespace {

QImage frontsAt(double scaleBefore, double scaleAfter) {
    Harness h;
    h.form->canvas.setScale(scaleBefore);
    h.startAndReachMenu();
    h.form->ZensenCmd->click();
    h.clock->advance(20000);  // persistent fronts under overlay captions, both since and before a refresh
    h.form->canvas.setScale(scaleAfter);
    return h.screen();
}

TEST(CanvasScale, ANewScaleDrawsWhatDrawingThereFromTheStartDraws) {
    const QImage fromTheStart = frontsAt(2.67, 2.67);
    EXPECT_TRUE(frontsAt(1, 2.67) == fromTheStart);
    EXPECT_TRUE(frontsAt(2.67, 1) == frontsAt(1, 1)) << "back at 1x, exactly the 1x picture";
}

// On a white canvas, a device pixel that lies wholly inside one canvas pixel shows that canvas
// pixel's colour at 1x; only those astride two canvas pixels mix them.
TEST(CanvasScale, SpritesGiveInsideEachCanvasPixelWhatTheyGiveAtOneTimes) {
    const auto sprites = [](Canvas& canvas) {
        canvas.filledBox(0, 0, 639, 399, 15);
        for (const char* key : {"Ie", "Ki1", "Taiyou", "Rilos1"}) DrawSprite(canvas, key, 100, 100);
    };
    Canvas reference;
    sprites(reference);
    for (double s : {1.59, 2.0, 2.67, 3.6}) {
        Canvas canvas;
        canvas.setScale(s);
        sprites(canvas);
        const QImage& image = canvas.screenImage();
        int inside = 0, wrong = 0;
        for (int y = int(100 * s); y < int(200 * s); ++y)
            for (int x = int(100 * s); x < int(200 * s); ++x) {
                const int cx = int(x / s), cy = int(y / s);
                if (int((x + 1) / s - 1e-9) != cx || int((y + 1) / s - 1e-9) != cy) continue;
                ++inside;
                wrong += image.pixel(x, y) != reference.screenImage().pixel(cx, cy);
            }
        EXPECT_GT(inside, 3000) << s;
        EXPECT_EQ(wrong, 0) << "at " << s;
    }
}

}  // namespace

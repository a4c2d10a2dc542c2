#pragma once
// The three timed lessons: how each one prepares the canvas when its menu button is pressed, and
// its step table.

#include <span>

#include "draw/canvas.h"
#include "stage/stepplayer.h"

struct Lesson {
    int sceneMode;
    bool mountainBackdrop;   // paint the mountain scene; otherwise keep the town and refresh
    Canvas::Layer layer;     // drawing target when the first step comes
    int firstIntervalMs;
    bool boldOff;            // canvas text regular from the start on
    std::span<const Action> steps;
};

const Lesson& DekikataLesson();  // how a cloud forms over warm ground, rain and snow
const Lesson& YamaLesson();      // wind over a mountain
const Lesson& ZensenLesson();    // warm and cold fronts

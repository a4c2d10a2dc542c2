#pragma once
// The three timed lessons: how each one prepares the canvas when its menu button is pressed, its
// step table, and the scenes of its storyline.

#include <span>

#include "draw/canvas.h"
#include "stage/scenes.h"
#include "stage/stepplayer.h"

struct Lesson {
    int sceneMode;
    bool mountainBackdrop;   // paint the mountain scene; otherwise keep the town and refresh
    Canvas::Layer layer;     // drawing target when the first step comes
    int firstIntervalMs;
    bool boldOff;            // canvas text regular from the start on
    std::span<const Action> steps;
    SceneStarts sceneStarts;  // the first step of every scene, the closing prompt one of its own
};

const Lesson& DekikataLesson();  // how a cloud forms over warm ground, rain and snow
const Lesson& YamaLesson();      // wind over a mountain
const Lesson& ZensenLesson();    // warm and cold fronts

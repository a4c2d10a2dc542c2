#pragma once
// An animation divided into scenes, each known by its first step (ascending, the first being step
// 1), and where the classroom's back and forward keys lead from a step.

#include <cstdint>
#include <span>

using SceneStarts = std::span<const std::int16_t>;

// The scene that holds `step`; step 0, before the first tick, belongs to the first scene.
int SceneAt(SceneStarts starts, int step);
// Back: the start of the scene that holds `step`, or of the scene before it early in a scene.
int SceneStartBack(SceneStarts starts, int step, bool earlyInScene);
// Forward: the start of the next scene; from the last scene, the animation's last step.
int SceneStartForward(SceneStarts starts, int step, int lastStep);

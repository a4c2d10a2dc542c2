#include "stage/scenes.h"

#include <algorithm>

int SceneAt(SceneStarts starts, int step) {
    const auto after = std::upper_bound(starts.begin(), starts.end(), step);
    return std::max(0, int(after - starts.begin()) - 1);
}

int SceneStartBack(SceneStarts starts, int step, bool earlyInScene) {
    const int scene = SceneAt(starts, step);
    return starts[size_t(earlyInScene ? std::max(0, scene - 1) : scene)];
}

int SceneStartForward(SceneStarts starts, int step, int lastStep) {
    const size_t next = size_t(SceneAt(starts, step)) + 1;
    return next < starts.size() ? starts[next] : lastStep;
}

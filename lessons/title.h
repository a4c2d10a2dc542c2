#pragma once
#include <span>

#include "stage/stepplayer.h"

// The title: heading, introduction box, four clouds, then the menu; the timer stops at step 11.
std::span<const Action> TitleSteps();

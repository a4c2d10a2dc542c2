#include "stage/stepplayer.h"

#include <QString>
#include <algorithm>

#include "stage/module1.h"
#include "stage/steptimer.h"
#include "draw/canvas.h"
#include "draw/sprites.h"
#include "draw/text.h"

void PerformAction(const Action& a, StepContext& c) {
    switch (a.what) {
    case Do::Refresh: c.canvas.refresh(); break;
    case Do::ToPersistent: c.canvas.selectPersistent(); break;
    case Do::ToOverlay: c.canvas.selectOverlay(); break;
    case Do::Sprite: DrawSprite(c.canvas, a.text, a.x, a.y); break;
    case Do::BoxedText: DrawBoxedText(c.canvas, Utf8(a.text), a.x, a.y, a.colour, a.size, a.boxColour); break;
    case Do::PlainText: DrawText(c.canvas, Utf8(a.text), a.x, a.y, a.colour, a.size); break;
    case Do::Ellipse: c.canvas.ellipse(a.x, a.y, a.a, a.colour, a.b); break;
    case Do::Line: c.canvas.line(a.x, a.y, a.a, a.b, a.colour); break;
    case Do::FilledBox: c.canvas.filledBox(a.x, a.y, a.a, a.b, a.colour); break;
    case Do::BoxOutline: c.canvas.boxOutline(a.x, a.y, a.a, a.b, a.colour); break;
    case Do::Interval: c.timer.setInterval(a.ms); break;
    case Do::ShowMenu:
        if (c.showMenu) c.showMenu();
        break;
    case Do::StopTimer: c.timer.setEnabled(false); break;
    case Do::AwaitClick: c.state.WaitClick = kWaiting; break;
    case Do::BoldOff: c.canvas.setBold(false); break;
    }
}

void PlayStep(std::span<const Action> table, int step, StepContext& context) {
    for (const Action& action : table)
        if (action.step == step) PerformAction(action, context);
}

int LastStep(std::span<const Action> table) {
    int last = 0;
    for (const Action& action : table) last = std::max(last, int(action.step));
    return last;
}

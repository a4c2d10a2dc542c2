#pragma once
// Every animation is a constant table of small action records, each tagged with the number of the
// step it belongs to. One player performs, in table order, the actions of the current step; a step
// number without entries does nothing and leaves the timer alone.

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

class Canvas;
class StepTimer;
struct Module1;

enum class Do : std::uint8_t {
    Refresh,      // wipe the overlay
    ToPersistent, // later drawing goes into the persistent layer
    ToOverlay,    // later drawing goes to the screen only
    Sprite,       // text = key, at (x, y)
    BoxedText,    // text at (x, y) in colour, size points, on a box of boxColour
    PlainText,    // text at (x, y) in colour, size points
    Ellipse,      // centre (x, y), radius a, aspect b, outline in colour
    Line,         // (x, y)-(a, b) in colour
    FilledBox,    // (x, y)-(a, b) in colour
    BoxOutline,   // (x, y)-(a, b) in colour
    Interval,     // timer interval ms
    ShowMenu,
    StopTimer,
    AwaitClick,   // a finished lesson now waits for a click on the canvas
    BoldOff,      // canvas text regular from now on
};

struct Action {
    std::int16_t step;
    Do what;
    std::string_view text{};  // UTF-8
    float x = 0, y = 0, a = 0, b = 0;
    std::int16_t colour = 0, size = 0, boxColour = 0;
    int ms = 0;
};

namespace act {
constexpr Action refresh(int step) { return {std::int16_t(step), Do::Refresh}; }
constexpr Action toPersistent(int step) { return {std::int16_t(step), Do::ToPersistent}; }
constexpr Action toOverlay(int step) { return {std::int16_t(step), Do::ToOverlay}; }
constexpr Action sprite(int step, std::string_view key, float x, float y) {
    return {std::int16_t(step), Do::Sprite, key, x, y};
}
constexpr Action boxed(int step, std::string_view text, float x, float y, int colour, int size, int box) {
    return {std::int16_t(step), Do::BoxedText, text, x, y, 0, 0, std::int16_t(colour), std::int16_t(size),
            std::int16_t(box)};
}
constexpr Action plain(int step, std::string_view text, float x, float y, int colour, int size) {
    return {std::int16_t(step), Do::PlainText, text, x, y, 0, 0, std::int16_t(colour), std::int16_t(size)};
}
constexpr Action ellipse(int step, float x, float y, float r, int colour, float aspect) {
    return {std::int16_t(step), Do::Ellipse, {}, x, y, r, aspect, std::int16_t(colour)};
}
constexpr Action line(int step, float x1, float y1, float x2, float y2, int colour) {
    return {std::int16_t(step), Do::Line, {}, x1, y1, x2, y2, std::int16_t(colour)};
}
constexpr Action filledBox(int step, float x1, float y1, float x2, float y2, int colour) {
    return {std::int16_t(step), Do::FilledBox, {}, x1, y1, x2, y2, std::int16_t(colour)};
}
constexpr Action boxOutline(int step, float x1, float y1, float x2, float y2, int colour) {
    return {std::int16_t(step), Do::BoxOutline, {}, x1, y1, x2, y2, std::int16_t(colour)};
}
constexpr Action interval(int step, int ms) {
    Action a{std::int16_t(step), Do::Interval};
    a.ms = ms;
    return a;
}
constexpr Action showMenu(int step) { return {std::int16_t(step), Do::ShowMenu}; }
constexpr Action stopTimer(int step) { return {std::int16_t(step), Do::StopTimer}; }
constexpr Action awaitClick(int step) { return {std::int16_t(step), Do::AwaitClick}; }
constexpr Action boldOff(int step) { return {std::int16_t(step), Do::BoldOff}; }
}  // namespace act

// What a step may touch.
struct StepContext {
    Canvas& canvas;
    StepTimer& timer;
    Module1& state;
    std::function<void()> showMenu;
};

void PerformAction(const Action& action, StepContext& context);
void PlayStep(std::span<const Action> table, int step, StepContext& context);

// The highest step number of a table: the step after which the animation has ended.
int LastStep(std::span<const Action> table);

// Plays steps first..last in a row, as their ticks would, but at once: what the steps do to the
// timer is kept aside and handed back, for the real timer to go on from there.
struct AfterSteps {
    int intervalMs;  // the interval in force after the last step played
    bool timerOn;    // false if a step stopped the timer
};
AfterSteps PlayStepsAtOnce(std::span<const Action> table, int first, int last, int intervalMs, Canvas& canvas,
                           Module1& state);

// When each step comes, in ms after the start, with the start's interval and the table's own:
// element s for step s (element 0 is the start itself, at 0).
std::vector<int> StepTimes(std::span<const Action> table, int firstIntervalMs);

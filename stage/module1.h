#pragma once
// The program's global state: which animation the timer drives, where it is, and the simulator's
// air parcel. One instance lives in the window for the whole run.

struct Module1 {
    int SceneMode = 0;   // 0 title, 1 cloud lesson, 2 mountain lesson, 3 front lesson, 4 simulator
    int StepCount = 0;   // current step of the running animation; 0 before its first tick
    int WaitClick = 0;   // -1 while a finished lesson waits for a canvas click
    int IntroState = 0;  // 1 until the first title; then 2, or the quit answer (6 yes, 7 no)
    double Kion = 0;     // parcel temperature, degrees C, -10.5 ... 36
    double Situdo = 0;   // relative humidity, %, 0 ... 100
    double Takasa = 0;   // altitude, m, 0 ... 2000 in steps of 100
};

enum SceneModes { kSceneTitle = 0, kSceneDekikata = 1, kSceneYama = 2, kSceneZensen = 3, kSceneTukuru = 4 };
inline constexpr int kWaiting = -1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

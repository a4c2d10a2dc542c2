#pragma once
// The desktop's voice for read-aloud: Qt's text-to-speech where Qt has it (Linux: speech-dispatcher,
// whose espeak-ng voice speaks Japanese kana), SAPI 5 on Windows (the Japanese voices of a Japanese
// Windows). Made after the window is up, since reaching the speech service takes a while.

#include <memory>

class SpeechEngine;

std::unique_ptr<SpeechEngine> MakeDesktopSpeech();

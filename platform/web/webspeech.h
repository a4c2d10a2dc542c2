#pragma once
// The browser's voice for read-aloud: the Web Speech API (speechSynthesis) with a Japanese voice,
// a local one where there is one, the page's script (web/page.js) speaking for the program.

#include <memory>

class SpeechEngine;

std::unique_ptr<SpeechEngine> MakeWebSpeech();

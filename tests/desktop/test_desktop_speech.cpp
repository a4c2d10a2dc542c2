// The desktop's voice where there is no Japanese one: under Wine, which has no Japanese voice, the
// engine says why, so that read-aloud is greyed with its reason.

#include <gtest/gtest.h>

#include "app/speechengine.h"
#include "platform/desktop/speech.h"

#ifdef _WIN32
#include <windows.h>

TEST(DesktopSpeech, UnderWineItSaysWhyItCannotSpeak) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) GTEST_SKIP() << "a real Windows: its voices decide";
    const auto engine = MakeDesktopSpeech();
    ASSERT_TRUE(engine);
    EXPECT_TRUE(engine->unavailable() == NoJapaneseVoice() ||
                engine->unavailable() == QStringLiteral("音声の仕組みが使えません"))
        << engine->unavailable().toStdString();
    engine->say(QStringLiteral("くも"));  // refused quietly, never a crash
}
#endif

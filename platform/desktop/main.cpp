// ペルモラ: how clouds form, in short animations for schoolchildren.

#include <QApplication>
#include <QTimer>

#include "platform/desktop/commandline.h"
#include "platform/desktop/displayerror.h"
#include "platform/desktop/language.h"
#include "platform/desktop/speech.h"
#include "app/readaloud.h"
#include "app/riloform.h"
#include "draw/fonts.h"

#ifdef Q_OS_WIN
// Text is rasterised by FreeType, as on Linux: it synthesises the bold of the captions where the
// Gothic face has no bold style, which the default DirectWrite engine does not do reliably.
static void preferFreeTypeText() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
}
#endif

constexpr int kSpeechAfterMs = 1000;

int main(int argc, char** argv) {
    if (const auto exitCode = handleCommandLine(argc, argv)) return *exitCode;
#ifdef Q_OS_WIN
    preferFreeTypeText();
#endif
    DisplayGuard displayGuard(argc, argv);
    QApplication app(argc, argv);
    displayGuard.displayOpened();
#ifdef Q_OS_WIN
    QApplication::setFont(japaneseGothic(9, false));  // the quit question and every standard dialog
#endif
    QApplication::setApplicationName(QStringLiteral("perumora"));
    PrepareDesktopApplication(app);
    RiloForm form;
    form.Form_Load();
    // Reaching the speech service takes a while: once the title is on the screen.
    QTimer::singleShot(kSpeechAfterMs, &form, [&form] { form.readAloud().setEngine(MakeDesktopSpeech()); });
    return app.exec();
}

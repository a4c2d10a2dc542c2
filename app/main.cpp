// ペルモラ: how clouds form, in short animations for schoolchildren.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/language.h"
#include "app/riloform.h"
#include "draw/fonts.h"

namespace {

// Without this check Qt aborts with a long plugin message when there is no screen to open on.
bool displayMissing() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS) && !defined(Q_OS_ANDROID)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

#ifdef Q_OS_WIN
// Text is rasterised by FreeType, as on Linux: it synthesises the bold of the captions where the
// Gothic face has no bold style, which the default DirectWrite engine does not do reliably.
void preferFreeTypeText() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
}
#endif

}  // namespace

int main(int argc, char** argv) {
    if (displayMissing()) {
        std::fprintf(stderr, "perumora: no display found: start it from a desktop session (DISPLAY is not set)\n");
        return EXIT_FAILURE;
    }
#ifdef Q_OS_WIN
    preferFreeTypeText();
#endif
    QApplication app(argc, argv);
#ifdef Q_OS_WIN
    QApplication::setFont(japaneseGothic(9, false));  // the quit question and every standard dialog
#endif
    QApplication::setApplicationName(QStringLiteral("perumora"));
    PrepareDesktopApplication(app);
    RiloForm form;
    form.Form_Load();
    return app.exec();
}

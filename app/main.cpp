// ペルモラ: how clouds form, in short animations for schoolchildren.

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/language.h"
#include "app/riloform.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (displayMissing()) {
        std::fprintf(stderr, "perumora: no display found: start it from a desktop session (DISPLAY is not set)\n");
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("perumora"));
    PrepareDesktopApplication(app);
    RiloForm form;
    form.Form_Load();
    return app.exec();
}

// ペルモラ: how clouds form, in short animations for schoolchildren.

#include <QApplication>

#include "app/commandline.h"
#include "app/displayerror.h"
#include "app/riloform.h"

int main(int argc, char** argv) {
    if (const auto exitCode = handleCommandLine(argc, argv)) return *exitCode;
    DisplayGuard displayGuard(argc, argv);
    QApplication app(argc, argv);
    displayGuard.displayOpened();
    QApplication::setApplicationName(QStringLiteral("perumora"));
    QApplication::setApplicationDisplayName(QStringLiteral("ペルモラ"));
    RiloForm form;
    form.Form_Load();
    return app.exec();
}

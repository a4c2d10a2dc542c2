// ペルモラ in a browser page: the same window as on the desktop, with the Japanese face that
// travels with the page and the page's toolbar, live region and end screen tied to it.

#include <QApplication>
#include <QTimer>

#include "app/riloform.h"
#include "platform/web/page.h"

int main(int argc, char** argv) {
    // No input method: the program has no text to type, and Qt's hidden text field for one would
    // stand in the page as an unlabelled input.
    qputenv("QT_IM_MODULE", "none");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("perumora"));
    UseTravellingFont();
    // The start in three turns of the browser's event loop (Qt, the window, its first picture), so
    // that the page's main thread is never held for the whole of it.
    QTimer::singleShot(0, [] {
        auto* form = new RiloForm;  // lives with the page: exec() hands control to the browser and returns no more
        QTimer::singleShot(0, form, [form] {
            ConnectToPage(*form);
            form->Form_Load();
        });
    });
    return app.exec();
}

#pragma once
// When Qt cannot open any display it gives up with a long message and an abort. The program says
// instead, in one line, which display it tried and what to do, and exits with 1.

#include <QString>
#include <QStringList>

// Where the program was asked to show its window, read from the command line and the environment.
struct DisplayRequest {
    QString platforms;       // the Qt platform plugins tried, in order, separated by ';'
    QString platformSource;  // "-platform", "QT_QPA_PLATFORM", or empty for Qt's default choice
    QString x11Display;      // DISPLAY
    QString waylandDisplay;  // WAYLAND_DISPLAY
};

DisplayRequest displayRequest(const QStringList& arguments);  // reads the environment too

// The one line for Qt's fatal message about the platform plugin, or an empty string when the fatal
// message is about something else.
QString displayFailureLine(const DisplayRequest& request, const QString& qtFatalMessage, bool japanese);

// Held around the construction of the QApplication: Qt's messages are kept back until the display
// is open, and a failure to open it ends the program with the one line and exit code 1.
class DisplayGuard {
public:
    DisplayGuard(int argc, char** argv);
    ~DisplayGuard();
    void displayOpened();  // passes the messages kept back to the usual output

    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
};

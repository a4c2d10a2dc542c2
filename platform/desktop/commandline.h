#pragma once
// The program's command line: its own options (--help, --version) among the ones Qt itself takes.
// Parsed before the QApplication exists, so that --help and --version work without a display.

#include <QString>
#include <QStringList>
#include <optional>

struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, UnknownOption, MissingValue };
    Action action = Action::Run;
    QString offending;  // the unknown option, or the option whose value is missing
};

CommandLine parseCommandLine(const QStringList& arguments);  // arguments without the program name
QStringList argumentsOf(int argc, char** argv);              // the same, from main's argv

// Whether messages for the person at the keyboard are written in Japanese (from the system locale).
bool japaneseMessages();

QString helpText();
QString versionText();                                 // "perumora 1.1.0"
QString commandLineErrorLine(const CommandLine& line, bool japanese);

// Prints help, version or the error for this command line; returns the exit code, or nothing when
// the program should start.
std::optional<int> handleCommandLine(int argc, char** argv);

// The command line and the start without a display: the options read directly, then the real
// program run as a child process, as a teacher or an administrator would start it.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "platform/desktop/commandline.h"
#include "platform/desktop/displayerror.h"

namespace {

using Action = CommandLine::Action;

TEST(CommandLineParse, OwnOptionsQtOptionsAndStrangers) {
    struct Case {
        QStringList arguments;
        Action action;
        QString offending;
    };
    const Case cases[] = {
        {{}, Action::Run, {}},
        {{"--help"}, Action::ShowHelp, {}},
        {{"-h"}, Action::ShowHelp, {}},
        {{"--version"}, Action::ShowVersion, {}},
        {{"-platform", "offscreen", "--version"}, Action::ShowVersion, {}},
        {{"-platform", "--help"}, Action::Run, {}},  // "--help" is the platform's name here, as Qt reads it
        {{"--platform", "xcb", "-style=Fusion", "-reverse", "-qwindowgeometry", "640x400"}, Action::Run, {}},
        {{"-style", "Fusion", "--frobnicate"}, Action::UnknownOption, "--frobnicate"},
        {{"lesson1.txt"}, Action::UnknownOption, "lesson1.txt"},
        {{"-"}, Action::UnknownOption, "-"},
        {{"-platform"}, Action::MissingValue, "-platform"},
        {{"--bogus", "--help"}, Action::UnknownOption, "--bogus"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.offending, c.offending) << c.arguments.join(' ').toStdString();
    }
}

const QString kQtGivesUp = QStringLiteral(
    "This application failed to start because no Qt platform plugin could be initialized. Reinstalling the "
    "application may fix this problem.\n\nAvailable platform plugins are: minimal, offscreen, xcb.\n");

TEST(DisplayFailureLine, NamesTheDisplayTriedAndWhatToDo) {
    struct Case {
        DisplayRequest request;
        QString qtMessages;
        QStringList wanted;
    };
    const QString xcbFailed = QStringLiteral("could not connect to display :3\n") + kQtGivesUp;
    const QString waylandMissing = QStringLiteral("Could not find the Qt platform plugin \"wayland\" in \"\"\n");
    const QString nosuchMissing = QStringLiteral("Could not find the Qt platform plugin \"nosuch\" in \"\"\n");
    const Case cases[] = {
        {{"xcb", "", ":3", ""}, xcbFailed, {"\":3\" (DISPLAY)", "start perumora from the desktop"}},
        {{"xcb", "", "", ""}, xcbFailed, {"DISPLAY is not set"}},
        {{"wayland;xcb", "", ":3", "wayland-1"},
         waylandMissing + xcbFailed,
         {"Wayland display (Qt's Wayland support is not installed) and the X display \":3\"",
          "start perumora from the desktop"}},
        {{"wayland", "QT_QPA_PLATFORM", "", "wayland-1"},
         waylandMissing + kQtGivesUp,
         {"install the package qt6-wayland"}},
        {{"wayland", "QT_QPA_PLATFORM", "", ""},
         kQtGivesUp,
         {"\"wayland-0\" (WAYLAND_DISPLAY is not set)", "inside a Wayland desktop session"}},
        {{"xcb", "", ":0", ""},
         QStringLiteral("Could not find the Qt platform plugin \"xcb\" in \"\"\n") + kQtGivesUp,
         {"install the package qt6-qpa-plugins"}},
        {{"nosuch", "QT_QPA_PLATFORM", ":0", ""},
         nosuchMissing + kQtGivesUp,
         {"\"nosuch\", which does not exist", "unset QT_QPA_PLATFORM", "minimal, offscreen, xcb"}},
        {{"nosuch:opt=1", "-platform", ":0", ""}, nosuchMissing + kQtGivesUp, {"use -platform xcb"}},
        {{"linuxfb", "-platform", "", ""},
         QStringLiteral("no screens available"),
         {"platform \"linuxfb\"; use -platform xcb or"}},
    };
    for (const Case& c : cases) {
        const QString line = displayFailureLine(c.request, c.qtMessages, false);
        EXPECT_EQ(line.count(QLatin1Char('\n')), 1) << line.toStdString();
        EXPECT_TRUE(line.startsWith(QLatin1String("perumora: cannot open a window: tried "))) << line.toStdString();
        EXPECT_FALSE(line.contains(QLatin1String("einstall"))) << line.toStdString();
        for (const QString& part : c.wanted) EXPECT_TRUE(line.contains(part)) << line.toStdString();
    }
    EXPECT_TRUE(
        displayFailureLine({"xcb", "", "", ""}, xcbFailed, true).contains(QStringLiteral("ウィンドウを開けません")));
    EXPECT_TRUE(displayFailureLine({"xcb", "", "", ""}, QStringLiteral("ASSERT: \"x\" in file y"), false).isEmpty())
        << "any other fatal error stays Qt's own";
}

// The real program, with a clean environment of its own.
struct ChildRun {
    int exitCode = -1;
    bool crashed = false;
    QString out, err;
};

ChildRun runPerumora(const QStringList& arguments, const QStringList& environment = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "LANGUAGE"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const QString& assignment : environment) env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PERUMORA_BINARY), arguments);
    const bool finished = process.waitForFinished(60000);
    if (!finished) process.kill();
    ChildRun run;
    run.crashed = !finished || process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

#if defined(Q_OS_WIN)
// A windowed (GUI-subsystem) program on Windows: whether its output reaches a pipe depends on the console.
#define SKIP_ON_WINDOWS() GTEST_SKIP() << "windowed program: its console output is not checked on Windows"
#else
#define SKIP_ON_WINDOWS() (void)0
#endif

TEST(ProgramCommandLine, HelpAndVersionNeedNoDisplay) {
    SKIP_ON_WINDOWS();
    const ChildRun help = runPerumora({QStringLiteral("--help")});
    EXPECT_FALSE(help.crashed);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    for (const char* part :
         {"使い方", "Usage: perumora", "--version", "Shift+Tab", "Ctrl+0", "F11", "Pause", "Home", "ゆっくり", "右クリック"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(part))) << part;

    const ChildRun version =
        runPerumora({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("perumora " PERUMORA_VERSION "\n"));
}

TEST(ProgramCommandLine, UnknownOptionIsNamedInOneLineWithExitCode2) {
    SKIP_ON_WINDOWS();
    const ChildRun english =
        runPerumora({QStringLiteral("-style"), QStringLiteral("Fusion"), QStringLiteral("--colour")});
    EXPECT_FALSE(english.crashed);
    EXPECT_EQ(english.exitCode, 2);
    EXPECT_EQ(english.err, QStringLiteral("perumora: unknown option \"--colour\"; see \"perumora --help\"\n"));
    EXPECT_TRUE(english.out.isEmpty());

    const ChildRun japanese = runPerumora({QStringLiteral("--colour")}, {QStringLiteral("LC_ALL=ja_JP.UTF-8")});
    EXPECT_EQ(japanese.exitCode, 2);
    EXPECT_TRUE(japanese.err.contains(QStringLiteral("「--colour」というオプションはありません")))
        << japanese.err.toStdString();
}

#if defined(Q_OS_LINUX)
TEST(ProgramDisplayErrors, OneLineNamingTheDisplayAndExitCode1) {
    QTemporaryDir runtimeDir;  // a Wayland socket directory in which no compositor listens
    ASSERT_TRUE(runtimeDir.isValid());
    struct Case {
        QStringList arguments, environment;
        QString named;
    };
    const Case cases[] = {
        {{}, {}, "DISPLAY is not set"},
        {{}, {"DISPLAY=:4871"}, "\":4871\""},
        {{},
         {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=perumora-none", "XDG_RUNTIME_DIR=" + runtimeDir.path()},
         "Wayland display"},
        {{"-platform", "nosuchdisplay"}, {"DISPLAY=:4871"}, "\"nosuchdisplay\""},
        {{}, {"QT_QPA_PLATFORM=nosuchdisplay"}, "unset QT_QPA_PLATFORM"},
    };
    for (const Case& c : cases) {
        const ChildRun run = runPerumora(c.arguments, c.environment);
        const std::string context =
            (c.arguments + c.environment).join(' ').toStdString() + ": " + run.err.toStdString();
        EXPECT_FALSE(run.crashed) << context;
        EXPECT_EQ(run.exitCode, 1) << context;
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << context;
        EXPECT_TRUE(run.err.startsWith(QLatin1String("perumora: cannot open a window: tried "))) << context;
        EXPECT_TRUE(run.err.contains(c.named)) << context;
        EXPECT_FALSE(run.err.contains(QLatin1String("einstall"))) << context;
        EXPECT_TRUE(run.out.isEmpty()) << context;
    }
}
#endif

}  // namespace

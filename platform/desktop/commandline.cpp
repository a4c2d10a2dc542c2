#include "platform/desktop/commandline.h"

#include <QLocale>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Qt's own options: QApplication takes them out of argv itself, so they need only to be let through,
// together with the value that follows those that take one.
const QStringList kQtOptionsWithValue = {QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
                                         QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
                                         QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowtitle"),
                                         QStringLiteral("qwindowicon"),     QStringLiteral("geometry"),
                                         QStringLiteral("title"),           QStringLiteral("icon"),
                                         QStringLiteral("display"),         QStringLiteral("name"),
                                         QStringLiteral("session"),         QStringLiteral("style"),
                                         QStringLiteral("stylesheet"),      QStringLiteral("qmljsdebugger")};
const QStringList kQtFlags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                              QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("testability")};

// "-platform" and "--platform" are the same to Qt; "-style=fusion" carries its value.
QString optionName(const QString& argument) {
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return name.section(QLatin1Char('='), 0, 0);
}

void writeTo(std::FILE* stream, const QString& text) {
#ifdef Q_OS_WIN
    std::fprintf(stream, "%s", text.toLocal8Bit().constData());  // the console's own code page
#else
    std::fprintf(stream, "%s", text.toUtf8().constData());
#endif
    std::fflush(stream);
}

#ifdef Q_OS_WIN
// The program is a windowed one: its output goes where it was redirected, or else into the console
// it was started from.
void useParentConsole() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::FILE* ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
}
#endif

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return {CommandLine::Action::ShowHelp, {}};
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            return {CommandLine::Action::ShowVersion, {}};
        if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2)
            return {CommandLine::Action::UnknownOption, argument};
        const QString name = optionName(argument);
        if (kQtFlags.contains(name)) continue;
        if (!kQtOptionsWithValue.contains(name)) return {CommandLine::Action::UnknownOption, argument};
        if (argument.contains(QLatin1Char('='))) continue;
        if (i + 1 >= arguments.size()) return {CommandLine::Action::MissingValue, argument};
        ++i;
    }
    return {};
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

bool japaneseMessages() { return QLocale::system().language() == QLocale::Japanese; }

QString versionText() { return QStringLiteral("perumora " PERUMORA_VERSION "\n"); }

QString helpText() {
    return QStringLiteral(
        "ペルモラ " PERUMORA_VERSION " — 雲のでき方を、短いアニメーションと日本語の説明で学ぶ"
        "小学生向けのプログラム\n"
        "Perumora " PERUMORA_VERSION " — how clouds form, in short animations with Japanese captions, "
        "for schoolchildren\n"
        "\n"
        "使い方 / Usage: perumora [オプション / options]\n"
        "\n"
        "  -h, --help          この説明を表示する / show this help\n"
        "  -v, --version       バージョンを表示する / show the version\n"
        "  -platform NAME      Qt の表示方式（xcb、wayland など）/ Qt's display platform (xcb, wayland, ...)\n"
        "  Qt のほかのオプション（-style など）も使えます / Qt's other options (-style, ...) work too\n"
        "\n"
        "キー / Keys:\n"
        "  Tab, Shift+Tab      ボタンからボタンへ移る / move between the buttons\n"
        "  Space, Enter        ボタンを押す、終わったレッスンを閉じる / press the button; end a finished lesson\n"
        "  Ctrl++, Ctrl+=      拡大 / zoom in\n"
        "  Ctrl+-              縮小 / zoom out\n"
        "  Ctrl+0              元の大きさ / original size\n"
        "  Ctrl+9              画面に合わせる / fit to the screen\n"
        "  F11                 全画面（Esc でもどる）/ full screen (Escape leaves it)\n"
        "  P, Pause            アニメーションを止める・続ける / pause or resume the animation\n"
        "  ←, →                前の場面・次の場面 / previous or next scene of the lesson\n"
        "  →, Enter            タイトルをとばす（→ は説明も）/ skip the title (Right: the instructions too)\n"
        "  Home                レッスンを最初から / the lesson from its start\n"
        "  S                   ゆっくり（もう一度で元の速さ）/ slow motion on or off\n"
        "  F                   ふりがな: なし→学年→すべて / ruby: none, by grade, every kanji\n"
        "  V                   読み上げ（もう一度で止める）/ read the captions aloud, or stop\n"
        "  右クリック / right-click   同じコマンドのメニュー / a menu with the same commands\n");
}

QString commandLineErrorLine(const CommandLine& line, bool japanese) {
    static const char* const kLines[2][2] = {
        {"perumora: unknown option \"%1\"; see \"perumora --help\"\n",
         "perumora: 「%1」というオプションはありません。使い方は perumora --help で見られます\n"},
        {"perumora: option \"%1\" needs a value; see \"perumora --help\"\n",
         "perumora: オプション「%1」には値が必要です。使い方は perumora --help で見られます\n"}};
    const bool missingValue = line.action == CommandLine::Action::MissingValue;
    return QString::fromUtf8(kLines[missingValue][japanese]).arg(line.offending);
}

std::optional<int> handleCommandLine(int argc, char** argv) {
    const CommandLine line = parseCommandLine(argumentsOf(argc, argv));
    if (line.action == CommandLine::Action::Run) return std::nullopt;
#ifdef Q_OS_WIN
    useParentConsole();
#endif
    switch (line.action) {
        case CommandLine::Action::ShowHelp:
            writeTo(stdout, helpText());
            return 0;
        case CommandLine::Action::ShowVersion:
            writeTo(stdout, versionText());
            return 0;
        default:
            writeTo(stderr, commandLineErrorLine(line, japaneseMessages()));
            return 2;
    }
}

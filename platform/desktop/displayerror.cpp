#include "platform/desktop/displayerror.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/desktop/commandline.h"

namespace {

// Messages are written in the language of the person at the keyboard: Japanese or English.
QString say(bool ja, const char* english, const char* japanese) { return QString::fromUtf8(ja ? japanese : english); }

bool isX11(const QString& plugin) { return plugin == QLatin1String("xcb"); }
bool isWayland(const QString& plugin) { return plugin.startsWith(QLatin1String("wayland")); }

bool pluginMissing(const QString& plugin, const QString& qtMessages) {
    return qtMessages.contains(QStringLiteral("Could not find the Qt platform plugin \"%1\"").arg(plugin));
}

QString availablePlugins(const QString& qtMessages) {
    static const QRegularExpression available(QStringLiteral("Available platform plugins are: ([^\\n]*)\\."));
    return available.match(qtMessages).captured(1);
}

// What one attempt was: "the X display ":0" (DISPLAY)" and the like.
QString attempt(const QString& plugin, const DisplayRequest& request, const QString& qtMessages, bool ja) {
    const bool missing = pluginMissing(plugin, qtMessages);
    if (isX11(plugin)) {
        if (missing)
            return say(ja, "the X display (Qt's X11 support is not installed)",
                       "X ディスプレイ（Qt の X11 用部品が入っていません）");
        if (request.x11Display.isEmpty())
            return say(ja, "the X display (DISPLAY is not set)", "X ディスプレイ（DISPLAY が設定されていません）");
        return say(ja, "the X display \"%1\" (DISPLAY)", "X ディスプレイ「%1」（DISPLAY）").arg(request.x11Display);
    }
    if (isWayland(plugin)) {
        if (missing)
            return say(ja, "the Wayland display (Qt's Wayland support is not installed)",
                       "Wayland ディスプレイ（Qt の Wayland 用部品が入っていません）");
        if (request.waylandDisplay.isEmpty())  // Qt then tries the usual first socket
            return say(ja, "the Wayland display \"wayland-0\" (WAYLAND_DISPLAY is not set)",
                       "Wayland ディスプレイ「wayland-0」（WAYLAND_DISPLAY が設定されていません）");
        return say(ja, "the Wayland display \"%1\" (WAYLAND_DISPLAY)", "Wayland ディスプレイ「%1」（WAYLAND_DISPLAY）")
            .arg(request.waylandDisplay);
    }
    if (missing)
        return say(ja, "the display platform \"%1\", which does not exist", "表示方式「%1」（存在しません）")
            .arg(plugin);
    return say(ja, "the display platform \"%1\"", "表示方式「%1」").arg(plugin);
}

QString chooseAnother(const DisplayRequest& request, const QString& qtMessages, bool ja) {
    const QString others = availablePlugins(qtMessages);
    const QString available =
        others.isEmpty() ? QString() : say(ja, " (available here: %1)", "（使えるもの: %1）").arg(others);
    if (request.platformSource == QLatin1String("QT_QPA_PLATFORM"))
        return say(ja, "unset QT_QPA_PLATFORM or set it to xcb or wayland",
                   "QT_QPA_PLATFORM を消すか、xcb か wayland にしてください") + available;
    return say(ja, "use -platform xcb or -platform wayland", "-platform xcb か -platform wayland を使ってください") +
           available;
}

// What to do, for the first attempt whose cause the person can remove.
QString advice(const QStringList& plugins, const DisplayRequest& request, const QString& qtMessages, bool ja) {
    for (const QString& plugin : plugins) {
        if (!pluginMissing(plugin, qtMessages)) continue;
        if (isX11(plugin))
            return say(ja, "install the package qt6-qpa-plugins", "qt6-qpa-plugins パッケージを入れてください");
        if (isWayland(plugin) && request.platformSource.isEmpty()) continue;  // Qt went on to the X display
        if (isWayland(plugin))
            return say(ja, "install the package qt6-wayland, or use the X display with -platform xcb",
                       "qt6-wayland パッケージを入れるか、-platform xcb で X ディスプレイを使ってください");
        return chooseAnother(request, qtMessages, ja);
    }
    const bool onlyOtherPlatforms = std::none_of(
        plugins.begin(), plugins.end(), [](const QString& plugin) { return isX11(plugin) || isWayland(plugin); });
    if (onlyOtherPlatforms && !request.platformSource.isEmpty()) return chooseAnother(request, qtMessages, ja);
    if (plugins.size() == 1 && isWayland(plugins.first()))
        return say(ja, "start perumora inside a Wayland desktop session, or use the X display with -platform xcb",
                   "Wayland のデスクトップの中で起動するか、-platform xcb で X ディスプレイを使ってください");
    return say(ja, "start perumora from the desktop of a logged-in session, or set DISPLAY to a running X server",
               "ログインしたデスクトップから起動するか、DISPLAY に動いている X サーバーを設定してください");
}

// Kept back while the QApplication is being made.
struct KeptMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

struct GuardState {
    std::mutex mutex;
    QtMessageHandler previous = nullptr;
    DisplayRequest request;
    std::vector<KeptMessage> kept;
};
GuardState guard;

QString keptText() {
    QStringList lines;
    for (const KeptMessage& message : guard.kept) lines << message.text;
    return lines.join(QLatin1Char('\n'));
}

[[noreturn]] void exitWithLine(const QString& line) {
    std::fprintf(stderr, "%s", line.toUtf8().constData());
    std::fflush(stderr);
    std::_Exit(1);  // mid-way through Qt's start-up: nothing of it is safe to tear down
}

void keepBack(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    std::lock_guard lock(guard.mutex);
    if (type == QtFatalMsg) {
        const QString line =
            displayFailureLine(guard.request, keptText() + QLatin1Char('\n') + text, japaneseMessages());
        if (!line.isEmpty()) exitWithLine(line);
        for (const KeptMessage& m : guard.kept)
            guard.previous(m.type, QMessageLogContext(nullptr, 0, nullptr, m.category.constData()), m.text);
        guard.previous(type, context, text);
        return;
    }
    guard.kept.push_back({type, QByteArray(context.category), text});
}

}  // namespace

DisplayRequest displayRequest(const QStringList& arguments) {
    DisplayRequest request;
    request.x11Display = qEnvironmentVariable("DISPLAY");
    request.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i)  // Qt takes the last -platform given
        if (arguments[i] == QLatin1String("-platform") || arguments[i] == QLatin1String("--platform")) {
            request.platforms = arguments[i + 1];
            request.platformSource = QStringLiteral("-platform");
        }
    if (request.platforms.isEmpty() && !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        request.platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
        request.platformSource = QStringLiteral("QT_QPA_PLATFORM");
    }
    if (request.platforms.isEmpty()) {
        const bool waylandSession = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
        request.platforms =
            waylandSession || !request.waylandDisplay.isEmpty() ? QStringLiteral("wayland;xcb") : QStringLiteral("xcb");
    }
    return request;
}

QString displayFailureLine(const DisplayRequest& request, const QString& qtFatalMessage, bool japanese) {
    if (!qtFatalMessage.contains(QLatin1String("no Qt platform plugin could be initialized")) &&
        !qtFatalMessage.contains(QLatin1String("no screens available")))
        return {};
    QStringList plugins;
    for (const QString& entry : request.platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        plugins << entry.section(QLatin1Char(':'), 0, 0);  // "xcb:option=value"
    QStringList tried;
    for (const QString& plugin : plugins) tried << attempt(plugin, request, qtFatalMessage, japanese);
    const QString separator = japanese ? QStringLiteral("、") : QStringLiteral(" and ");
    return say(japanese, "perumora: cannot open a window: tried %1; %2\n",
               "perumora: ウィンドウを開けません。試したもの: %1。%2\n")
        .arg(tried.join(separator), advice(plugins, request, qtFatalMessage, japanese));
}

DisplayGuard::DisplayGuard(int argc, char** argv) {
    std::lock_guard lock(guard.mutex);
    guard.request = displayRequest(argumentsOf(argc, argv));
    guard.kept.clear();
    guard.previous = qInstallMessageHandler(keepBack);
}

DisplayGuard::~DisplayGuard() {
    if (guard.previous) displayOpened();
}

void DisplayGuard::displayOpened() {
    std::vector<KeptMessage> kept;
    QtMessageHandler previous = nullptr;
    {
        std::lock_guard lock(guard.mutex);
        if (qGuiApp && QGuiApplication::screens().isEmpty())  // a platform without a screen, such as linuxfb
            exitWithLine(displayFailureLine(guard.request, keptText() + QStringLiteral("\nno screens available"),
                                            japaneseMessages()));
        std::swap(previous, guard.previous);
        kept.swap(guard.kept);
    }
    qInstallMessageHandler(previous);
    for (const KeptMessage& m : kept)
        previous(m.type, QMessageLogContext(nullptr, 0, nullptr, m.category.constData()), m.text);
}

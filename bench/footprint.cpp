// Start-up time, idle CPU and peak memory of the program against a minimal Qt program that only
// opens a 643 x 404 window with one label, measured in the same run:
//   footprint            all three, with the targets
// Each figure comes from fresh child processes of this same program (--child=...).

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include "app/canvaswidget.h"
#include "app/riloform.h"
#include "app/viewcontrols.h"
#include "tests/tour/peakmemory.h"

namespace {


double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Written through at once: a pipe's buffer would hold the word until the process ends, and the
// figure would take in the teardown of the window and of Qt too. With the processor time the
// process has had since it began, which another job on the machine disturbs far less than the clock.
void tellReady() {
    std::printf("cpu %.3f\nready\n", cpuSeconds() * 1000);
    std::fflush(stdout);
}

// Quits the event loop after the first paint of the watched widget.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
    bool seen = false;
};

int minimalWindow(bool stayForMemory) {
    QWidget window;
    window.setFixedSize(643, 404);
    QLabel label(QStringLiteral("ペルモラ"), &window);
    label.move(20, 20);
    FirstPaint painted(&label);
    window.show();
    QApplication::exec();
    if (stayForMemory) std::printf("memory %ld\n", peakResidentKb());
    tellReady();
    return 0;
}

int programStart() {
    RiloForm form;
    FirstPaint painted(form.Picture1);
    form.Form_Load();
    QApplication::exec();  // until the title's first frame is on the screen
    tellReady();
    return 0;
}

enum class Rest { Menu, WaitingLesson, PausedLesson };

// Brings the real program to a resting state, then measures its CPU time over 10 s: the menu, a
// finished lesson waiting for its click, or a lesson paused a quarter of a second after its start.
int idle(Rest rest) {
    RiloForm form;
    form.Form_Load();
    QTimer poll;
    double cpuAtRest = -1;
    QElapsedTimer resting;
    bool lessonStarted = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (cpuAtRest >= 0) {
            const double share = (cpuSeconds() - cpuAtRest) / (resting.nsecsElapsed() / 1e9) * 100;
            std::printf("idle %.4f\n", share);
            QApplication::quit();
            return;
        }
        const bool stopped = !form.Timer1().isEnabled();
        if (rest != Rest::Menu && !lessonStarted) {
            if (stopped) {
                lessonStarted = true;
                form.YamaCmd->click();
            }
            return;
        }
        if (rest == Rest::PausedLesson && !form.Timer1().isPaused()) {
            form.view().togglePause();
            return;  // measured from the next poll, once the pause mark is on screen
        }
        if (rest != Rest::PausedLesson && !stopped) return;
        poll.setInterval(10000);  // sleep through the measurement
        cpuAtRest = cpuSeconds();
        resting.start();
    });
    poll.start(250);
    return QApplication::exec();
}

// ---- the driver ----

QString self;

QString runChild(const QString& mode, double* elapsedMs = nullptr) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM"))) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    child.start(mode.startsWith('/') ? mode : self, mode.startsWith('/') ? QStringList{} : QStringList{"--child=" + mode});
    QString output;
    while (child.waitForReadyRead(120000)) {
        output += QString::fromLocal8Bit(child.readAll());
        if (output.contains(QStringLiteral("ready")) && elapsedMs) *elapsedMs = clock.nsecsElapsed() / 1e6;
        if (output.contains(QStringLiteral("ready")) || output.contains(QStringLiteral("idle ")) ||
            output.contains(QStringLiteral("tour:")))
            break;
    }
    child.waitForFinished(120000);
    return output;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double numberAfter(const QString& output, const QString& key) {
    const int at = output.indexOf(key);
    return at < 0 ? -1 : output.mid(at + key.size()).section(QLatin1Char('\n'), 0, 0).trimmed().section(' ', 0, 0).toDouble();
}

int driver() {
    std::vector<double> floor, program, floorCpu, programCpu;
    for (int i = 0; i < 31; ++i) {  // enough pairs for a steady median on a busy machine
        double ms = 0;
        floorCpu.push_back(numberAfter(runChild(QStringLiteral("minimal"), &ms), QStringLiteral("cpu ")));
        floor.push_back(ms);
        programCpu.push_back(numberAfter(runChild(QStringLiteral("start"), &ms), QStringLiteral("cpu ")));
        program.push_back(ms);
    }
    const double startRatio = median(program) / median(floor);
    std::printf("start-up to the first frame on screen: program %.1f ms, minimal Qt window %.1f ms, ratio %.2f "
                "(target <= 1.1) %s\n",
                median(program), median(floor), startRatio, startRatio <= 1.1 ? "ok" : "MISSED");
    std::printf("  processor time until then: program %.1f ms, minimal Qt window %.1f ms, ratio %.2f\n",
                median(programCpu), median(floorCpu), median(programCpu) / median(floorCpu));

    const QString tourPath = QFileInfo(self).absolutePath() + QStringLiteral("/../tests/perumora_tour");
    const double tourKb = numberAfter(runChild(tourPath), QStringLiteral("peak resident memory"));
    const double floorKb = numberAfter(runChild(QStringLiteral("minimal-memory")), QStringLiteral("memory"));
    const double memoryRatio = tourKb / floorKb;
    std::printf("peak resident memory: full tour %.0f kB, minimal Qt window %.0f kB, ratio %.2f (target <= 1.1) %s\n",
                tourKb, floorKb, memoryRatio, memoryRatio <= 1.1 ? "ok" : "MISSED");

    std::printf("idle CPU over 10 s (this takes about a minute)...\n");
    std::fflush(stdout);
    const double menu = numberAfter(runChild(QStringLiteral("idle-menu")), QStringLiteral("idle"));
    const double waiting = numberAfter(runChild(QStringLiteral("idle-waiting")), QStringLiteral("idle"));
    const double paused = numberAfter(runChild(QStringLiteral("idle-paused")), QStringLiteral("idle"));
    std::printf("idle CPU: menu %.3f %%, finished lesson waiting %.3f %%, paused lesson %.3f %% of one core "
                "(target < 0.1) %s\n",
                menu, waiting, paused, menu < 0.1 && waiting < 0.1 && paused < 0.1 ? "ok" : "MISSED");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QApplication app(argc, argv);
    self = QCoreApplication::applicationFilePath();
    if (mode == QLatin1String("--child=minimal")) return minimalWindow(false);
    if (mode == QLatin1String("--child=minimal-memory")) return minimalWindow(true);
    if (mode == QLatin1String("--child=start")) return programStart();
    if (mode == QLatin1String("--child=idle-menu")) return idle(Rest::Menu);
    if (mode == QLatin1String("--child=idle-waiting")) return idle(Rest::WaitingLesson);
    if (mode == QLatin1String("--child=idle-paused")) return idle(Rest::PausedLesson);
    return driver();
}

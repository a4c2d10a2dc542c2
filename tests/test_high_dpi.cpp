// On a screen with device pixel ratio 2 the canvas is enlarged pixel for pixel, never blurred.
// The check runs in a child process started with QT_SCALE_FACTOR=2, since the scale factor is
// fixed when the application starts.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#if QT_CONFIG(process)
#include <QProcess>
#endif

#include "app/canvaswidget.h"
#include "draw/palette.h"
#include "harness.h"

namespace {

const char* const kChildFlag = "PERUMORA_HIGH_DPI_CHILD";

TEST(HighDpi, CanvasIsCrispAtScaleFactorTwo) {
    if (qEnvironmentVariableIsSet(kChildFlag)) GTEST_SKIP() << "this is the child";
#if !QT_CONFIG(process)
    GTEST_SKIP() << "no child processes on this platform (WebAssembly)";
#else
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QString::fromLatin1(kChildFlag), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=HighDpiChild.*")});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
#endif
}

TEST(HighDpiChild, OnePixelBecomesASharpTwoByTwoBlock) {
    if (!qEnvironmentVariableIsSet(kChildFlag)) GTEST_SKIP() << "runs only in the child process";
    Harness h;
    h.form->Form_Load();
    Canvas& canvas = h.form->canvas;
    canvas.selectOverlay();
    canvas.filledBox(0, 0, 639, 399, 15);
    canvas.filledBox(100, 100, 100, 100, 12);  // one red pixel on white

    const QPixmap shot = h.form->Picture1->grab();
    ASSERT_EQ(shot.devicePixelRatio(), 2.0);
    const QImage image = shot.toImage();
    const int x0 = 2 * (CanvasWidget::kBorder + 100), y0 = 2 * (CanvasWidget::kBorder + 100);
    for (int dy = -1; dy <= 2; ++dy)
        for (int dx = -1; dx <= 2; ++dx) {
            const bool inside = dx >= 0 && dx < 2 && dy >= 0 && dy < 2;
            const QRgb expected = inside ? QBColor(12) : QBColor(15);
            EXPECT_EQ(image.pixel(x0 + dx, y0 + dy) | 0xFF000000u, expected) << dx << "," << dy;
        }
}

}  // namespace

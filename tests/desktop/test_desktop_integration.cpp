// What the desktop start-up adds around the window: Qt's own texts in Japanese, and the desktop
// entry that names the window under Wayland.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTranslator>

#include "platform/desktop/language.h"

namespace {

TEST(QtTexts, JapaneseWhereTheSystemHasThem) {
    QTranslator translator;
    if (!LoadQtJapanese(translator)) GTEST_SKIP() << "no qtbase_ja.qm on this system";
    const QString cancel = translator.translate("QPlatformTheme", "Cancel");
    EXPECT_FALSE(cancel.isEmpty());
    EXPECT_NE(cancel, QStringLiteral("Cancel"));
}

TEST(Desktop, WindowIsTiedToItsDesktopEntry) {
    PrepareDesktopApplication(*static_cast<QApplication*>(QCoreApplication::instance()));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.perumora.Perumora"));
}

}  // namespace

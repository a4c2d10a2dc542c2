#include "platform/desktop/language.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

bool LoadQtJapanese(QTranslator& translator) {
    // Qt's own folder, one beside the program, or the copy built into the program (on Windows).
    const QString places[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
                              QStringLiteral(":/translations")};
    for (const QString& place : places)
        if (translator.load(QStringLiteral("qtbase_ja"), place)) return true;
    return false;
}

void PrepareDesktopApplication(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral("org.perumora.Perumora"));
    auto* translator = new QTranslator(&app);
    if (LoadQtJapanese(*translator))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

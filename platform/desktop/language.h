#pragma once
// The program speaks Japanese only, so Qt's own standard texts must be Japanese too, whatever the
// system's language.

class QApplication;
class QTranslator;

// Loads Qt's Japanese texts from where Qt keeps its translations, or from a "translations" folder
// next to the program; false where the system has none.
bool LoadQtJapanese(QTranslator& translator);

// Qt's Japanese texts where there are any, and the desktop entry that gives the window its name and
// icon under Wayland.
void PrepareDesktopApplication(QApplication& app);

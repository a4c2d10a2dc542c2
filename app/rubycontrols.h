#pragma once
// ふりがな for the pupils who need it: none (as the program has always been), ruby over the kanji not
// learned by the end of a chosen grade, or ruby over every kanji. F goes round the three; the
// context menu chooses the mode and the grade. The canvas, the window's words and the quit question
// take the choice at once; the panel makes room for ruby while it is on. Nothing is remembered.

#include <QObject>
#include <QRect>
#include <vector>

#include "draw/readings.h"

class QAction;
class QActionGroup;
class QMenu;
class QWidget;
class RiloForm;
class RubyPainter;
class ViewControls;

class RubyControls : public QObject {
public:
    RubyControls(RiloForm& form, ViewControls& view);

    void cycle();  // なし -> 学年 -> すべて -> なし
    void setChoice(RubyChoice choice);
    RubyChoice choice() const { return choice_; }
    RubyPainter& painter() { return *painter_; }

    // Where each panel control goes while ruby is on, at 1x: the panel's caption and the seasons'
    // frame and buttons grow for their ruby line.
    struct Placement {
        QWidget* control;
        QRect plain;
        QRect withRuby;
    };
    const std::vector<Placement>& panelPlacements() const { return placements_; }

    QAction* rubyAction = nullptr;  // F; checked while ruby is on
    QMenu* menu = nullptr;          // ふりがな: the modes, then the grade

private:
    void createMenu();
    void placePanel(bool ruby);
    void showChoice();

    RiloForm& form_;
    ViewControls& view_;
    RubyPainter* painter_ = nullptr;
    RubyChoice choice_;
    std::vector<Placement> placements_;
    QActionGroup* modes_ = nullptr;
    QActionGroup* grades_ = nullptr;
};

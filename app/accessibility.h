#pragma once
// What a screen reader learns about the window: the window's and the canvas's roles, the canvas's
// name (the activity) and description (the words written on it now), and the read-outs on the
// simulator's arrow buttons.

#include <QObject>
#include <QString>
#include <functional>

class Canvas;
class QLabel;
class QPushButton;
class QWidget;

// The window is a window and the canvas a picture to assistive technology (a plain widget would be
// a filler). Safe to call more than once.
void InstallAccessibleRoles();

// タイトル, 雲のでき方, 山の雲, 前線 or 雲をつくってみよう.
QString ActivityName(int sceneMode);

// Keeps the canvas view's accessible name and description in step with what the canvas shows. The
// description is the texts visible on the canvas in drawing order, joined by a space, after a word
// on the parcel when it has just become a cloud or stopped being one. Changes made while one event
// is handled are told once, when it is done, so that a step that wipes one caption and writes the
// next is spoken as the new caption alone.
class CanvasNarration : public QObject {
public:
    CanvasNarration(QWidget* view, Canvas& canvas);

    void activityStarted(int sceneMode);
    void parcelDrawn(bool cloud);
    QString parcelNews() const { return parcelNews_; }  // 雲ができました or 雲が消えました, just now
    QString description() const;
    void tell();  // sets the description now, if it has changed

    // Hears every new description, for a listener other than Qt's accessibility (a web page's live
    // region speaks even when no screen reader has attached to Qt).
    std::function<void(const QString& description)> told;

private:
    void tellSoon();

    QWidget* view_;
    Canvas& canvas_;
    bool cloud_ = false;
    QString parcelNews_;
    bool pending_ = false;
};

// The arrow buttons of a read-out row carry the row's read-out as their description, so that a
// press is answered with the new value.
void DescribeArrows(const QLabel* readout, QPushButton* up, QPushButton* down);

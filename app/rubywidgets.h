#pragma once
// Ruby over the window's own words: its buttons, its read-outs, the panel's frames and the quit
// question. Qt's rich text has no ruby, so a watched widget whose text has readings to show is
// painted here, its text moved down under them; one without is left to paint itself. The texts
// themselves never change, so a screen reader reads them plain.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <vector>

#include "draw/readings.h"
#include "draw/ruby.h"

class QLabel;
class QPushButton;
class QWidget;

// A line of text with its ruby above it, the two as one block aligned in `area`.
struct RubyBlock {
    QPointF textAt;  // the text line's top-left corner
    RubyLine ruby;
    QSizeF size;
};
RubyBlock LayOutRubyBlock(const QString& text, const QFont& font, std::span<const RubyRun> runs, const QRect& area,
                          Qt::Alignment alignment, double zoom);

// The room a button's bevel leaves its text, on every side.
inline constexpr int kButtonBevel = 3;

class RubyPainter : public QObject {
public:
    explicit RubyPainter(QObject* parent);

    void setChoice(RubyChoice choice);
    void setZoom(double zoom);
    RubyChoice choice() const { return choice_; }
    // Push buttons, labels and panel frames.
    void watch(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void repaintAll();
    void show(QWidget& widget);
    void paintButton(QPushButton& button, std::span<const RubyRun> runs);
    void paintLabel(QLabel& label, std::span<const RubyRun> runs);

    RubyChoice choice_;
    double zoom_ = 1;
    std::vector<QPointer<QWidget>> watched_;
};

#include "app/rubywidgets.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

#include "app/focus.h"
#include "app/panelframe.h"

RubyBlock LayOutRubyBlock(const QString& text, const QFont& font, std::span<const RubyRun> runs, const QRect& area,
                          Qt::Alignment alignment, double zoom) {
    const QFontMetricsF metrics(font);
    RubyLine ruby = LayOutRuby(text, runs, font, QPointF(0, 0), zoom);
    const double rubyHeight = std::ceil(ruby.ascent);
    const QSizeF size(std::max(metrics.horizontalAdvance(text), ruby.bounds().width()), rubyHeight + metrics.height());
    const QRect block = QStyle::alignedRect(Qt::LeftToRight, alignment, size.toSize(), area);
    const QPointF textAt(block.left(), block.top() + rubyHeight);
    for (RubyPiece& piece : ruby.pieces) piece.rect.translate(textAt);
    return {textAt, ruby, size};
}

RubyPainter::RubyPainter(QObject* parent) : QObject(parent) {}

void RubyPainter::setChoice(RubyChoice choice) {
    if (choice == choice_) return;
    choice_ = choice;
    repaintAll();
}

void RubyPainter::setZoom(double zoom) {
    if (zoom == zoom_) return;
    zoom_ = zoom;
    repaintAll();
}

void RubyPainter::watch(QWidget* widget) {
    watched_.push_back(widget);
    if (!dynamic_cast<PanelFrame*>(widget)) widget->installEventFilter(this);
    show(*widget);
}

void RubyPainter::repaintAll() {
    std::erase_if(watched_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    for (QWidget* widget : watched_) show(*widget);
}

void RubyPainter::show(QWidget& widget) {
    if (auto* frame = dynamic_cast<PanelFrame*>(&widget))
        frame->setTitleRuby(choice_.mode != RubyMode::None, RubyShown(frame->title(), choice_), zoom_);
    widget.update();
}

// While ruby is on, every watched word keeps a ruby line above it, with readings or without, so
// that words side by side stay on one line.
bool RubyPainter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Paint || choice_.mode == RubyMode::None) return false;
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        paintButton(*button, RubyShown(button->text(), choice_));
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(watched)) {
        paintLabel(*label, RubyShown(label->text(), choice_));
        return true;
    }
    return false;
}

// The bevel as the style draws it, without its text; then the text under its ruby, centred.
void RubyPainter::paintButton(QPushButton& button, std::span<const RubyRun> runs) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.features = button.isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
    option.state |= button.isDown() || button.isChecked() ? QStyle::State_Sunken : QStyle::State_Raised;
    QPainter p(&button);
    button.style()->drawControl(QStyle::CE_PushButton, &option, &p, &button);
    const RubyBlock block = LayOutRubyBlock(button.text(), button.font(), runs, button.rect(), Qt::AlignCenter, zoom_);
    const QColor ink = button.palette().color(QPalette::ButtonText);
    p.setFont(button.font());
    p.setPen(ink);
    p.drawText(QRectF(block.textAt, QSizeF(block.size.width(), QFontMetricsF(button.font()).height())),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, button.text());
    DrawRuby(p, block.ruby, ink);
    if (ShowsFocusFrame(&button)) DrawFocusFrame(p, button.rect());
}

void RubyPainter::paintLabel(QLabel& label, std::span<const RubyRun> runs) {
    QPainter p(&label);
    const RubyBlock block =
        LayOutRubyBlock(label.text(), label.font(), runs, label.rect(), label.alignment(), zoom_);
    const QColor ink = label.palette().color(label.foregroundRole());
    p.setFont(label.font());
    p.setPen(ink);
    p.drawText(QRectF(block.textAt, QSizeF(block.size.width(), QFontMetricsF(label.font()).height())),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label.text());
    DrawRuby(p, block.ruby, ink);
}

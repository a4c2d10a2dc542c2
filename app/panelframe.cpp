#include "app/panelframe.h"

#include <QFontMetricsF>
#include <QPainter>
#include <qdrawutil.h>

#include "draw/ruby.h"

void PanelFrame::setTitleRuby(bool on, std::vector<RubyRun> runs, double zoom) {
    if (on == rubyOn_ && runs == titleRuby_ && zoom == zoom_) return;
    rubyOn_ = on;
    titleRuby_ = std::move(runs);
    zoom_ = zoom;
    update();
}

void PanelFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(kBackground));
    const QFontMetrics metrics(font());
    const int rubyHeight = rubyOn_ ? int(std::ceil(QFontMetricsF(RubyFont(font(), zoom_)).ascent())) : 0;
    const RubyLine ruby = LayOutRuby(title(), titleRuby_, font(), QPointF(10, rubyHeight), zoom_);
    const int lineY = rubyHeight + metrics.height() / 2;
    qDrawShadeRect(&p, QRect(0, lineY, width(), height() - lineY), palette(), true, 1, 0);

    const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, rubyHeight + metrics.height());
    p.fillRect(caption, QColor::fromRgb(kBackground));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(caption.adjusted(0, rubyHeight, 0, 0), Qt::AlignCenter | Qt::TextSingleLine, title());
    DrawRuby(p, ruby, palette().color(QPalette::WindowText));
}

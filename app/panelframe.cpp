#include "app/panelframe.h"

#include <QPainter>
#include <qdrawutil.h>

void PanelFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(kBackground));
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    qDrawShadeRect(&p, QRect(0, lineY, width(), height() - lineY), palette(), true, 1, 0);

    const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
    p.fillRect(caption, QColor::fromRgb(kBackground));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, title());
}

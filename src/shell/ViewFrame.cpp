#include "shell/ViewFrame.h"

#include "platform/ui/Twips.h"

#include <QPainter>

ViewFrame::ViewFrame(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void ViewFrame::paintDecorations(QPainter &painter)
{
    const QColor outline(0xE0, 0xE0, 0xE0);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    // A shape's outline lies on its last pixel row and column, as the design measures it.
    painter.drawRect(TwipsRect(120, 1080, 2955, 1275).adjusted(0, 0, -1, -1));
    painter.drawRect(TwipsRect(135, 2430, 4380, 1560).adjusted(0, 0, -1, -1));
    painter.drawLine(TwipsToPixels(135), TwipsToPixels(3435), TwipsToPixels(4500), TwipsToPixels(3435));
}

void ViewFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintDecorations(painter);
}

#pragma once

#include <QImage>
#include <QPainter>

class QWidget;

// Drives the pointer through the window system as a user would, so mouse grabs and the widget under
// the pointer behave as on screen. Points are in the widget's coordinates.
struct Pointer {
    static void MoveTo(QWidget *widget, QPoint pos);
    static void Press(QWidget *widget, QPoint pos) { Button(widget, pos, true); }
    static void Release(QWidget *widget, QPoint pos) { Button(widget, pos, false); }
    static void Button(QWidget *widget, QPoint pos, bool press);
};

// A control's paint function run on an image filled with `fill`.
template <class Control> QImage Render(const Control &control, QColor fill = Qt::magenta)
{
    QImage image(control.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    QPainter painter(&image);
    control.paint(painter);
    return image;
}

// Whether any pixel of the image has the colour, alpha aside.
inline bool HasColor(const QImage &image, QRgb color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF))
                return true;
    return false;
}

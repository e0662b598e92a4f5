#pragma once

#include <QCursor>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <QWindow>

// Drives the pointer through the window system as a user would, so mouse grabs and the widget under
// the pointer behave as on screen. Points are in the widget's coordinates.
struct Pointer {
    static void MoveTo(QWidget *widget, QPoint pos)
    {
        QCursor::setPos(widget->mapToGlobal(pos));
        QCoreApplication::processEvents();
    }
    static void Press(QWidget *widget, QPoint pos) { Button(widget, pos, true); }
    static void Release(QWidget *widget, QPoint pos) { Button(widget, pos, false); }
    static void Button(QWidget *widget, QPoint pos, bool press)
    {
        MoveTo(widget, pos);
        QWindow *window = widget->window()->windowHandle();
        const QPoint at = window->mapFromGlobal(widget->mapToGlobal(pos));
        if (press)
            QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
        else
            QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
    }
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
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto *pixels = reinterpret_cast<const QRgb *>(rgb.constBits());
    return std::count(pixels, pixels + rgb.width() * rgb.height(), color | 0xFF000000) > 0;
}

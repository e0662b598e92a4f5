#pragma once

#include <QPointF>
#include <QRect>
#include <cmath>

// Designs are kept in twips: 15 twips make a pixel at 96 dpi.
constexpr double TwipsPerPixel = 15.0;

inline int TwipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

inline QPointF PixelsToTwips(const QPointF &pixels)
{
    return pixels * TwipsPerPixel;
}

// Each of the four values rounded on its own, as an element placed in twips is drawn.
inline QRect TwipsRect(double left, double top, double width, double height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

inline QRect TwipsRect(const QRectF &twips)
{
    return TwipsRect(twips.left(), twips.top(), twips.width(), twips.height());
}

#pragma once

#include <QRect>
#include <cmath>

// Designs are kept in twips: 15 twips make a pixel at 96 dpi.
inline int TwipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

#pragma once

#include "controls/ControlSupport.h"

#include <QColor>
#include <QFontMetricsF>
#include <QSize>
#include <QStringList>

class QPainter;

// The button grid of the last layout.
struct ToolBarGrid {
    double CellWidth = 0;
    double CellHeight = 0;
    qint32 RowCount = 0;
};

// Rounds to the nearest integer, ties to even, as the drawing arithmetic does throughout.
int RoundEven(double value);

// Word-wraps text into lines narrower than length pixels, cutting after the last delimiter that fits.
QStringList SplitToLines(QString sText, double lLength, bool bFilterLines, const QFontMetricsF &metrics);

// The drawing primitives, on the classic coordinates: a line covers its start and stops before its end.
void DrawButtonFrame(QPainter &p, quint32 color, int x, int y, int w, int h, bool sunken, bool inner);
// mode 1 the picture, 0 and -1 its grey silhouette (the disabled and the shadow look).
void DrawButtonIcon(QPainter &p, const StdPicture &picture, const QRectF &cell, int mode);
void DrawButtonText(QPainter &p, const QString &text, double x, double y, double w, double h, int align);
void PaintGradient(QPainter &p, int x, int y, int w, int h, quint32 color1, quint32 color2, int mode, bool inOrder);
// A filled rectangle with its outline, right and bottom exclusive.
void FilledRectangle(QPainter &p, int left, int top, int right, int bottom, const QColor &fill, const QColor &pen);
void TileBitmap(QPainter &p, const StdPicture &picture, int x1, int y1, int x2, int y2);

#include "toolbar/ToolBarDraw.h"

#include "platform/ui/Colors.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A horizontal or vertical line that covers its start and stops before its end.
void Line(QPainter &p, int x1, int y1, int x2, int y2, const QColor &color)
{
    if (y1 == y2 && x2 > x1)
        p.fillRect(QRect(x1, y1, x2 - x1, 1), color);
    else if (x1 == x2 && y2 > y1)
        p.fillRect(QRect(x1, y1, 1, y2 - y1), color);
}

// Black and white as the silhouette test sees them: a bitmap's white is its background.
bool Opaque(QRgb pixel, bool bitmap)
{
    if (qAlpha(pixel) < 128)
        return false;
    return !(bitmap && (pixel & 0x00FFFFFFu) == 0x00FFFFFFu);
}

// Where a line may break: anything but an ASCII letter or an underscore.
bool IsDelim(QChar c)
{
    const ushort code = c.unicode();
    return !((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == '_');
}

// One ramp from c1 to c2: across (1), down (3) or along either diagonal (5, 6).
void FillGradient(QPainter &p, int x, int y, int w, int h, quint32 c1, quint32 c2, int mode)
{
    if (w < 1 || h < 1)
        return;
    const bool diagonal = mode == 5 || mode == 6;
    if (mode != 1 && mode != 3 && !diagonal)
        return;
    const int n = mode == 1 ? w : mode == 3 ? h : w + h - 1;
    // Step k of n; the stored colours are 0x00BBGGRR.
    const auto ramp = [&](int k) {
        int channel[3];
        for (int c = 0; c < 3; ++c) {
            const int a = static_cast<int>((c1 >> (8 * c)) & 0xFF);
            const int b = static_cast<int>((c2 >> (8 * c)) & 0xFF);
            channel[c] = n > 1 ? a + (b - a) * k / (n - 1) : a;
        }
        return qRgb(channel[0], channel[1], channel[2]);
    };
    QImage pixels(w, h, QImage::Format_RGB32);
    for (int row = 0; row < pixels.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(pixels.scanLine(row));
        for (int col = 0; col < w; ++col)
            line[col] = ramp(mode == 1 ? col : mode == 3 ? row : mode == 5 ? col + row : (w - 1 - col) + row);
    }
    p.drawImage(x, y, pixels);
}

} // namespace

int RoundEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double clamped =
        std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    return static_cast<int>(std::nearbyint(clamped));
}

QStringList SplitToLines(QString sText, double lLength, bool bFilterLines, const QFontMetricsF &metrics)
{
    if (bFilterLines)
        sText.remove(QStringLiteral("\r\n"));
    QStringList lines;
    QString line;
    for (const QChar c : std::as_const(sText)) {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + c) >= lLength) {
            qsizetype cut = line.size() - 1;
            while (cut >= 0 && !IsDelim(line[cut]))
                --cut;
            if (cut >= 0) {
                lines << line.left(cut + 1).trimmed();
                line = line.mid(cut + 1);
            } else {
                lines << line.trimmed();
                line.clear();
            }
        }
        line += c;
    }
    // A remainder of blanks (the space callers append) joins the last line instead of making one.
    if (!line.trimmed().isEmpty() || lines.isEmpty())
        lines << line.trimmed();
    return lines;
}

void DrawButtonFrame(QPainter &p, quint32 color, int x, int y, int w, int h, bool sunken, bool inner)
{
    const QColor light = ToQColor(BlendColor(color, 0xFFFFFF, 70));
    const QColor dark = ToQColor(BlendColor(color, 0, 70));
    DrawEdges(p, QRect(x, y, w, h), sunken ? dark : light, sunken ? light : dark);
    if (inner) {
        const QColor deep = ToQColor(BlendColor(color, 0, 250));
        Line(p, x + w - 2, y + 1, x + w - 2, y + h - 2, deep);
        Line(p, x + 1, y + h - 2, x + w - 2, y + h - 2, deep);
    }
}

void DrawButtonIcon(QPainter &p, const StdPicture &picture, const QRectF &cell, int mode)
{
    if (picture.isNull() || mode < -1)
        return;
    const int left = RoundEven(cell.x() + (cell.width() - picture.Width()) / 2);
    const int top = RoundEven(cell.y() + (cell.height() - picture.Height()) / 2);
    if (mode == 1) {
        p.drawImage(left, top, picture.Image);
        return;
    }
    QImage mono(picture.Image.size(), QImage::Format_ARGB32);
    mono.fill(Qt::transparent);
    const bool bitmap = picture.Type == StdPicture::Bitmap;
    for (int row = 0; row < mono.height(); ++row) {
        const auto *src = reinterpret_cast<const QRgb *>(picture.Image.constScanLine(row));
        auto *dst = reinterpret_cast<QRgb *>(mono.scanLine(row));
        for (int col = 0; col < mono.width(); ++col)
            if (Opaque(src[col], bitmap))
                dst[col] = qRgb(128, 128, 128);
    }
    p.drawImage(left, top, mono);
}

void DrawButtonText(QPainter &p, const QString &text, double x, double y, double w, double h, int align)
{
    const int flags = align == 1 ? Qt::AlignHCenter : align == 2 ? Qt::AlignRight : Qt::AlignLeft;
    const int left = RoundEven(x);
    const int top = RoundEven(y);
    const QRect rect(left, top, RoundEven(x + w) - left, RoundEven(y + h) - top);
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    p.drawText(rect, flags | Qt::AlignTop | Qt::TextShowMnemonic, text);
}

void PaintGradient(QPainter &p, int x, int y, int w, int h, quint32 color1, quint32 color2, int mode, bool inOrder)
{
    if (mode < 1 || mode > 6)
        return;
    quint32 first = TranslateColor(color1);
    quint32 second = TranslateColor(color2);
    if (!inOrder)
        std::swap(first, second);
    switch (mode) {
    case 1:
    case 3:
    case 5:
    case 6:
        FillGradient(p, x, y, w, h, first, second, mode);
        break;
    case 2:
        FillGradient(p, x, y, w / 2, h, first, second, 1);
        FillGradient(p, x + w / 2, y, w - w / 2, h, second, first, 1);
        break;
    case 4:
        FillGradient(p, x, y, w, h / 2, first, second, 3);
        FillGradient(p, x, y + h / 2, w, h - h / 2, second, first, 3);
        break;
    }
}

void TileBitmap(QPainter &p, const StdPicture &picture, int x1, int y1, int x2, int y2)
{
    if (picture.Type != StdPicture::Bitmap || picture.Image.isNull() || x2 <= x1 || y2 <= y1)
        return;
    const QPoint oldOrigin = p.brushOrigin();
    p.setBrushOrigin(x1, y1);
    p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), QBrush(picture.Image.convertToFormat(QImage::Format_RGB32)));
    p.setBrushOrigin(oldOrigin);
}

void FilledRectangle(QPainter &p, int left, int top, int right, int bottom, const QColor &fill, const QColor &pen)
{
    if (right <= left || bottom <= top)
        return;
    const QRect r(left, top, right - left, bottom - top);
    p.fillRect(r, fill);
    DrawEdges(p, r, pen, pen);
}

#include "toolbar/ToolBarPaint.h"

#include <algorithm>
#include <cmath>
#include <limits>

int RoundEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double clamped =
        std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    return static_cast<int>(std::nearbyint(clamped));
}

bool IsDelim(QChar c)
{
    const ushort code = c.unicode();
    return !((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == '_');
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

namespace {

qint32 Rows(int count, int perRow)
{
    // Whole part rounds down, so no buttons at all give no rows.
    return static_cast<qint32>(std::floor(double(count - 1) / perRow)) + 1;
}

} // namespace

void LayoutGrid(ToolBarModel &model, ToolBarGrid &grid, const QSize &inner, const QFontMetricsF &metrics)
{
    const int count = model.count();
    if (model.ButtonsPerRow > 0)
        grid.RowCount = Rows(count, model.ButtonsPerRow);
    if (!model.AutoSize) {
        grid.CellHeight = model.ButtonsHeight;
        grid.CellWidth = model.ButtonsWidth;
        for (ButtonRecord &b : model.Buttons)
            b.width = model.ButtonsWidth;
        return;
    }
    // A zero button width has no whole number of columns; one column is all that can be said.
    const double columns = model.ButtonsWidth != 0 ? std::floor(double(inner.width()) / model.ButtonsWidth) : 1.0;
    model.ButtonsPerRow = static_cast<qint32>(std::clamp(columns, 1.0, double(std::numeric_limits<qint32>::max())));
    grid.RowCount = Rows(count, model.ButtonsPerRow);
    grid.CellHeight = double(inner.height()) / std::max(grid.RowCount, 1);
    if (grid.CellHeight < model.ButtonsHeight)
        grid.CellHeight = model.ButtonsHeight;
    if (model.AutoSizeButtons) {
        for (ButtonRecord &b : model.Buttons) {
            const double icon = b.icon.isNull() ? 0.0 : b.icon.Width() + 10.0;
            b.width = RoundEven(icon + metrics.horizontalAdvance(b.caption) + 11);
            b.height = RoundEven(grid.CellHeight);
        }
        return;
    }
    grid.CellWidth = count > model.ButtonsPerRow && !model.WarpSize ? double(inner.width()) / model.ButtonsPerRow
                                                                    : double(model.ButtonsWidth);
    for (ButtonRecord &b : model.Buttons)
        b.width = RoundEven(grid.CellWidth);
}

#include "engine/RunLog.h"

#include <QStringList>

namespace {
const QString kNewLine = QStringLiteral("\r\n");
constexpr qsizetype kPieceChars = 1 << 16;
} // namespace

void RunLog::clear()
{
    m_runs.clear();
    m_lines = 0;
}

void RunLog::append(const QString &line)
{
    if (!m_runs.empty() && m_runs.back().line == line)
        ++m_runs.back().count;
    else
        m_runs.push_back({line, 1});
    ++m_lines;
}

void RunLog::setText(const QString &text)
{
    clear();
    QStringList parts = text.split(kNewLine);
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    for (const QString &line : parts)
        append(line);
}

bool RunLog::stream(const std::function<bool(const QString &piece)> &sink) const
{
    QString piece;
    const auto flush = [&] {
        const bool more = sink(piece);
        piece.clear();
        return more;
    };
    for (const Run &run : m_runs) {
        for (qint64 i = 0; i < run.count; ++i) {
            piece += run.line;
            piece += kNewLine;
            if (piece.size() >= kPieceChars && !flush())
                return false;
        }
    }
    return piece.isEmpty() || flush();
}

QString RunLog::text() const
{
    QString all;
    stream([&all](const QString &piece) {
        all += piece;
        return true;
    });
    return all;
}

QStringList RunLog::lines() const
{
    QStringList all;
    for (const Run &run : m_runs)
        for (qint64 i = 0; i < run.count; ++i)
            all.append(run.line);
    return all;
}

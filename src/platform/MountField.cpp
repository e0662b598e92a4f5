#include "platform/MountField.h"

#include <QRegularExpression>

QString UnescapeMountField(const QString &field)
{
    static const QRegularExpression octal(QStringLiteral("\\\\([0-7]{3})"));
    QString out = field;
    QRegularExpressionMatch m;
    qsizetype from = 0;
    while ((m = octal.match(out, from)).hasMatch()) {
        out.replace(m.capturedStart(), m.capturedLength(), QChar(m.captured(1).toInt(nullptr, 8)));
        from = m.capturedStart() + 1;
    }
    return out;
}

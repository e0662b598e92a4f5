#include "controls/PropertyBag.h"

#include <QFile>
#include <QStringList>

namespace {

// Booleans are kept as the design stores them: True is -1, False 0.
QString ToStoredText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    return value.toString();
}

QString Key(QAnyStringView key)
{
    return key.toString().toLower();
}

} // namespace

const QString *PropertyBag::find(QAnyStringView key) const
{
    const auto it = m_values.constFind(Key(key));
    return it == m_values.constEnd() ? nullptr : &it.value();
}

QVariant PropertyBag::ReadProperty(QAnyStringView key, const QVariant &defaultValue) const
{
    const QString *stored = find(key);
    if (!stored)
        return defaultValue;
    const QString &text = *stored;
    const QString t = text.trimmed().toLower();
    bool ok = false;
    QVariant value;
    switch (defaultValue.typeId()) {
    case QMetaType::Bool:
        ok = t == u"true" || t == u"false";
        value = ok ? t == u"true" : t.toDouble(&ok) != 0;
        break;
    case QMetaType::Int:
        value = t.toInt(&ok);
        break;
    case QMetaType::LongLong:
        value = t.toLongLong(&ok);
        break;
    case QMetaType::UInt:
        value = t.toUInt(&ok);
        break;
    case QMetaType::Double:
        value = t.toDouble(&ok);
        break;
    default:
        return text;
    }
    return ok ? value : defaultValue;
}

void PropertyBag::WriteProperty(QAnyStringView key, const QVariant &value, const QVariant &defaultValue)
{
    // Skipped, not erased: a key written twice keeps its first value when the second is the default.
    if (defaultValue.isValid() && ToStoredText(value) == ToStoredText(defaultValue))
        return;
    m_values.insert(Key(key), ToStoredText(value));
}

quint32 PropertyBag::ReadColor(QAnyStringView key, quint32 defaultValue) const
{
    const QString *stored = find(key);
    if (!stored)
        return defaultValue;
    QString text = stored->trimmed();
    bool ok = false;
    qlonglong n = 0;
    if (text.startsWith(u"&h", Qt::CaseInsensitive)) {
        text = text.mid(2);
        if (text.endsWith(u'&'))
            text.chop(1);
        n = text.toLongLong(&ok, 16);
    } else if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        n = text.mid(2).toLongLong(&ok, 16);
    } else {
        n = text.toLongLong(&ok);
    }
    // A colour is 32 bits wide; negative decimals are the signed form of the system colours.
    if (!ok || n < -2147483648LL || n > 0xFFFFFFFFLL)
        return defaultValue;
    return static_cast<quint32>(n);
}

StdPicture PropertyBag::ReadPicture(QAnyStringView key) const
{
    const QString *stored = find(key);
    return stored ? StdPicture::FromData(QByteArray::fromBase64(stored->toLatin1())) : StdPicture();
}

void PropertyBag::WritePicture(QAnyStringView key, const StdPicture &picture)
{
    if (picture.isNull())
        m_values.remove(Key(key));
    else
        m_values.insert(Key(key), QString::fromLatin1(picture.Data.toBase64()));
}

QFont PropertyBag::ReadFont(QAnyStringView key, const QFont &defaultValue) const
{
    const QString *stored = find(key);
    QFont font;
    return stored && font.fromString(*stored) ? font : defaultValue;
}

void PropertyBag::WriteFont(QAnyStringView key, const QFont &value, const QFont &defaultValue)
{
    WriteProperty(key, value.toString(), defaultValue.toString());
}

QString PropertyBag::toText() const
{
    QString text;
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it) {
        QString value = it.value();
        value.replace(u'\\', QStringLiteral("\\\\"))
            .replace(u'\n', QStringLiteral("\\n"))
            .replace(u'\r', QStringLiteral("\\r"));
        text += it.key() + u'=' + value + u'\n';
    }
    return text;
}

PropertyBag PropertyBag::fromText(const QString &text)
{
    PropertyBag bag;
    for (const QString &line : text.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        QString value;
        const QString raw = line.mid(eq + 1);
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == u'\\' && i + 1 < raw.size()) {
                const QChar e = raw[++i];
                value += e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e;
            } else {
                value += raw[i];
            }
        }
        bag.m_values.insert(line.left(eq).trimmed().toLower(), value);
    }
    return bag;
}

PropertyBag PropertyBag::load(const QString &fileName, bool *ok)
{
    QFile file(fileName);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? fromText(QString::fromUtf8(file.readAll())) : PropertyBag();
}

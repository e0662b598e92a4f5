#pragma once

#include "controls/StdPicture.h"

#include <QFont>
#include <QMap>
#include <QString>
#include <QVariant>

// A control's stored design: key, value and default. Keys compare without regard to case and
// are held in lower case; a value equal to its default is not written.
class PropertyBag {
public:
    // The stored value, converted to the default's type; the default when the key is absent
    // or the stored text does not convert.
    QVariant ReadProperty(const QString &key, const QVariant &defaultValue) const;
    void WriteProperty(const QString &key, const QVariant &value, const QVariant &defaultValue);

    // Colours: 0x00BBGGRR or 0x800000NN, read from decimal (signed or not) or hexadecimal text.
    quint32 ReadColor(const QString &key, quint32 defaultValue) const;
    void WriteColor(const QString &key, quint32 value, quint32 defaultValue);
    // Pictures are kept as their image file, base64-encoded; none is not written.
    StdPicture ReadPicture(const QString &key) const;
    void WritePicture(const QString &key, const StdPicture &picture);
    // Fonts in QFont's text form; a font equal to the default is not written.
    QFont ReadFont(const QString &key, const QFont &defaultValue) const;
    void WriteFont(const QString &key, const QFont &value, const QFont &defaultValue);

    bool contains(const QString &key) const { return m_values.contains(key.toLower()); }
    int size() const { return static_cast<int>(m_values.size()); }
    bool operator==(const PropertyBag &other) const { return m_values == other.m_values; }

    // "key=value" lines; values are kept as text.
    QString toText() const;
    static PropertyBag fromText(const QString &text);
    bool save(const QString &fileName) const;
    static PropertyBag load(const QString &fileName, bool *ok = nullptr);

private:
    QMap<QString, QString> m_values;
};

#pragma once

#include "controls/ControlSupport.h"
#include "controls/StdPicture.h"

#include <QAnyStringView>
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
    QVariant ReadProperty(QAnyStringView key, const QVariant &defaultValue) const;
    void WriteProperty(QAnyStringView key, const QVariant &value, const QVariant &defaultValue);
    // A whole number rounded half to even into field; false, with the field kept, when it does not fit.
    template <typename T> bool ReadWhole(QAnyStringView key, double defaultValue, T &field) const
    {
        const auto value = ToWhole<T>(ReadProperty(key, defaultValue).toDouble());
        field = value.value_or(field);
        return value.has_value();
    }

    // Colours: 0x00BBGGRR or 0x800000NN, read from decimal (signed or not) or hexadecimal text.
    quint32 ReadColor(QAnyStringView key, quint32 defaultValue) const;
    void WriteColor(QAnyStringView key, quint32 value, quint32 defaultValue);
    // Pictures are kept as their image file, base64-encoded; none is not written.
    StdPicture ReadPicture(QAnyStringView key) const;
    void WritePicture(QAnyStringView key, const StdPicture &picture);
    // Fonts in QFont's text form; a font equal to the default is not written.
    QFont ReadFont(QAnyStringView key, const QFont &defaultValue) const;
    void WriteFont(QAnyStringView key, const QFont &value, const QFont &defaultValue);

    bool contains(QAnyStringView key) const { return m_values.contains(key.toString().toLower()); }
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

#pragma once

#include "controls/ControlSupport.h"
#include "controls/StdPicture.h"

#include <QAnyStringView>
#include <QFont>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <type_traits>

// A control's stored design. Keys are held in lower case; a value equal to its default is not written.
class PropertyBag {
public:
    // The stored value in the default's type; the default when absent or the text does not convert.
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
    // Pictures are kept as their image file, base64-encoded; none is not written.
    StdPicture ReadPicture(QAnyStringView key) const;
    void WritePicture(QAnyStringView key, const StdPicture &picture);
    // Fonts in QFont's text form; a font equal to the default is not written.
    QFont ReadFont(QAnyStringView key, const QFont &defaultValue) const;
    void WriteFont(QAnyStringView key, const QFont &value, const QFont &defaultValue);

    bool contains(QAnyStringView key) const { return m_values.contains(key.toString().toLower()); }

    // "key=value" lines; values are kept as text.
    QString toText() const;
    static PropertyBag fromText(const QString &text);
    static PropertyBag load(const QString &fileName, bool *ok = nullptr);

private:
    const QString *find(QAnyStringView key) const; // null when the key is absent

    QMap<QString, QString> m_values;
};

// A control lists key, member and default of each stored property once, for DesignLoad to fill the
// member and DesignSave to write it: loading and saving cannot drift apart.
struct DesignLoad {
    static constexpr bool Loading = true;
    const PropertyBag &bag;
    bool ok = true; // false once a whole number did not fit its member

    template <typename T> void value(QAnyStringView key, T &field, const QVariant &defaultValue)
    {
        field = bag.ReadProperty(key, defaultValue).template value<T>();
    }
    // Rounded half to even; a flag is any number but 0.
    template <typename T> void whole(QAnyStringView key, T &field, double defaultValue)
    {
        if constexpr (std::is_same_v<T, bool>) {
            qint16 number = field ? -1 : 0;
            ok &= bag.ReadWhole(key, defaultValue, number);
            field = number != 0;
        } else {
            ok &= bag.ReadWhole(key, defaultValue, field);
        }
    }
    // "Any number" members keep text that is no number, so it fails where it is used.
    void number(QAnyStringView key, QVariant &field, const QVariant &defaultValue)
    {
        const QString text = bag.ReadProperty(key, defaultValue.toString()).toString();
        bool isNumber = false;
        const double n = text.toDouble(&isNumber);
        field = isNumber ? QVariant(n) : QVariant(text);
    }
    void color(QAnyStringView key, quint32 &field, quint32 defaultValue) { field = bag.ReadColor(key, defaultValue); }
    void picture(QAnyStringView key, StdPicture &field) { field = bag.ReadPicture(key); }
    void enabled(QWidget &control, bool defaultValue)
    {
        control.setEnabled(bag.ReadProperty("Enabled", defaultValue).toBool());
    }
    void font(QWidget &control) { control.setFont(bag.ReadFont("Font", ContainerFont(&control))); }
};

struct DesignSave {
    static constexpr bool Loading = false;
    PropertyBag &bag;

    template <typename T> void value(QAnyStringView key, const T &field, const QVariant &defaultValue)
    {
        bag.WriteProperty(key, QVariant::fromValue(field), defaultValue);
    }
    template <typename T> void whole(QAnyStringView key, const T &field, double defaultValue)
    {
        value(key, field, defaultValue);
    }
    void number(QAnyStringView key, const QVariant &field, const QVariant &defaultValue)
    {
        bag.WriteProperty(key, field, defaultValue);
    }
    void color(QAnyStringView key, quint32 field, quint32 defaultValue) { bag.WriteProperty(key, field, defaultValue); }
    void picture(QAnyStringView key, const StdPicture &field) { bag.WritePicture(key, field); }
    void enabled(const QWidget &control, const QVariant &defaultValue)
    {
        bag.WriteProperty("Enabled", control.isEnabled(), defaultValue);
    }
    void font(const QWidget &control) { bag.WriteFont("Font", control.font(), ContainerFont(&control)); }
};

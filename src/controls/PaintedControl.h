#pragma once

#include <QAccessible>
#include <QImage>
#include <QWidget>
#include <optional>

class QPainter;

// What the painted controls share: the property setter that stores, repaints and reports in one
// call, the enabled state taken from Qt, the picture at any device pixel ratio, and what a screen
// reader is told about them.
class PaintedControl : public QWidget {
    Q_OBJECT
public:
    PaintedControl(QWidget *parent, QAccessible::Role role);

    bool Enabled() const { return isEnabled(); }

    virtual void paint(QPainter &painter) const = 0;
    // The paint() picture at a device pixel ratio; at 2 it has twice the width and the height.
    QImage picture(qreal dpr, const QColor &fill = Qt::transparent) const;

    // For the screen reader: the role, the name when none was set with setAccessibleName, the
    // checked state, and the value of a bar.
    QAccessible::Role accessibleRole() const { return m_role; }
    virtual QString accessibleCaption() const { return QString(); }
    virtual std::optional<bool> accessibleChecked() const { return std::nullopt; }
    virtual std::optional<double> accessibleValue() const { return std::nullopt; }

signals:
    void Click();
    // The host saves the property of this key.
    void PropertyChanged(const QString &key);

protected:
    template <typename T> void store(T &field, const T &value, const char *key)
    {
        field = value;
        update();
        report(key);
    }
    void report(const char *key) { emit PropertyChanged(QString::fromLatin1(key)); }
    // Enabled through any pointer or through a parent: the control redraws its look here.
    virtual void enabledChanged() { update(); }
    void changeEvent(QEvent *event) override;

    void announceName();
    void announceChecked();
    void announceValue();

private:
    QAccessible::Role m_role;
    bool m_ownEnabled = true;
};

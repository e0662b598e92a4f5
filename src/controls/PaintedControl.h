#pragma once

#include "controls/ControlSupport.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Twips.h"

#include <QAccessible>
#include <QImage>
#include <QWidget>
#include <optional>

class QKeyEvent;
class QMouseEvent;
class QPainter;
class QShortcut;

// A stored property: its getter, and a setter that stores, repaints and reports it under its own name.
// clang-format off
#define CONTROL_PROPERTY(Type, Name, field) \
    Type Name() const { return field; } \
    void set##Name(const Type &value) { store(field, value, #Name); }
// clang-format on

// What the painted controls share: stored properties, mouse and key events as the designs raise them,
// enabled state and font from Qt, the picture at any pixel ratio, and what a screen reader is told.
class PaintedControl : public QWidget {
    Q_OBJECT
public:
    PaintedControl(QWidget *parent, QAccessible::Role role);

    bool Enabled() const { return isEnabled(); }
    // Every control stores these three; a control that shows them in its own way overrides the setter.
    quint32 BackColor() const { return m_backColor; }
    virtual void setBackColor(quint32 color) { store(m_backColor, color, "BackColor"); }
    CONTROL_PROPERTY(qint16, BackStyle, m_backStyle)
    virtual QString ToolTipText() const { return m_toolTipText; }
    virtual void setToolTipText(const QString &text) { store(m_toolTipText, text, "ToolTipText"); }
    // The control or, for the text box, one of its inner boxes has the keyboard focus.
    bool HasFocus() const { return m_hasFocus; }
    virtual QFont Font() const { return font(); }
    // The mouse pointer over the control: a shape number, 99 for MouseIcon.
    qint16 MousePointer() const { return m_mousePointer; }
    void setMousePointer(qint16 pointer);
    const StdPicture &MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const StdPicture &icon);

    virtual void paint(QPainter &painter) const = 0;
    // The paint() picture at a device pixel ratio; at 2 it has twice the width and the height.
    QImage picture(qreal dpr, const QColor &fill = Qt::transparent) const;

    // For the screen reader: role, name unless setAccessibleName gave one, checked state, a bar's value.
    QAccessible::Role accessibleRole() const { return m_role; }
    virtual QString accessibleCaption() const { return QString(); }
    virtual std::optional<bool> accessibleChecked() const { return std::nullopt; }
    virtual std::optional<double> accessibleValue() const { return std::nullopt; }
    // As Space does: focus, then press and release. Alt and the caption's marked letter do it too.
    void pressByKeyboard();

    // A tooltip of one element: its text at a point, empty off it; nothing where Qt's own serves.
    virtual std::optional<QString> toolTipAt(const QPoint &) const { return std::nullopt; }

signals:
    void Click();
    void DblClick();
    // Button: left 1, right 2, middle 4; Shift: Shift 1, Ctrl 2, Alt 4; X and Y in twips.
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void KeyDown(qint16 KeyCode, qint16 Shift);
    // A handler may change KeyAscii; 0 drops the key, and with it the click of Enter and Space.
    void KeyPress(qint16 &KeyAscii);
    void KeyUp(qint16 KeyCode, qint16 Shift);
    // The host saves the property of this key.
    void PropertyChanged(const QString &key);
    void Resize();

protected:
    template <typename T> void store(T &field, const T &value, const char *key)
    {
        field = value;
        update();
        report(key);
    }
    void report(const char *key) { emit PropertyChanged(QString::fromLatin1(key)); }
    // MouseDown, MouseMove, MouseUp or DblClick by the event's type, at a point in twips.
    void raiseMouse(const QMouseEvent *event, const QPointF &twips);
    void raiseMouse(const QMouseEvent *event);
    // KeyDown or KeyUp, and KeyPress for a character: the KeyAscii the handlers left, 0 for none.
    qint16 raiseKey(const QKeyEvent *event);
    // The widget the mouse pointer is set on.
    virtual QWidget *pointerWidget() { return this; }
    void applyPointer() { ApplyMousePointer(pointerWidget(), m_mousePointer, m_mouseIcon); }

    // Lays the elements out for a new size, before Resize is raised.
    virtual void arrange() { update(); }
    void resizeEvent(QResizeEvent *) override
    {
        arrange();
        emit Resize();
    }
    // Enabled or font changed, also through a parent; only the control's own setting is reported.
    virtual void enabledChanged() { update(); }
    virtual void fontChanged() { update(); }
    // The focus came or went; the look that shows it is redrawn here.
    virtual void focusChanged(const QFocusEvent *) { update(); }
    void focusInEvent(QFocusEvent *event) override { focusEvent(event); }
    void focusOutEvent(QFocusEvent *event) override { focusEvent(event); }
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

    // A new caption: the screen reader is told the new name, and Alt with the letter after a single
    // "&" presses the control (no mark, no shortcut).
    void captionChanged(const QString &caption);
    // The back colour over the whole surface, unless BackStyle is 0 (transparent).
    void paintBack(QPainter &painter) const;

    quint32 m_backColor = SystemColor::ButtonFace;
    qint16 m_backStyle = 0;
    QString m_toolTipText;
    bool m_hasFocus = false;
    qint16 m_mousePointer = 0;
    StdPicture m_mouseIcon;
    bool m_iconSetsPointer = false; // a new MouseIcon switches the pointer to it

private:
    void focusEvent(QFocusEvent *event);

    QAccessible::Role m_role;
    bool m_ownEnabled = true;
    QShortcut *m_mnemonic = nullptr;
};

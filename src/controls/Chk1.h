#pragma once

#include "controls/PaintedControl.h"
#include "platform/ui/WindowHook.h"

#include <QRectF>
#include <QVariant>

class PropertyBag;

// The window's check box: a painted mark and a caption that follows the mouse through the window hook.
// A left press, Enter or Space toggles the mark and flashes it while window events go on.
class Chk1 : public PaintedControl, public HookOwner {
    Q_OBJECT
public:
    // The mark, by the character the symbol font shows for it.
    enum class Mark { Empty = 0xA8, Cross = 0xFD, Check = 0xFE };
    // Setting DoExternalChange while the container designs its controls is not permitted.
    static constexpr int ErrSetNotPermitted = 387;

    explicit Chk1(QWidget *parent = nullptr);

    void Redraw();

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    void setToolTipText(const QString &text) override;
    // Any number, in points; a value that is no number fails where it is used.
    QVariant Size() const { return m_size; }
    void setSize(const QVariant &points) { redrawn(m_size, points, "Size"); }
    qint32 Style() const { return m_style; }
    void setStyle(qint32 style) { redrawn(m_style, style, "Style"); }
    CONTROL_PROPERTY(bool, UnderlineOnMOver, m_underlineOnMOver)
    void setBackColor(quint32 color) override { redrawn(m_backColor, color, "BackColor"); }
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);
    quint32 HighColor() const { return m_highColor; }
    void setHighColor(quint32 color) { redrawn(m_highColor, color, "HighColor"); }
    bool Checked() const { return m_checked; }
    void setChecked(bool checked);
    CONTROL_PROPERTY(bool, Animation, m_animation)
    CONTROL_PROPERTY(quint32, AnimColor1, m_animColor1)
    CONTROL_PROPERTY(quint32, AnimColor2, m_animColor2)
    CONTROL_PROPERTY(quint32, ClickColor, m_clickColor)
    CONTROL_PROPERTY(QVariant, Anim_Speed, m_animSpeed)
    CONTROL_PROPERTY(QVariant, Anim_Duration, m_animDuration)
    qint32 ColorSet() const { return m_colorSet; }
    void setColorSet(qint32 preset);
    CONTROL_PROPERTY(bool, IsOptionBtn, m_isOptionBtn)
    bool DoExternalChange() const { return m_doExternalChange; }
    // 0, or ErrSetNotPermitted at design time (nothing is stored then).
    int setDoExternalChange(bool external);

    // Run mode (true) or the container's design mode: no hooks and no DoExternalChange at design time.
    void setUserMode(bool userMode) { m_userMode = userMode; }

    bool ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // Anim_Duration cycles of AnimColor1 and AnimColor2, Anim_Speed seconds each; false for no number.
    bool ClickAnimation();

    void zSubclass_Proc(bool bBefore, bool &bHandled, qint32 &lReturn, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &wParam,
                        qint32 &lParam) override;

    // State, elements in twips and their colours, for the looks and for tests.
    bool IsInside() const { return m_isInside; }
    Mark ShownMark() const { return m_mark; }
    QRectF MarkRect() const { return m_label1; }
    QRectF CaptionRect() const { return m_label2; }
    quint32 MarkColor() const { return m_label1Color; }
    quint32 CaptionColor() const { return m_label2Color; }
    bool CaptionUnderlined() const { return m_label2Underline; }
    const HookTable &Hooks() const { return m_hooks; }

    void paint(QPainter &painter) const override;
    QString accessibleCaption() const override { return m_caption; }
    std::optional<bool> accessibleChecked() const override { return m_checked; }
    // The mark alone, as drawn in a cell of the given pixel size.
    static void paintMark(QPainter &painter, const QRectF &cell, Mark mark, const QColor &color);

protected:
    void fontChanged() override { Redraw(); }
    void arrange() override { Redraw(); }
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override { raiseKey(event); }
    void focusChanged(const QFocusEvent *) override { Redraw(); }

private:
    // How the caption is measured and drawn: one line, a "&" marking the letter to underline.
    static constexpr int CaptionFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;

    template <typename Self, typename Design> static void Properties(Self &c, Design &d);
    template <typename T> void redrawn(T &field, const T &value, const char *key)
    {
        store(field, value, key);
        Redraw();
    }
    void Toggle();
    void SetLabelColors(quint32 color);

    QString m_caption = QStringLiteral("Check");
    QVariant m_size = 13;
    qint32 m_style = 1;
    bool m_underlineOnMOver = true;
    quint32 m_foreColor = 0;
    quint32 m_highColor = 0;
    bool m_checked = false;
    bool m_animation = true;
    quint32 m_animColor1 = 0x404040;
    quint32 m_animColor2 = 0x808080;
    quint32 m_clickColor = 0x404040;
    QVariant m_animSpeed = 0.08;
    QVariant m_animDuration = 2;
    qint32 m_colorSet = 1;
    bool m_isOptionBtn = false;
    bool m_doExternalChange = false;
    bool m_userMode = true;

    // Elements in twips: the mark, whose font size follows Size, and the caption.
    double m_markPoints = 9.75;
    QRectF m_label1;
    quint32 m_label1Color = 0;
    Mark m_mark = Mark::Empty;
    QRectF m_label2;
    quint32 m_label2Color = 0;
    bool m_label2Underline = false;

    bool m_isInside = false;
    MousePosition m_lastMove;
    HookTable m_hooks{this};
};

#pragma once

#include "controls/ControlSupport.h"
#include "controls/PaintedControl.h"
#include "controls/WindowHook.h"

#include <QPlainTextEdit>
#include <QWidget>

class QLineEdit;
class PropertyBag;

// The multi-line inner box: a plain text edit that can refuse typing beyond a length, as a
// single-line box does.
class MultiLineBox : public QPlainTextEdit {
public:
    explicit MultiLineBox(QWidget *parent = nullptr);
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int Room() const;
    int m_maxLength = 0; // 0: no limit
};

// The window's text box: two inner edit boxes, multi-line Text1 and single-line Text2, in a flat
// frame that shows a sunken one-pixel edge while the mouse is over the box or it has the focus.
// Style picks the box that is shown (Text1 for 1) and the one Text and the selection work on
// (Text1 for 0); the text is mirrored between the two.
class Txt : public PaintedControl, public HookOwner {
    Q_OBJECT
public:
    explicit Txt(QWidget *parent = nullptr);
    ~Txt() override;

    void RefreshText();

    quint32 BackColor() const;
    void setBackColor(quint32 color);
    QFont Font() const;
    void setFont(const QFont &font) { m_text1->setFont(font); report("Font"); }
    quint32 ForeColor() const;
    void setForeColor(quint32 color);
    bool FontItalic() const;
    void setFontItalic(bool italic);
    QString FontName() const;
    void setFontName(const QString &name);
    float FontSize() const;
    bool setFontSize(float points);
    bool FontStrikethru() const;
    void setFontStrikethru(bool strikethru);
    bool FontUnderline() const;
    void setFontUnderline(bool underline);
    bool Locked() const;
    void setLocked(bool locked) { m_text1->setReadOnly(locked); report("Locked"); }
    qint32 MaxLength() const;
    void setMaxLength(qint32 length) { m_text1->setMaxLength(std::max(0, length)); report("MaxLength"); }
    const StdPicture &MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const StdPicture &icon);
    qint16 MousePointer() const { return m_mousePointer; }
    void setMousePointer(qint16 pointer);
    QString PasswordChar() const { return m_passwordChar; }
    void setPasswordChar(const QString &character);
    QString ToolTipText() const;
    void setToolTipText(const QString &text) { m_text1->setToolTip(text); report("ToolTipText"); }
    qint32 Style() const { return m_style; }
    void setStyle(qint32 style) { store(m_style, style, "Style"); RefreshText(); }
    QString Text() const;
    void setText(const QString &text);
    QString SelText() const;
    void setSelText(const QString &text);
    qint32 SelStart() const;
    void setSelStart(qint32 start);
    qint32 SelLength() const;
    void setSelLength(qint32 length);
    qint16 Alignment() const;
    void setAlignment(qint16 alignment);

    // Run mode (true) or the container's design mode, where nothing is hooked.
    void setUserMode(bool userMode) { m_userMode = userMode; }

    bool ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    void zSubclass_Proc(bool bBefore, bool &bHandled, qint32 &lReturn, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &wParam,
                        qint32 &lParam) override;

    MultiLineBox *Text1() const { return m_text1; }
    QLineEdit *Text2() const { return m_text2; }
    QWidget *ShownBox() const;
    QWidget *TargetBox() const;
    bool FrameShown() const { return m_frameShown; }
    bool HasFocus() const { return m_hasFocus; }
    bool IsInside() const { return m_isInside; }
    QString StoredText() const { return m_storedText; }
    const HookTable &Hooks() const { return m_hooks; }

    void paint(QPainter &painter) const override;
    // The name a label gives the box, handed on to the two inner boxes that take the focus.
    void setAccessibleLabel(const QString &name);

signals:
    void Change();
    void DblClick();
    // A handler may change KeyAscii; 0 drops the key.
    void KeyPress(qint16 &KeyAscii);
    void KeyUp(qint16 KeyCode, qint16 Shift);
    void KeyDown(qint16 KeyCode, qint16 Shift);
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enabledChanged() override { RefreshText(); }
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowFrame();
    void HideFrame();
    void StartMouseTracking();
    void Text1Changed();
    void Text2Changed();
    bool BoxEvent(QWidget *box, QEvent *event);
    void Report(const char *key) { report(key); }

    MultiLineBox *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    qint32 m_style = 2;
    QString m_storedText;
    StdPicture m_mouseIcon;
    qint16 m_mousePointer = 0;
    QString m_passwordChar;
    quint32 m_text1Back = 0x80000005;
    quint32 m_text1Fore = 0x80000008;
    bool m_userMode = true;

    // The two edges, as outline colours; their geometry follows the surface.
    quint32 m_shape1Color = 0x8000000F;
    quint32 m_shape2Color = 0x8000000F;
    bool m_frameShown = false;
    bool m_hasFocus = false;
    bool m_isInside = false;
    MousePosition m_lastMove;
    HookTable m_hooks{this};
};

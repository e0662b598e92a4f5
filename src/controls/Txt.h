#pragma once

#include "controls/PaintedControl.h"
#include "platform/ui/WindowHook.h"

#include <QLineEdit>
#include <QPlainTextEdit>

class PropertyBag;

// The multi-line inner box: refuses typing beyond a length, as a single-line box does.
class MultiLineBox : public QPlainTextEdit {
public:
    explicit MultiLineBox(QWidget *parent = nullptr) : QPlainTextEdit(parent) {}
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int Room() const;
    int m_maxLength = 0; // 0: no limit
};

// The window's text box: multi-line Text1 and single-line Text2 in a flat frame, sunken under the mouse
// or with the focus. Style picks the box shown (Text1 for 1) and the one Text and the selection work on
// (Text1 for 0); the text is mirrored. The looks of the text always work on Text1.
class Txt : public PaintedControl, public HookOwner {
    Q_OBJECT
public:
    explicit Txt(QWidget *parent = nullptr);

    void RefreshText();

    void setBackColor(quint32 color) override;
    // Set through QWidget::setFont, which passes it on to Text1.
    QFont Font() const override { return m_text1->font(); }
    quint32 ForeColor() const { return m_text1Fore; }
    void setForeColor(quint32 color) { SetText1Color(m_text1Fore, color, "ForeColor"); }
    bool FontItalic() const { return Font().italic(); }
    void setFontItalic(bool italic) { SetText1Font(&QFont::setItalic, italic, "FontItalic"); }
    QString FontName() const { return Font().family(); }
    void setFontName(const QString &name) { SetText1Font(&QFont::setFamily, name, "FontName"); }
    float FontSize() const { return float(Font().pointSizeF()); }
    bool setFontSize(float points);
    bool FontStrikethru() const { return Font().strikeOut(); }
    void setFontStrikethru(bool strikethru) { SetText1Font(&QFont::setStrikeOut, strikethru, "FontStrikethru"); }
    bool FontUnderline() const { return Font().underline(); }
    void setFontUnderline(bool underline) { SetText1Font(&QFont::setUnderline, underline, "FontUnderline"); }
    bool Locked() const { return m_text1->isReadOnly(); }
    void setLocked(bool locked) { SetOnText1(&QPlainTextEdit::setReadOnly, locked, "Locked"); }
    qint32 MaxLength() const { return m_text1->maxLength(); }
    void setMaxLength(qint32 length) { SetOnText1(&MultiLineBox::setMaxLength, std::max(0, length), "MaxLength"); }
    // A multi-line box shows its text whatever the password character; it is kept for the design.
    QString PasswordChar() const { return m_passwordChar; }
    void setPasswordChar(const QString &character) { store(m_passwordChar, character.left(1), "PasswordChar"); }
    QString ToolTipText() const override { return m_text1->toolTip(); }
    void setToolTipText(const QString &text) override { SetOnText1(&QWidget::setToolTip, text, "ToolTipText"); }
    qint32 Style() const { return m_style; }
    void setStyle(qint32 style)
    {
        store(m_style, style, "Style");
        RefreshText();
    }
    QString Text() const { return TargetIsText1() ? m_text1->toPlainText() : m_text2->text(); }
    void setText(const QString &text);
    QString SelText() const;
    void setSelText(const QString &text);
    qint32 SelStart() const;
    void setSelStart(qint32 start);
    qint32 SelLength() const { return static_cast<qint32>(SelText().size()); }
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
    QWidget *ShownBox() const { return m_style == 1 ? static_cast<QWidget *>(m_text1) : m_text2; }
    QWidget *TargetBox() const { return TargetIsText1() ? static_cast<QWidget *>(m_text1) : m_text2; }
    bool FrameShown() const { return m_frameShown; }
    bool IsInside() const { return m_isInside; }
    QString StoredText() const { return m_storedText; }
    const HookTable &Hooks() const { return m_hooks; }

    void paint(QPainter &painter) const override;
    // The name a label gives the box, handed on to the two inner boxes that take the focus.
    void setAccessibleLabel(const QString &name);

signals:
    void Change();

protected:
    void enabledChanged() override { RefreshText(); }
    void fontChanged() override { m_text1->setFont(font()); }
    void arrange() override { RefreshText(); }
    void mouseMoveEvent(QMouseEvent *event) override { raiseMouse(event); }
    QWidget *pointerWidget() override { return m_text1->viewport(); }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool TargetIsText1() const { return m_style == 0; }
    static void SetBoxColors(QWidget *box, quint32 back, quint32 fore);
    void SetText1Color(quint32 &field, quint32 color, const char *key);
    static Qt::Alignment AlignmentOf(qint16 alignment)
    {
        return alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    }
    static qint16 AlignmentNumber(Qt::Alignment a) { return a & Qt::AlignRight ? 1 : a & Qt::AlignHCenter ? 2 : 0; }
    template <typename Box, typename Arg, typename V>
    void SetOnText1(void (Box::*set)(Arg), const V &value, const char *key)
    {
        (m_text1->*set)(value);
        report(key);
    }
    template <typename Arg, typename V> void SetText1Font(void (QFont::*set)(Arg), const V &value, const char *key)
    {
        QFont font = m_text1->font();
        (font.*set)(value);
        m_text1->setFont(font);
        report(key);
    }
    void SetTargetText(const QString &text);
    void SetText1Alignment(qint16 alignment);
    // The sunken edge while the mouse is over the box or it has the focus.
    void SetFrame(bool shown);
    void Text1Changed();
    void Text2Changed();

    MultiLineBox *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    qint32 m_style = 2;
    QString m_storedText;
    QString m_passwordChar;
    quint32 m_text1Fore = SystemColor::WindowText;
    bool m_userMode = true;

    bool m_frameShown = false;
    bool m_isInside = false;
    MousePosition m_lastMove;
    HookTable m_hooks{this};
};

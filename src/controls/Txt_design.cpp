#include "controls/PropertyBag.h"
#include "controls/Txt.h"

bool Txt::ReadProperties(const PropertyBag &bag)
{
    bool ok = true;
    // A whole number that fits its type is applied; one that does not fails the load.
    const auto whole = [&]<typename T>(const char *key, T value, auto apply) {
        if (bag.ReadWhole(key, 0, value))
            apply(value);
        else
            ok = false;
    };
    setEnabled(bag.ReadProperty("Enabled", true).toBool());
    setFont(bag.ReadFont("Font", ContainerFont(this)));
    m_mouseIcon = bag.ReadPicture("MouseIcon");
    ok &= bag.ReadWhole("Style", 0, m_style);
    m_storedText = bag.ReadProperty("Text", QString()).toString();
    RefreshText();
    SetFrame(false);
    if (m_userMode)
        m_hooks.HookMouse({this, m_text1->viewport(), m_text2}, {WM_MOUSEMOVE, WM_MOUSELEAVE});

    // The rest goes into the target box.
    QWidget *target = TargetBox();
    const bool multi = TargetIsText1();
    setSelText(bag.ReadProperty("SelText", QString()).toString());
    whole("SelStart", qint32(0), [this](qint32 start) { setSelStart(start); });
    whole("SelLength", qint32(0), [this](qint32 length) { setSelLength(length); });
    whole("MousePointer", m_mousePointer, [&](qint16 pointer) {
        m_mousePointer = pointer;
        ApplyMousePointer(multi ? m_text1->viewport() : target, m_mousePointer, m_mouseIcon);
    });
    const QString password = bag.ReadProperty("PasswordChar", QString()).toString().left(1);
    if (multi)
        m_passwordChar = password;
    else
        m_text2->setEchoMode(password.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
    SetTargetText(bag.ReadProperty("Text", QStringLiteral("Text")).toString());
    target->setToolTip(bag.ReadProperty("ToolTipText", QString()).toString());
    const quint32 back = bag.ReadColor("BackColor", SystemColor::Window);
    const quint32 fore = bag.ReadColor("ForeColor", SystemColor::WindowText);
    SetBoxColors(target, back, fore);
    if (multi) {
        m_backColor = back;
        m_text1Fore = fore;
    }
    QFont font = target->font();
    font.setItalic(bag.ReadProperty("FontItalic", false).toBool());
    const QString name = bag.ReadProperty("FontName", QString()).toString();
    if (!name.isEmpty())
        font.setFamily(name);
    const double size = bag.ReadProperty("FontSize", 0.0).toDouble();
    if (size > 0 && size <= 16384) // an edit box takes no size of 0 or less; the font keeps its own
        font.setPointSizeF(size);
    font.setStrikeOut(bag.ReadProperty("FontStrikethru", false).toBool());
    font.setUnderline(bag.ReadProperty("FontUnderline", false).toBool());
    target->setFont(font);
    const bool locked = bag.ReadProperty("Locked", false).toBool();
    qint32 maxLength = multi ? m_text1->maxLength() : m_text2->maxLength();
    ok &= bag.ReadWhole("MaxLength", 0, maxLength);
    if (multi) {
        m_text1->setReadOnly(locked);
        m_text1->setMaxLength(std::max(0, maxLength));
    } else {
        m_text2->setReadOnly(locked);
        m_text2->setMaxLength(maxLength > 0 ? maxLength : 32767); // an edit box's 0 is no limit
    }

    whole("Alignment", qint16(0), [this](qint16 alignment) { SetText1Alignment(alignment); });
    return ok;
}

void Txt::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty("BackColor", m_backColor, SystemColor::Window);
    bag.WriteProperty("Enabled", isEnabled(), true);
    bag.WriteFont("Font", Font(), ContainerFont(this));
    bag.WriteProperty("ForeColor", m_text1Fore, SystemColor::WindowText);
    bag.WriteProperty("FontItalic", FontItalic(), false);
    bag.WriteProperty("FontName", FontName(), QString());
    bag.WriteProperty("FontSize", double(FontSize()), 0);
    bag.WriteProperty("FontStrikethru", FontStrikethru(), false);
    bag.WriteProperty("FontUnderline", FontUnderline(), false);
    bag.WriteProperty("Locked", Locked(), false);
    bag.WriteProperty("MaxLength", MaxLength(), 0);
    bag.WritePicture("MouseIcon", m_mouseIcon);
    bag.WriteProperty("MousePointer", m_mousePointer, 0);
    bag.WriteProperty("PasswordChar", m_passwordChar, QString());
    bag.WriteProperty("Text", m_text1->toPlainText(), QStringLiteral("Text"));
    bag.WriteProperty("ToolTipText", ToolTipText(), QString());
    bag.WriteProperty("Style", m_style, 0);
    bag.WriteProperty("Text", m_storedText, QString());
    const QTextCursor cursor = m_text1->textCursor();
    bag.WriteProperty("SelText", cursor.selectedText(), QString());
    bag.WriteProperty("SelStart", cursor.selectionStart(), 0);
    bag.WriteProperty("SelLength", cursor.selectionEnd() - cursor.selectionStart(), 0);
    bag.WriteProperty("Alignment", AlignmentNumber(m_text1->document()->defaultTextOption().alignment()), 0);
}

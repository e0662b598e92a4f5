#pragma once

#include "controls/ControlSupport.h"
#include "platform/ui/WindowHook.h"
#include "toolbar/ToolBarModel.h"
#include "toolbar/ToolBarToolTip.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class PropertyBag;
class QMenu;
class QShortcut;

// A stored property of the bar: its getter, and a setter that redraws the bar when the look depends on it.
// clang-format off
#define TOOLBAR_PROPERTY(Type, Name, redraw) \
    Type Name() const { return m.Name; } \
    void set##Name(const Type &value) { setStored(m.Name, value, redraw); }

// A property of the button Button_Index selects; ignored while it is -1.
#define BUTTON_PROPERTY(Type, Name, field, redraw) \
    Type Name() const { return current() ? current()->field : Type(); } \
    void set##Name(const Type &value) { setOnButton(&ButtonRecord::field, value, redraw); }
// clang-format on

// The button grid of the last layout.
struct ToolBarGrid {
    double CellWidth = 0;
    double CellHeight = 0;
    qint32 RowCount = 0;
};

// The painted toolbar the main window uses as its menu bar: buttons in rows, hover and press looks,
// and a tooltip after the mouse rests.
class McToolBar : public QWidget, public HookOwner {
    Q_OBJECT
public:
    explicit McToolBar(QWidget *parent = nullptr);

    // Stored design. ReadProperties also starts mouse tracking and redraws.
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;
    // At design time nothing is hooked, the selected button stays selected and indexes are drawn.
    bool DesignMode() const { return m_designMode; }
    void setDesignMode(bool designMode) { m_designMode = designMode; }
    // Docking in the container: 0 none, 1 top, 2 bottom, 3 left, 4 right.
    int Align() const { return m_align; }
    void setAlign(int align) { m_align = align; }

    TOOLBAR_PROPERTY(qint32, Appearance, true)
    TOOLBAR_PROPERTY(quint32, BackColor, true)
    TOOLBAR_PROPERTY(qint32, BorderStyle, true)
    // The stored Enabled only greys the drawing; QWidget::setEnabled(false) also stops the mouse.
    bool Enabled() const { return m.Enabled; }
    void setEnabledLook(bool value) { setStored(m.Enabled, value, true); }
    // The stored font; set through QWidget::setFont. None set: the container's.
    QFont Font() const { return m.Font.value_or(font()); }
    TOOLBAR_PROPERTY(quint32, ForeColor, true)
    int Button_Count() const { return m.count(); }
    void setButton_Count(int count) { RedrawIf(m.SetButtonCount(count)); }
    int Button_Index() const { return m.Button_Index; }
    void setButton_Index(int index) { RedrawIf(m.SetButtonIndex(index)); }
    TOOLBAR_PROPERTY(StdPicture, BackGround, true)
    TOOLBAR_PROPERTY(qint32, ButtonsWidth, true)
    TOOLBAR_PROPERTY(bool, AutoSize, true)
    TOOLBAR_PROPERTY(bool, AutoSizeButtons, true)
    TOOLBAR_PROPERTY(qint32, ButtonsHeight, true)
    TOOLBAR_PROPERTY(qint32, ButtonsPerRow, true)
    TOOLBAR_PROPERTY(quint32, HoverColor, true)
    TOOLBAR_PROPERTY(bool, WarpSize, true)
    TOOLBAR_PROPERTY(qint32, TooTipStyle, false)
    TOOLBAR_PROPERTY(quint32, ToolTipBackCol, false)
    TOOLBAR_PROPERTY(quint32, ToolTipForeCol, false)
    TOOLBAR_PROPERTY(qint32, BackGradient, true)
    TOOLBAR_PROPERTY(quint32, BackGradientCol, true)
    TOOLBAR_PROPERTY(qint32, ButtonsStyle, true)
    TOOLBAR_PROPERTY(quint32, BorderColor, true)
    TOOLBAR_PROPERTY(bool, HoverIconShadow, true)

    BUTTON_PROPERTY(QString, ButtonCaption, caption, true)
    BUTTON_PROPERTY(StdPicture, ButtonIcon, icon, true)
    BUTTON_PROPERTY(QString, ButtonToolTip, toolTip, false)
    BUTTON_PROPERTY(qint32, ButtonToolTipIcon, toolTipIcon, false)
    BUTTON_PROPERTY(bool, ButtonEnabled, enabled, true)
    BUTTON_PROPERTY(bool, ButtonPressed, pressed, true)
    BUTTON_PROPERTY(qint32, ButtonIconAllignment, iconAlignment, true)

    int ButtonRemove() const { return 0; }
    void setButtonRemove(int) { RedrawIf(m.RemoveButton()); }
    int ButtonMoveTo() const { return -1; }
    void setButtonMoveTo(int target) { RedrawIf(m.MoveButtonTo(target)); }
    void HighlightButton(int lIndex) { RedrawIf(m.SetPressed(lIndex, true)); }
    void UnHighlightButton(int lIndex) { RedrawIf(m.SetPressed(lIndex, false)); }
    // The layout of the last redraw, in pixels; 0 for an index outside the list.
    int GetButtonWidth(int iIndex) const { return m.valid(iIndex) ? m.at(iIndex).width : 0; }
    int GetButtonHeight(int iIndex) const { return m.valid(iIndex) ? m.at(iIndex).height : 0; }
    int GetButtonTop(int iIndex) const { return m.valid(iIndex) ? m.at(iIndex).top : 0; }
    int GetButtonLeft(int iIndex) const { return m.valid(iIndex) ? m.at(iIndex).left : 0; }

    void RedrawControl();
    // The persistent surface every redraw paints into, shown as it is by paintEvent.
    const QImage &Surface() const { return m_surface; }
    // The whole bar painted at a device pixel ratio: at 2 a picture of twice the width and height.
    QImage RenderSurface(qreal dpr);
    ToolBarToolTip *ToolTipWindow() const { return m_tip; }
    int TickCount() const { return m_tickCount; }
    const std::vector<ButtonRecord> &Buttons() const { return m.Buttons; }

    // The letter Alt opens a button with: the one after "&", else the caption's first letter or digit.
    static QChar Mnemonic(const QString &caption);
    // The letter Alt opens button index with, or null: a first letter gives way to one that another
    // control of the window marks with "&", as two shortcuts on one key would both stop working.
    QChar ShortcutLetter(int index) const { return index >= 0 && index < m_keys.size() ? m_keys.at(index) : QChar(); }
    // Marks an enabled button and raises its Click, as Alt and its letter do.
    void OpenButton(int index);

    void zSubclass_Proc(bool bBefore, bool &bHandled, qint32 &lReturn, QWidget *&lng_hWnd, qint32 &uMsg, qint32 &wParam,
                        qint32 &lParam) override;

signals:
    void MouseEnter();
    void MouseLeave();
    void Click(int index);
    void DblClick(int index);
    void Redrawing(int index);
    void OnButtonHover(int index);
    void KeyDown(int index, qint16 KeyCode, qint16 Shift);
    void KeyUp(int index, qint16 KeyCode, qint16 Shift);
    void MouseUp(int index, qint16 Button, qint16 Shift, float X, float Y);
    void MouseDown(int index, qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(int index, qint16 Button, qint16 Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *) override { RedrawControl(); }
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <typename T> void setStored(T &field, const T &value, bool redraw)
    {
        field = value;
        if (redraw)
            RedrawControl();
    }
    void RedrawIf(bool changed)
    {
        if (changed)
            RedrawControl();
    }
    template <typename T> void setOnButton(T ButtonRecord::*field, const T &value, bool redraw)
    {
        if (ButtonRecord *b = current())
            setStored(b->*field, value, redraw);
    }
    ButtonRecord *current() { return m.valid(m.Button_Index) ? &m.Buttons[size_t(m.Button_Index)] : nullptr; }
    const ButtonRecord *current() const { return m.valid(m.Button_Index) ? &m.at(m.Button_Index) : nullptr; }
    int HitTest(double X, double Y) const;
    void HoverAt(const QPointF &pos);
    // Keyboard: the marked button moves with the arrows; Alt and a mnemonic, or F10, reach the bar.
    int NextEnabled(int from, int step) const;
    void SelectButton(int index);
    void UpdateShortcuts();
    void RebuildShortcuts();
    // Only the letter after "&", else null.
    static QChar MarkedLetter(const QString &caption);
    void FocusFromKeyboard();
    // Click, and when it opened a menu, Left and Right in that menu move to the neighbour's.
    void RaiseClick(int index);
    void ShowToolTip();
    void HideToolTip();

    ToolBarModel m;
    ToolBarGrid m_grid;
    QImage m_surface;
    HookTable m_hooks{this};
    MousePosition m_lastPos;
    QPointer<ToolBarToolTip> m_tip;
    QPointer<QMenu> m_menu; // the menu a click of m_menuIndex opened
    int m_menuIndex = -1;
    QList<QShortcut *> m_shortcuts;
    QStringList m_captions; // as the shortcuts were made for
    QString m_keys;         // the letters the shortcuts have, null where none
    bool m_designMode = false;
    bool m_isMouseDown = false;
    bool m_isInside = false;
    bool m_redrawing = false;
    bool m_pressedHere = false;
    int m_align = 0;
    int m_tickCount = 0;
    int m_timerId = 0;
};

// Lets screen readers see the toolbar as a menu bar whose buttons are menu items that open their menu.
void InstallToolBarAccessibility();
// Tells a screen reader that the keyboard mark moved to another button.
void AnnounceToolBarFocus(McToolBar *bar, int index);

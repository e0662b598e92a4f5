#pragma once

#include "controls/PaintedControl.h"

#include <QCursor>
#include <QRectF>

class PropertyBag;

// A stored property that moves the elements: they are arranged again, with the picture when it may move.
// clang-format off
#define LAYOUT_PROPERTY(Type, Name, field, picture) \
    Type Name() const { return field; } \
    bool set##Name(const Type &value) { return arranged(field, value, #Name, picture); }
// clang-format on

// The window's push button: caption, its etched shadow, picture and edges as elements in twips.
// Click comes only from a release over the button, Enter or Space.
class Cmd1 : public PaintedControl {
    Q_OBJECT
public:
    // The elements a mouse event can land on.
    enum class Element { Surface, Caption, Picture };

    explicit Cmd1(QWidget *parent = nullptr);

    void Refresh() { update(); }
    CONTROL_PROPERTY(quint32, HighColor1, m_highColor1)
    CONTROL_PROPERTY(quint32, HighColor2, m_highColor2)
    CONTROL_PROPERTY(quint32, Color1, m_color1)
    CONTROL_PROPERTY(quint32, Color2, m_color2)
    LAYOUT_PROPERTY(StdPicture, Picture, m_picture, true)
    LAYOUT_PROPERTY(qint32, PicSize, m_picSize, true)
    LAYOUT_PROPERTY(qint32, PicAlign, m_picAlign, true)
    LAYOUT_PROPERTY(qint16, PicHeight, m_picHeight, true)
    LAYOUT_PROPERTY(qint16, PicWidth, m_picWidth, true)
    CONTROL_PROPERTY(quint32, ForeColor, m_label1Color)
    QString Caption() const { return m_caption; }
    bool setCaption(const QString &caption);
    LAYOUT_PROPERTY(qint32, TextAlign, m_textAlign, false)
    LAYOUT_PROPERTY(qint16, PicDistToEdge, m_picDistToEdge, true)
    LAYOUT_PROPERTY(qint16, TextDistToEdge, m_textDistToEdge, false)
    LAYOUT_PROPERTY(qint16, TextWidth, m_textWidth, false)
    LAYOUT_PROPERTY(bool, TextSetWH, m_textSetWH, false)
    LAYOUT_PROPERTY(bool, WordWrap, m_wordWrap, false)

    // The stored design. Each step that fails (an arithmetic error) is skipped; false if any did.
    bool ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // Places the caption and, when the layout is dirty or movePicture is set, the picture; false on overflow.
    bool ArrangeContent(bool movePicture = false);

    // State and element geometry in twips, for the looks and for tests.
    bool IsHot() const { return m_isHot; }
    bool IsPressed() const { return m_isPressed; }
    QRectF CaptionRect() const { return m_label1; }
    QRectF ShadowRect() const { return m_label2; }
    bool ShadowVisible() const { return m_label2Visible; }
    QRectF PictureRect() const { return m_image1; }
    quint32 TopLeftEdgeColor() const { return m_shape1Color; }

    void paint(QPainter &painter) const override;
    // A picture-only button is named by its tooltip.
    QString accessibleCaption() const override { return m_caption.isEmpty() ? m_toolTipText : m_caption; }
    // The tooltip belongs to the caption only.
    std::optional<QString> toolTipAt(const QPoint &pos) const override
    {
        return HitTest(pos) == Element::Caption ? m_toolTipText : QString();
    }
    // No other window is at the point; a pen or touch moves no cursor, so a release passes its own.
    bool IsMouseOverMe(const QPoint &global = QCursor::pos()) const;

signals:
    void Show();

protected:
    void arrange() override { ArrangeContent(true); }
    void showEvent(QShowEvent *) override { emit Show(); }
    void hideEvent(QHideEvent *event) override;
    void enabledChanged() override;
    void fontChanged() override { ArrangeContent(); }
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override { raiseMouse(event); }
    void keyPressEvent(QKeyEvent *event) override;
    void focusChanged(const QFocusEvent *event) override;

private:
    template <typename Self, typename Design> static void Properties(Self &c, Design &d);
    float InnerWidth() const { return float(width() * TwipsPerPixel); }
    float InnerHeight() const { return float(height() * TwipsPerPixel); }
    // The caption text changed: arrange and take the label's width as TextWidth.
    bool CaptionTextChanged(const QString &text);
    // The label sizes itself to its text: with word wrap it keeps its width, else it fits one line.
    void AutoSizeCaption();
    void SetCaptionWidth(float twips);
    bool SizePicture(float W, float H);
    void ShowHot() { ShowEdges(m_highColor1, m_highColor2, true); }
    void ShowCold() { ShowEdges(SystemColor::ButtonFace, SystemColor::ButtonFace, false); }
    void ShowEdges(quint32 topLeft, quint32 bottomRight, bool hot);
    void ShowPressed();
    void ShowReleased();
    void ShowDisabled();
    void ShowEnabled();
    void TrackMouse(const QPointF &twips);
    Element HitTest(const QPointF &pixel) const;
    template <typename T> bool arranged(T &field, const T &value, const char *key, bool picture)
    {
        store(field, value, key);
        return ArrangeContent(picture);
    }

    qint16 m_borderStyle = 0;
    quint32 m_highColor1 = SystemColor::ButtonHighlight;
    quint32 m_highColor2 = SystemColor::ButtonShadow;
    quint32 m_color1 = SystemColor::ButtonFace;
    quint32 m_color2 = SystemColor::ButtonFace;
    StdPicture m_picture;
    qint32 m_picSize = 32;
    qint32 m_picAlign = 8;
    qint16 m_picHeight = 320;
    qint16 m_picWidth = 320;
    QString m_caption = QStringLiteral("Command");
    qint32 m_textAlign = 8;
    qint16 m_picDistToEdge = 40;
    qint16 m_textDistToEdge = 40;
    qint16 m_textWidth = 1000;
    bool m_textSetWH = false;
    bool m_wordWrap = true;

    // Elements, in twips from the surface's top-left corner.
    QRectF m_label1{0, 0, 1000, 0};
    quint32 m_label1Color = SystemColor::WindowText;
    QRectF m_label2;
    quint32 m_label2Color = SystemColor::ButtonHighlight;
    bool m_label2Visible = false;
    QRectF m_image1{0, 0, 320, 320};
    // The edges: the top-left one and the bottom-right one, each a pixel wide at the surface's rim.
    quint32 m_shape1Color = SystemColor::ButtonFace;
    quint32 m_shape2Color = SystemColor::ButtonFace;

    bool m_isHot = false;
    bool m_isPressed = false;
    bool m_layoutDirty = true;
    bool m_disabledShown = false;
    quint32 m_savedForeColor = 0;
    Element m_pressedOn = Element::Surface;
};

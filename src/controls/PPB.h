#pragma once

#include "controls/PaintedControl.h"

#include <QHash>
#include <QRectF>

class PropertyBag;

// The window's progress bar: a fill growing from the left reveals a bar picture of the whole length,
// with the value label in the middle of the filled part. Geometry is kept in twips.
class PPB : public PaintedControl {
    Q_OBJECT
public:
    explicit PPB(QWidget *parent = nullptr);

    // Shows a value from 0 to 100, taken as a whole number rounded half to even; others are ignored.
    void ValueChange(double value);
    // Measures the label of every whole value ahead, so that a test's value changes only look
    // them up.
    void PrepareValueLabels();
    // Sets the label text while UseCustomCaption is on.
    void SetCustomCaption(const QString &sCaption);
    // Lays the elements out for the current size and border; the fill is the whole length again.
    void Redraw();
    void Refresh() { Redraw(); }

    bool IsPercent() const { return m_isPercent; }
    void setIsPercent(bool percent);
    CONTROL_PROPERTY(bool, UseCustomCaption, m_useCustomCaption)
    CONTROL_PROPERTY(bool, ShowLabel, m_showLabel)
    bool ShowBorder() const { return m_showBorder; }
    void setShowBorder(bool show)
    {
        m_showBorder = show;
        Redraw();
        report("ShowBorder");
    }
    CONTROL_PROPERTY(quint32, BorderColor, m_borderColor)
    // Two names for the one bar picture.
    CONTROL_PROPERTY(StdPicture, Picture, m_picture)
    CONTROL_PROPERTY(StdPicture, Image, m_picture)

    bool ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // Elements in twips: the fill region, and the picture and label inside it.
    QString LabelText() const { return m_labelText; }
    QRectF FillRect() const { return m_frame; }
    QRectF PictureRect() const { return m_image; }
    QRectF LabelRect() const { return m_label; }

    void paint(QPainter &painter) const override;
    std::optional<double> accessibleValue() const override { return m_value; }
    // The tooltip belongs to the fill region.
    std::optional<QString> toolTipAt(const QPoint &pos) const override
    {
        return TwipsRect(m_frame).contains(pos) ? m_toolTipText : QString();
    }

signals:
    void Change();

protected:
    void fontChanged() override;
    void arrange() override { Redraw(); }
    void mousePressEvent(QMouseEvent *event) override { raiseMouse(event); }
    void mouseMoveEvent(QMouseEvent *event) override { raiseMouse(event); }
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override { raiseMouse(event); }

private:
    template <typename Self, typename Design> static void Properties(Self &c, Design &d);
    void SetLabelText(const QString &text);
    int LabelWidth(const QString &text);
    QString PercentText(int whole) const;
    void CentreLabel();

    bool m_isPercent = true;
    bool m_useCustomCaption = false;
    bool m_showLabel = true;
    bool m_showBorder = true;
    quint32 m_borderColor = SystemColor::WindowText;
    StdPicture m_picture;

    int m_value = 0; // the last whole percentage shown
    QString m_labelText = QStringLiteral("100%");
    QRectF m_frame;
    QRectF m_image;
    QRectF m_label;
    QRectF m_border;
    // Shaping the text is most of a value change's cost; the few percent texts' widths are kept.
    QHash<QString, int> m_labelWidths;
    int m_labelHeight = 0;
};

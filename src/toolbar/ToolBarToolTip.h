#pragma once

#include <QColor>
#include <QPainterPath>
#include <QWidget>

// The toolbar's tooltip: caption as title with a standard icon (1 information, 2 warning, 3 error), text
// below, as a balloon whose stem points at the mouse or as a rectangle. It never takes the mouse.
class ToolBarToolTip : public QWidget {
    Q_OBJECT
public:
    ToolBarToolTip(QWidget *owner, bool balloon, const QString &title, int titleIcon, const QString &text,
                   const QColor &back, const QColor &fore);

    // Shows the tip with its stem (or its top-left corner) at the global point.
    void showAt(const QPoint &anchor);

    bool Balloon() const { return m_balloon; }
    QString Title() const { return m_title; }
    QString Text() const { return m_text; }

    void paint(QPainter &p) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect bodyRect() const;
    QPainterPath outline() const;

    bool m_balloon;
    QString m_title;
    int m_titleIcon;
    QString m_text;
    QColor m_back;
    QColor m_fore;
    QSize m_titleSize;
    QSize m_textSize;
};

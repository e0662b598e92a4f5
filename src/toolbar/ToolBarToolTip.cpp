#include "toolbar/ToolBarToolTip.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int kPadding = 6;
constexpr int kStem = 12;  // height of the balloon's stem
constexpr int kStemX = 16; // where the stem leaves the body, from the left
constexpr int kIcon = 16;

QIcon TitleIconImage(const QStyle *style, int icon)
{
    static const QStyle::StandardPixmap icons[] = {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxWarning,
                                                   QStyle::SP_MessageBoxCritical};
    return icon >= 1 && icon <= 3 ? style->standardIcon(icons[icon - 1]) : QIcon();
}

QFont TitleFont(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

ToolBarToolTip::ToolBarToolTip(QWidget *owner, bool balloon, const QString &title, int titleIcon, const QString &text,
                               const QColor &back, const QColor &fore)
    : QWidget(owner,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
      m_balloon(balloon), m_title(title), m_titleIcon(titleIcon), m_text(text), m_back(back), m_fore(fore)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    const QFontMetrics titleMetrics(TitleFont(font()));
    const QFontMetrics textMetrics(font());
    const bool hasIcon = !TitleIconImage(style(), m_titleIcon).isNull();
    const QRect titleBounds = titleMetrics.boundingRect(QRect(0, 0, 400, 1000), Qt::TextSingleLine, m_title);
    m_titleSize =
        QSize(titleBounds.width() + (hasIcon ? kIcon + 4 : 0), std::max(titleBounds.height(), hasIcon ? kIcon : 0));
    m_textSize = textMetrics.boundingRect(QRect(0, 0, 400, 1000), Qt::TextWordWrap, m_text).size();
    const int width = std::max(m_titleSize.width(), m_textSize.width()) + 2 * kPadding;
    const int height = m_titleSize.height() + 4 + m_textSize.height() + 2 * kPadding;
    resize(std::max(width, kStemX + 2 * kStem), height + (m_balloon ? kStem : 0));
    // Without a compositor a window cannot be see-through; the mask gives the balloon its shape.
    if (m_balloon)
        setMask(QRegion(outline().toFillPolygon().toPolygon()));
}

QRect ToolBarToolTip::bodyRect() const
{
    return m_balloon ? QRect(0, kStem, width(), height() - kStem) : rect();
}

QPainterPath ToolBarToolTip::outline() const
{
    QPainterPath path;
    const QRectF body = QRectF(bodyRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (!m_balloon) {
        path.addRect(body);
        return path;
    }
    path.addRoundedRect(body, 6, 6);
    QPainterPath stem;
    stem.moveTo(kStemX, body.top() + 1);
    stem.lineTo(kStemX - kStem / 2.0, 0.5);
    stem.lineTo(kStemX + kStem, body.top() + 1);
    stem.closeSubpath();
    return path.united(stem);
}

void ToolBarToolTip::showAt(const QPoint &anchor)
{
    // Never under the pointer: a window there takes the pointer from the toolbar, whose leave would
    // hide the tip at once. Balloons point at the mouse from just below it; rectangles sit lower.
    QPoint topLeft = m_balloon ? anchor + QPoint(-(kStemX - kStem / 2), 3) : anchor + QPoint(0, 20);
    if (const QScreen *screen = QGuiApplication::screenAt(anchor)) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - width())));
        if (topLeft.y() + height() > area.bottom())
            topLeft.setY(anchor.y() - height() - 3);
        topLeft.setY(std::max(topLeft.y(), area.top()));
    }
    move(topLeft);
    show();
    raise();
}

void ToolBarToolTip::paint(QPainter &p) const
{
    p.setRenderHint(QPainter::Antialiasing, m_balloon);
    p.setPen(m_fore);
    p.setBrush(m_back);
    p.drawPath(outline());
    p.setRenderHint(QPainter::Antialiasing, false);

    const QRect body = bodyRect().adjusted(kPadding, kPadding, -kPadding, -kPadding);
    int x = body.left();
    const QIcon icon = TitleIconImage(style(), m_titleIcon);
    if (!icon.isNull()) {
        icon.paint(&p, QRect(x, body.top(), kIcon, kIcon));
        x += kIcon + 4;
    }
    p.setFont(TitleFont(font()));
    p.drawText(QRect(x, body.top(), body.right() - x + 1, m_titleSize.height()), Qt::AlignLeft | Qt::AlignVCenter,
               m_title);
    p.setFont(font());
    p.drawText(QRect(body.left(), body.top() + m_titleSize.height() + 4, body.width(), m_textSize.height()),
               Qt::TextWordWrap | Qt::AlignLeft, m_text);
}

void ToolBarToolTip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paint(p);
}

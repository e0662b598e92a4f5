#include "controls/PPB.h"

#include <cmath>

PPB::PPB(QWidget *parent) : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
}

void PPB::ValueChange(double value)
{
    setValue(static_cast<int>(std::nearbyint(std::clamp(value, 0.0, 100.0))));
}

void PPB::setShowBorder(bool show)
{
    m_showBorder = show;
    setStyleSheet(show ? QString() : QStringLiteral("QProgressBar { border: none; }"));
}

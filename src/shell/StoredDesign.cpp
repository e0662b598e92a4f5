#include "shell/StoredDesign.h"

PropertyBag StoredDesign(const QString &controlName)
{
    return PropertyBag::load(QStringLiteral(":/design/%1.props").arg(controlName));
}

#include "controls/Chk1.h"

Chk1::Chk1(QWidget *parent) : QCheckBox(parent)
{
    connect(this, &QCheckBox::toggled, this, &Chk1::Click);
}

#include "controls/Cmd1.h"

Cmd1::Cmd1(QWidget *parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &Cmd1::Click);
}

// The busy display: the window icon alternates while a test runs.
#include "shell/frmMain.h"

#include <QTimer>

void frmMain::StartBusyAnimation()
{
    IconAnimation->start();
}

void frmMain::StopBusyAnimation()
{
    IconAnimation->stop();
    setWindowIcon(QIcon(QStringLiteral(":/icon1.png")));
}

void frmMain::ShowAbout() {}

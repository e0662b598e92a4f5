// The busy display while a test runs, and the about window.
#include "shell/frmMain.h"

#include "shell/BusyAnimation.h"
#include "shell/frmAbout.h"

BusyAnimation &frmMain::BusyDisplay()
{
    if (!Busy)
        Busy = new BusyAnimation(this, IconAnimation, iIcon);
    return *Busy;
}

void frmMain::StartBusyAnimation()
{
    BusyDisplay().Start();
}

void frmMain::StopBusyAnimation()
{
    BusyDisplay().Stop();
}

void frmMain::ShowAbout()
{
    if (RunActive)
        return;
    frmAbout about(this);
    about.exec();
}

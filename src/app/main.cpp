#include "platform/SignalStop.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SignalStop signalStop;
    frmMain window;
    // A signal asks what the Exit command asks: the run stops and cleans up, then the window closes.
    QObject::connect(&signalStop, &SignalStop::Received, &window, &frmMain::RequestExit);
    window.show();
    const int code = app.exec();
    return signalStop.received() ? SignalStop::ExitCode(signalStop.received()) : code;
}

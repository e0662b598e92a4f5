#include "shell/frmMain.h"

void frmMain::connectRuns() {}

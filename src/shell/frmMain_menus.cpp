#include "shell/frmMain.h"

void frmMain::connectMenus() {}

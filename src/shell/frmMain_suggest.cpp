#include "shell/frmMain.h"

void frmMain::connectSuggest() {}

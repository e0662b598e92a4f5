#pragma once

#include <QString>

// The arguments after the program name, joined by single blanks: the text the command-line
// switches are searched in.
QString ProcessCommandLine();

// The process-wide values of the dialog and the install. g_strBrowseFolder is built with the
// application object in app/win32/wizard_app.cpp, which builds the process-wide objects in their
// order (a test program defines its own); g_bCheckAcadRunning is a plain flag, true at start.
#pragma once

#include <string>

// The folder the folder picker opens on: the last one typed or picked in this run.
extern std::string g_strBrowseFolder;
// While true, the install button first checks that AutoCAD is not running.
extern bool g_bCheckAcadRunning;

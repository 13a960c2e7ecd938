// The process-wide values of the dialog and the install. They are defined with the
// application object in app/wizard_app.cpp, which builds the process-wide objects in their
// order; a test program defines its own.
#pragma once

#include <string>

// The folder the folder picker opens on: the last one typed or picked in this run.
extern std::string g_strBrowseFolder;
// While true, the install button first checks that AutoCAD is not running.
extern bool g_bCheckAcadRunning;

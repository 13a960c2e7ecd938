// The process-wide values of the dialog and the install, for the test programs (the setup
// program defines them with its application object).
#include "ui/process_state.h"

std::string g_strBrowseFolder;
bool g_bCheckAcadRunning = true;

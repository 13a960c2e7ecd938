// The process-wide values of the dialog and the install, which the setup program defines with its application object.
#include "ui/process_state.h"

std::string g_strBrowseFolder;
bool g_bCheckAcadRunning = true;

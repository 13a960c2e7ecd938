// The process-wide folder of the folder picker, which the setup program builds with its application object, and the
// program's one-shot flag as it starts.
#include "ui/process_state.h"
#include "support/world.h"

std::string g_strBrowseFolder;
const bool g_checkAcadAtStart = g_bCheckAcadRunning;

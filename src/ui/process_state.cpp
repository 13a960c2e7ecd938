#include "ui/process_state.h"

bool g_bCheckAcadRunning = true;

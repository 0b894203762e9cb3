// Control containment for the framework's dialogs.
#pragma once

#include <stddef.h>

class COccManager;

// Dialogs of this framework are made of window-class controls only, which need no
// control site: there is nothing for a manager to take over.
void AfxEnableControlContainer(COccManager* manager = NULL);

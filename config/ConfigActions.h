#pragma once

#include "link/LinkActions.h"

// What the link's replies do to the modem settings window.
ConfigWindows& configWindows();

#pragma once

#include "link/LinkActions.h"

// The program's composition: what every layer is told about the layers above
// it. Each program (the console, its tests, its benchmarks and fuzz target)
// installs it once, before any window is reached.
void installConsole();

// What the link's replies and steps do to every window: each folder's face,
// for the main window to give its link.
LinkActions linkActions();

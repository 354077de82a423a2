#pragma once

struct LinkActions;

// The program's composition: what every layer is told about the layers above
// it. Each program (the console, its tests, its benchmarks and fuzz target)
// installs it once, before any window is reached.
void installConsole();

// What the link's replies and steps do to every window; the main window
// fills its link's actions with it.
void connectWindows(LinkActions& actions);

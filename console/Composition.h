#pragma once

// The program's composition: what every layer is told about the layers above
// it. Each program (the console, its tests, its benchmarks and fuzz target)
// installs it once, before any window is reached.
void installConsole();

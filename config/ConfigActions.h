#pragma once

struct LinkActions;

// What the initialisation's replies preset in the modem settings window.
void connectConfig(LinkActions& actions);

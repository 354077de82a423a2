#pragma once

#include "link/LinkActions.h"

// What the link's replies do to the call, incoming-call, call-control and
// short-message windows.
CallsWindows& callsWindows();

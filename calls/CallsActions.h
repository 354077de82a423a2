#pragma once

struct LinkActions;

// What the link's replies do to the call, incoming-call, call-control and
// short-message windows.
void connectCalls(LinkActions& actions);

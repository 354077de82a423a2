#pragma once

#include "platform/MSComm.h"

// Opens the serial control as the start-up opens a saved port: every
// received character and every emptied transmit buffer raises an event.
inline void openPort(MSComm& port, int number, const QString& settings = "9600,n,8,1") {
    port.setCommPort(number);
    port.setSettings(settings);
    port.setRThreshold(1);
    port.setSThreshold(1);
    port.setInputMode(1);
    port.setPortOpen(true);
}

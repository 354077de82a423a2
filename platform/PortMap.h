#pragma once

#include <QString>

// Where port number n is on this machine: the link ports/COMn beside the
// program when there is one, else COM1-8 are /dev/ttyUSB0-7, COM9-16
// /dev/ttyACM0-7 and COM17-32 /dev/ttyS0-15. Empty for any other number.
QString devicePathForPort(int port, const QString& programFolder);

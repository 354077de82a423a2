// SIM check, PIN entry and modem initialisation.

#include "console/Form1.h"

void Form1::CheckSIM() {}
void Form1::CheckPinStatus() {}
void Form1::HandlePinResult() {}
void Form1::InitModem() {}
void Form1::InitModemNoSIM() {}
void Form1::ShowBaudRate() {}
void Form1::ShowCharFraming() {}
void Form1::SetFramingOptions() {}

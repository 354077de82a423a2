// Handlers of the replies the dispatcher recognises.

#include "console/Form1.h"

void Form1::ShowManufacturer(int, int) {}
void Form1::SaveModelDetails(int, int) {}
void Form1::SavePhoneBook() {}
void Form1::ShowEchoValues(int) {}
void Form1::ShowServiceCenter(int, int) {}

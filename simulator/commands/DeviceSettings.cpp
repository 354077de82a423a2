// The serial line between the console and the module: rate, framing, flow
// control and the use of DCD, DTR and DSR.

#include "simulator/commands/Table.h"

namespace sim::commands {

void addDeviceSettings(CommandTable& table) {
    table.addParameters({
        {"+IPR", "9600", "(0,300,600,1200,2400,4800,9600,19200,38400,57600,115200)"},
        {"+ICF", "3,4", "(0-6),(0-4)"},
        {"+IFC", "2,2", "(0-3),(0-2)"},
        {"&C", "1", "(0-1)"},
        {"&D", "2", "(0-2)"},
        {"&S", "1", "(0-1)"},
    });
}

} // namespace sim::commands

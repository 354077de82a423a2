// Audio settings of a call and the rings before the module answers by itself;
// the module only stores them.

#include "simulator/commands/Table.h"

namespace sim::commands {

void addCallSettings(CommandTable& table) {
    table.addParameters({
        {"+VGR", "64", "(0-255)"},
        {"+VGT", "64", "(0-255)"},
        {"+ECHO", "0,1,0,3,10,7", "(0-1),(1,3),(0-63),(0-32767),(0-256),(0-31)", true},
        {"+SIDET", "1,0", "(0-1),(0-3)"},
        {"+VTD", "1", "(0-255)"},
        {"+CRMP", "0,7,0,1", "(0-3),(0-15),(0),(0-10)"},
    });
    table.addRegisters({{0, 0}}); // S0: rings before an automatic answer, 0 never
}

} // namespace sim::commands

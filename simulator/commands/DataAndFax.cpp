// Data and fax calls: bearer, compression, error correction, fax class and
// rates; the module only stores them.

#include "simulator/commands/Table.h"

namespace sim::commands {

void addDataAndFax(CommandTable& table) {
    table.addParameters({
        {"%C", "0", "(0,2)"},
        {"\\N", "0", "(0,2,4,5)"},
        {"+CR", "0", "(0,1)"},
        {"+CBST", "0,0,1", "(0-8,12,14,65,66,68,70,71,75),(0),(0-3)"},
        {"+FCLASS", "0", "(0,1,2)"},
        {"+FTM", "96", "(24,48,72,73,74,96,97,98,121,122,145,146)"},
        {"+FRM", "96", "(24,48,72,73,74,96,97,98,121,122,145,146)"},
    });
}

} // namespace sim::commands

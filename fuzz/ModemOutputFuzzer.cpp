// libFuzzer target: arbitrary modem output through the console's receive
// path, as unsolicited output or as the replies to what the console sends
// (see fuzz/ConsoleUnderFuzz.h for how an input is read). Built and run by
// tools/fuzz.sh, with the address and undefined-behaviour sanitizers.

#include "fuzz/ConsoleUnderFuzz.h"
#include "platform/Failure.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUp();
    // A fault of the program is a finding, as a crash is.
    failures::setFaultHandler([](const QString& description) {
        std::fprintf(stderr, "fault: %s\n", description.toLocal8Bit().constData());
        std::abort();
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::run(fuzz::ModemOutput::fromInput(data, size));
    return 0;
}

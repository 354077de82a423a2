#include "link/replies/Sim.h"

#include "link/replies/Reading.h"

#include <utility>

namespace replies {

SimState simState(const QString& line) {
    // Tested in this order; the first the line holds decides.
    static const std::pair<const char*, SimState> kStates[] = {
        {"READY", SimState::Ready},
        {"SIM PIN", SimState::Pin},
        {"SIM PUK", SimState::Puk},
    };
    for (const auto& [text, state] : kStates)
        if (line.contains(QLatin1String(text))) return state;
    return SimState::Unknown;
}

std::optional<QString> lockStatus(const QString& reply, const QString& code) {
    constexpr int kStatusDigitAt = 4;
    if (!reply.contains(QLatin1String("+CLCK:")) || !reply.contains(code)) return std::nullopt;
    return window(reply, code, kStatusDigitAt, 1);
}

CodeVerdict codeVerdict(const QString& reply) {
    return {reply.contains(QLatin1String("OK")), reply.contains(QLatin1String("ERROR"))};
}

} // namespace replies

#include "link/replies/PacketData.h"

#include "link/replies/Reading.h"

namespace replies {

std::optional<std::vector<PdpContext>> contexts(const QString& reply) {
    const QStringList found = linesAfter(reply, QStringLiteral("+CGDCONT:"));
    if (found.isEmpty()) return std::nullopt;
    std::vector<PdpContext> defined;
    for (const QString& line : found) {
        const QStringList fields = text::fields(line);
        defined.push_back(
            {fields.value(0), text::unquoted(fields.value(1)), text::unquoted(fields.value(2))});
    }
    return defined;
}

} // namespace replies

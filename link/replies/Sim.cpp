#include "link/replies/Sim.h"

#include "link/replies/Reading.h"

#include <QStringList>

#include <algorithm>

namespace replies {

namespace {

// The states the "+CPIN:" lines of a text give.
QStringList statesOf(const QString& text) {
    const QString prefix = QStringLiteral("+CPIN:");
    QStringList states;
    for (const QString& line : lines(text))
        if (line.startsWith(prefix)) states << line.mid(prefix.size()).trimmed();
    return states;
}

bool anyHolds(const QStringList& states, const char* words) {
    return std::any_of(states.begin(), states.end(),
                       [words](const QString& s) { return s.contains(QLatin1String(words)); });
}

// A field of a list of pairs ("("PS",0),("SC",1)") without the parentheses
// that open or close its pair.
QString outsidePair(const QString& field) {
    QString inside = field;
    while (inside.startsWith(QLatin1Char('(')))
        inside.remove(0, 1);
    while (inside.endsWith(QLatin1Char(')')))
        inside.chop(1);
    return inside.trimmed();
}

} // namespace

SimState simState(const QString& text) {
    const QStringList states = statesOf(text);
    // Tested in this order; the first that holds decides.
    if (states.contains(QStringLiteral("READY"))) return SimState::Ready;
    if (anyHolds(states, "SIM PIN")) return SimState::Pin;
    if (anyHolds(states, "SIM PUK")) return SimState::Puk;
    if (states.contains(QStringLiteral("NOT INSERTED"))) return SimState::NotInserted;
    if (states.contains(QStringLiteral("NOT READY"))) return SimState::NotReady;
    return SimState::Unknown;
}

std::optional<QString> lockStatus(const QString& reply, const QString& code) {
    const QString quoted = QLatin1Char('"') + code + QLatin1Char('"');
    for (const QStringList& values : fieldsOfEach(reply, QStringLiteral("+CLCK:")))
        for (qsizetype i = 0; i < values.size(); ++i)
            if (outsidePair(values[i]) == quoted) return outsidePair(values.value(i + 1));
    return std::nullopt;
}

bool simBusy(const QString& reply) {
    return hasLine(reply, QStringLiteral("+CME ERROR: 14")) ||
           hasLine(reply, QStringLiteral("+CME ERROR: SIM busy"));
}

CodeVerdict codeVerdict(const QString& reply) {
    return {reply.contains(QLatin1String("OK")), reply.contains(QLatin1String("ERROR"))};
}

} // namespace replies

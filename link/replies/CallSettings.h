#pragma once

// Call settings: gains, echo cancellation, side tone, auto-answer rings, the
// length of a tone.

#include <QString>
#include <QStringList>

#include <optional>

namespace replies {

// "+VGR: <gain>" or "+VGT: <gain>": three characters past the key and blank.
std::optional<QString> gain(const QString& line);

// "+ECHO: <mode>,<algorithm>,<parameters>": the twenty characters past the
// key and blank as they stand, and the values: algorithm 1 has four
// parameters, algorithm 3 three, each up to its comma, the last up to the
// line's end. None for another algorithm, an empty mode or a value missing.
struct EchoValues {
    QString shown;
    QString mode;
    QString algorithm;
    QStringList parameters;
};
std::optional<EchoValues> echoCancellation(const QString& line);

// "+SIDET: <mode>,<level>".
struct SideTone {
    QString mode;
    QString level;
};
std::optional<SideTone> sideTone(const QString& line);

// "ATS0?": the rings before the modem answers by itself, the number on the
// first line of the reply, whether padded to three digits ("000", "002") or
// not ("0"); none without "OK" or without a number there.
std::optional<int> rings(const QString& reply);

// "AT+VTD?": the tone length in tenths of a second, from the three characters
// past "+VTD:" and its blank, up to the line end within them; none without
// "OK" or without that line end, so for a value of three digits or more.
std::optional<int> toneLength(const QString& reply);

} // namespace replies

#pragma once

// Short messages: the new-message indication, the service centre, the
// status-report setting, a stored message, and the exchange of a message's
// text after its prompt.

#include <QString>

#include <optional>

namespace replies {

// "+CMTI: "<storage>",<index>": the two characters where the index begins
// past the quoted two-letter storage name and its comma (a one-digit index
// keeps the carriage return that ends its line), the index "A", "B" or "C"
// given as 10, 11 or 12.
std::optional<QString> newMessageIndex(const QString& line);

// "+CSCA: "<number>",<type>": the number between its quotes; none when the
// reply has no such line.
std::optional<QString> serviceCentre(const QString& reply);

// "AT+CNMI?": whether status reports are routed to the terminal, by the
// fourth value of "+CNMI: <mode>,<mt>,<bm>,<ds>,<bfr>" (1 yes, 0 no); a
// refusal of the query, plain or extended, says no whatever values stand.
// None for another value, or without the line.
std::optional<bool> statusReports(const QString& reply);

// "AT+CMGR=<index>": "+CMGR: " with the quoted status and number (and for a
// received message the name and time stamp), a line break, then the text,
// which keeps its own line ends up to the final "OK" standing alone on its
// line (a text may hold "OK" or a status word itself). The status and the
// number without their quotes. None without the header line, or when the
// header has no number, no line break follows it or no final "OK" the text.
struct StoredMessage {
    QString status;
    QString number;
    QString body;
};
std::optional<StoredMessage> storedMessage(const QString& reply);

// "AT+CMGS=<number>" and "AT+CMGW=<number>": whether the modem gave the "> "
// prompt for the text, and did not end the exchange with a refusal.
bool prompted(const QString& reply);
// What the modem answered to the text typed after the prompt: the reply past
// the prompt and the text's echo (a line end typed in the text comes back
// followed by a new prompt), so that nothing the user typed counts as a
// reply; past the prompt alone when the modem does not echo the text as
// typed, the whole reply without a prompt.
QString replyToText(const QString& reply, const QString& typedText);
// Whether a line of the text begins with `prefix` ("+CMGS:").
bool hasLineStarting(const QString& text, const QString& prefix);

} // namespace replies

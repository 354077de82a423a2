#pragma once

// The SIM: what it waits for, the verdict on a code given to it, and the
// state of the locks it keeps.

#include <QString>

#include <optional>

namespace replies {

// What "+CPIN: <code>" says the SIM waits for.
enum class SimState { Ready, Pin, Puk, NotInserted, NotReady, Unknown };
// The state of a "+CPIN:" line is the whole text after its colon and blank.
// Of the text's "+CPIN:" lines: ready when one says "READY"; else "SIM PIN"
// in one (as in "SIM PIN2" and "PH-SIM PIN") asks for the PIN, "SIM PUK" (as
// in "SIM PUK2") for the PUK; else "NOT INSERTED" (no SIM) or "NOT READY"
// (the module is still reading it), as SIMCom's modules say them.
SimState simState(const QString& text);

// Whether the reply to "AT+CPIN?" is the error "SIM busy" ("+CME ERROR: 14",
// or its text after "AT+CMEE=2"): the module is still reading the SIM.
bool simBusy(const QString& reply);

// The modem's verdict on "AT+CPIN=<code>", from what follows its echo, so that
// nothing the user typed counts: it holds "OK", or "ERROR", or both, or neither.
struct CodeVerdict {
    bool accepted = false;
    bool refused = false;
};
CodeVerdict codeVerdict(const QString& reply);

// "AT+CLCK?": the status of facility `code` ("PS", "SC", "PN"), which the
// reply lists as its quoted code and its status, each a field of a "+CLCK:"
// line: in pairs on one line ("+CLCK: ("PS",0),("SC",1)") or a facility to a
// line ("+CLCK: "SC",1"). The status is the field after the code ("" when
// none follows); none when no "+CLCK:" line names the facility so.
std::optional<QString> lockStatus(const QString& reply, const QString& code);

} // namespace replies

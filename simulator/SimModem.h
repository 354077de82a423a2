#pragma once

// An in-process GSM module: it takes the bytes a console writes, answers in
// AT commands (3GPP TS 27.007 / 27.005, V.25ter) and hands its output to a
// transport that delivers it after a delay. Its commands are kept by family
// in simulator/commands/.

#include <QByteArray>
#include <QByteArrayList>

#include <array>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <vector>

namespace sim {

// NotReady: the module is still reading the SIM after it started (27.007's "SIM busy").
enum class SimStatus { Ready, PinRequired, PukRequired, Absent, Blocked, NotReady };

struct SimCard {
    SimStatus status = SimStatus::Ready;
    bool busy = false; // still being read: the module tells it as NotReady
    // The status the module tells: NotReady while the card is read.
    SimStatus current() const { return busy ? SimStatus::NotReady : status; }
    QByteArray pin = "1234";
    QByteArray puk = "12345678";
    int pinRetries = 3;
    int pukRetries = 10;
    bool pinLock = true; // "SC" facility: the PIN is asked for after a restart
    QByteArray imsi = "001010123456789";
};

struct PhonebookEntry {
    QByteArray number;
    int type = 129; // 145 for international numbers
    QByteArray name;
    // The further fields of 27.007, written where the module's shape has them.
    bool hidden = false;
    QByteArray group = {};
    QByteArray secondNumber = {}; // <adnumber>
    QByteArray secondText = {};
    QByteArray email = {};
    // When a phone's call list entry was made: "yy/MM/dd" and "hh:mm:ss".
    QByteArray date = {};
    QByteArray time = {};
};

struct Phonebook {
    int capacity = 250;
    int numberLength = 20;
    int textLength = 14;
    std::map<int, PhonebookEntry> entries; // by index, gaps allowed
};

struct ShortMessage {
    QByteArray status = "REC UNREAD"; // or "REC READ", "STO UNSENT", "STO SENT"
    QByteArray number;
    QByteArray timestamp; // "yy/MM/dd,hh:mm:ss+zz", received messages only
    QByteArray text;
};

struct SentMessage {
    QByteArray number;
    QByteArray text;
    int reference = 0;
};

enum class CallStatus { Idle, Dialling, Incoming, Active };
enum class DialOutcome { Answered, Busy, NoAnswer, NoCarrier };

struct Call {
    CallStatus status = CallStatus::Idle;
    QByteArray number;
    bool numberShown = true; // the network presents the caller's number
    int rings = 0;
};

struct Forwarding {
    QByteArray number;
    int type = 129;
    int classes = 0; // bit mask: 1 voice, 2 data, 4 fax, 8 SMS
};

struct PdpContext {
    QByteArray type = "IP";
    QByteArray apn;
};

struct Network {
    int rssi = 15;
    int ber = 99;
    int registration = 1; // +CREG <stat>
    QByteArray lac = "00C3";
    QByteArray cellId = "1A2B";
    DialOutcome dialOutcome = DialOutcome::Answered;
    double dialSeconds = 2.0;             // until the called party answers, or the call fails
    double deliveryReportSeconds = 3.0;   // from +CMGS to +CDS
    std::map<int, Forwarding> forwarding; // by reason 0-5
    std::map<QByteArray, int> barring;    // facility ("AO", "OI", ...) -> class mask
    int callWaitingClasses = 0;
    QByteArray barringPassword = "0000";
    QByteArray cellDump = "001,01,00C3,1A2B,37,705,37,,,0,,,0";
};

// What AT&W stores and ATZ restores.
struct Settings {
    int echo = 1;
    int verbose = 1;
    int quiet = 0;
    int cmee = 0;
    int cmgf = 0;
    int clip = 0;
    int creg = 0;
    int ccwa = 0;                    // +CCWA result code presentation
    QByteArray characterSet = "IRA"; // +CSCS: the texts the module exchanges
    std::map<int, int> sRegisters;
    std::map<QByteArray, QByteArray> params; // the simple parameters by name, e.g. "+VGR" -> "64"
};

// How an empty phonebook place answers a read: with no entry line and "OK",
// or as "not found" ("+CME ERROR: 22", a plain "ERROR" after "AT+CMEE=0").
enum class EmptySlot { NoEntry, NotFound };

// How "AT+CPIN?" tells a SIM the module is still reading: "+CPIN: NOT READY",
// or the error "SIM busy" ("+CME ERROR: 14", a plain "ERROR" after "AT+CMEE=0").
enum class SimNotReady { InWords, Busy };

// The indicators of "+CIND" in the order a maker's modules give them.
enum class IndicatorOrder {
    Wavecom,  // battchg, signal, service, message, call, roam, smsfull
    Ublox,    // "call" sixth, after "sounder"; "callsetup" tenth
    Telit,    // "call" sixth, the whole list in a pair of parentheses
    Huawei,   // "call" sixth, "rssi" last
    Motorola, // a phone: "call" third, "callsetup" sixth
};
// The order by its name in the tool's flags ("wavecom", "ublox", ...).
std::optional<IndicatorOrder> indicatorOrderFromName(const QByteArray& name);

// What a phonebook entry line carries after the name.
enum class EntryFields {
    None,        // +CPBR: 1,"0612345678",129,"Alice"
    HiddenGroup, // ...,"Alice",0,""                hidden, group
    Hidden,      // ...,"Alice",0                    hidden only
    Empty,       // ...,"Alice",,,,,,,               seven empty fields
    All,         // ...,"Alice",0,"","",,"",""       hidden, group, adnumber, adtype,
                 //                                   secondtext, email
    Dates,       // ...,"Alice","08/07/04","17:24:55"  a phone's date and time
};
// The shape by its name in the tool's flags ("none", "hidden-group", ...).
std::optional<EntryFields> entryFieldsFromName(const QByteArray& name);

// When "AT+CREG?" and "+CREG:" carry the location area and the cell.
enum class CellLocation {
    WhenAsked, // after "AT+CREG=2" only
    Always,    // whatever "AT+CREG" says
};

// A refusal a module gives a command whatever it asks: a plain "ERROR", or an
// equipment ("+CME ERROR: n") or message ("+CMS ERROR: n") error, each framed
// as "AT+CMEE" and the shapes below say.
struct Refusal {
    enum class Kind { Error, Equipment, Message };
    Kind kind = Kind::Error;
    int code = 0;
};

// A refusal as the module writes it: "ERROR", "+CME ERROR: n" or "+CMS ERROR: n".
std::optional<Refusal> refusalFromText(const QByteArray& text);

// Where 27.007 and 27.005 leave a module a choice, the shape it answers in.
// The defaults are the plainest; each option is one that modules in use take.
struct ReplyShapes {
    EmptySlot emptySlot = EmptySlot::NoEntry;
    // Entry lines carry the fields after the name (hidden, group), as in
    // +CPBR: 1,"0612345678",129,"Alice",0,"": the same as entryFields HiddenGroup.
    bool trailingEntryFields = false;
    EntryFields entryFields = EntryFields::None;
    // After "AT+CSCS=\"HEX\"" or "AT+CSCS=\"UCS2\"" names are written in hex
    // without quotes, as in +CPBR: 4,"030450566735",129,5669726368.
    bool unquotedHexNames = false;
    // "+CMS ERROR: n" ends a failed message command whatever "AT+CMEE" says.
    bool messageErrorsExtended = false;
    // "+CME ERROR: n" ends a failed command whatever "AT+CMEE" says.
    bool equipmentErrorsExtended = false;
    // Seconds from the echo of "AT+CMGS=" or "AT+CMGW=" to its "> " prompt.
    double promptDelay = 0;
    // Seconds from the echo of a command line to the rest of its answer, as a
    // slow module answers (it echoes every character at once).
    double replyDelaySeconds = 0;
    // Commands refused, by name as the module parses them ("+CNMI", "+CLCK", "D").
    std::map<QByteArray, Refusal> refusals;

    // After the OK to a right PIN (or PUK and new PIN) the module says, unasked,
    // "+CPIN: READY".
    bool unaskedReadyAfterPin = false;
    // So many seconds after the OK to a right PIN the module says, unasked,
    // "Call Ready" and "SMS Ready", as SIMCom's do; never when negative.
    double smsReadyAfterPinSeconds = -1;
    // "AT+CPIN?" answers "+CPIN: NOT INSERTED" when there is no SIM, instead of
    // the error "SIM not inserted".
    bool absentSimInWords = false;
    // For so many seconds after the module starts it is still reading the SIM:
    // SIM commands fail with "SIM busy", "AT+CPIN?" answers as simNotReady says.
    double simNotReadySeconds = 0;
    SimNotReady simNotReady = SimNotReady::InWords;

    // A voice dial ("ATD...;") is answered "OK" at once; only a failure (BUSY,
    // NO ANSWER, NO CARRIER) follows, once the call has been tried.
    bool voiceDialOkAtOnce = false;
    // "ATS0?" answers "0" instead of "000".
    bool unpaddedRegisters = false;
    IndicatorOrder indicatorOrder = IndicatorOrder::Wavecom;
    CellLocation cellLocation = CellLocation::WhenAsked;
    // The location area and the cell in hex without quotes: +CREG: 2,1,4CA,81DE445.
    bool unquotedLocation = false;
    // The access technology after the cell (0 GSM, 2 UTRAN, 7 E-UTRAN); none when negative.
    int accessTechnology = -1;
};

// Where a module falls silent: from then on it echoes nothing and answers
// nothing. It waits for the occurrence-th command line from now that begins
// with `command` (any line when empty); that line is echoed or not, and of its
// answer the first `lines` information lines still go out (the whole answer,
// up to its result or its "> " prompt, when negative; nothing that would come
// later). An occurrence of 0 is now.
struct Silence {
    QByteArray command;
    int occurrence = 1;
    bool echoed = true;
    int lines = -1;
};

// A silence as the tool's lines write it: "now"; "after N" (after the answers
// to N more command lines); "after N COMMAND" (after the answer to the N-th
// line that begins with COMMAND); "at COMMAND" (from the next such line, not
// even echoed); "within COMMAND LINES" (after the echo and the first LINES
// information lines of the next such line's answer).
std::optional<Silence> silenceFromText(const QByteArray& text);

struct ModemState {
    ModemState();

    QByteArray imei = "123456789012345";
    QByteArray manufacturer = "GSM SIMULATOR MODEM";
    QByteArray model = "MULTIBAND  900E  1800";
    QByteArray revision = "SIM100 1.0.0 010124 12:00";
    // Many modules pad the identity lines of "ATI0" and "+CGMM" with a blank
    // before and after the text, as in " MULTIBAND  900E  1800 ".
    bool paddedIdentity = true;

    SimCard sim;
    std::map<QByteArray, Phonebook> phonebooks; // by storage: "SM", "FD", ...
    QByteArray phonebookStorage = "SM";

    std::map<int, ShortMessage> messages; // the "SM" message store, by index
    int messageCapacity = 20;
    QByteArray serviceCentre = "+447700900100";
    int serviceCentreType = 145;
    int nextReference = 1;
    std::vector<SentMessage> sent;

    Network network;
    Call call;
    QByteArray lastDialled; // the dial string of the last ATD, ';' included

    std::map<QByteArray, QByteArray> lockPasswords; // "PS", "PN"
    std::map<QByteArray, int> locks;                // "PS", "PN" -> 0 or 1
    std::map<int, PdpContext> contexts;             // by cid 1-4
    std::array<int, 8> inputPins{};
    std::array<int, 8> cphsFunctions{}; // by CPHS function 1-7: 1 activated
    bool poweredOff = false;
    int functionality = 1; // +CFUN: 1 full, 0 minimum, 4 transmitter and receiver off

    Settings settings;
    Settings storedProfile;
    ReplyShapes shapes;
};

// Settings as the module leaves the factory.
Settings factorySettings();

// A message typed after the "> " prompt of +CMGS (send) or +CMGW (store).
struct TextEntry {
    bool send = false;
    QByteArray number;
    QByteArray status; // what +CMGW stores it as
    QByteArray body;
};

namespace commands {
struct Reply; // what a command gives back, known inside the module only
}

// How the module runs its side of the serial line: the rate (+IPR) and the
// character framing (+ICF).
struct LineFormat {
    int rate = 9600;   // 0: the module takes the rate of what arrives
    int dataBits = 8;  // 0: the module takes the framing of what arrives
    char parity = 'N'; // 'N', 'O', 'E', 'M' or 'S'
    int stopBits = 1;

    bool operator==(const LineFormat& other) const {
        return rate == other.rate && dataBits == other.dataBits && parity == other.parity &&
               stopBits == other.stopBits;
    }
    // Whether characters on a line set this way and the module's understand each other.
    bool matches(int lineRate, char lineParity, int lineDataBits, int lineStopBits) const;
    // "9600,N,8,1"; a part the module detects is written "auto".
    QByteArray text() const;
};

// Bytes cut into `pieces` parts of nearly the same size, as a line may bring
// them: never more parts than bytes, and always at least one.
QByteArrayList inPieces(const QByteArray& bytes, int pieces);

class SimModem {
  public:
    using Sender = std::function<void(const QByteArray& bytes, double delaySeconds)>;
    // Seconds on the clock the module runs by; it tells how long ago the module started.
    using TimeSource = std::function<double()>;

    // Without a time source the module runs by the machine's steady clock.
    explicit SimModem(Sender send, TimeSource now = {});

    void receive(const QByteArray& bytes); // may come in pieces
    const QByteArray& received() const { return received_; }
    void clearReceived() { received_.clear(); }
    ModemState& state() { return state_; }
    const ModemState& state() const { return state_; }

    // The rate the module runs at, stored in its profile too, so that a reset keeps it.
    void setRate(int baud);
    // The line the module talks on. A command that changes it is still
    // answered on the old one; the change holds from then on.
    LineFormat line() const;
    // One field of a simple parameter, e.g. parameterField("+CNMI", 1) is <mt>.
    QByteArray parameterField(const QByteArray& name, int index) const;

    // For a command that answers with the "> " prompt: what follows on the line
    // is message text, up to Ctrl-Z (the entry goes to its command) or Esc (dropped).
    void startText(const TextEntry& entry);

    // Seconds since the module started (or was last restarted).
    double secondsSinceStart() const;
    // The module starts again as after a power cut: it takes its stored profile,
    // ends any call, drops a message being typed, speaks again, and reads its
    // SIM anew (its status stays).
    void restart();

    // The module falls silent where `when` says (now when its occurrence is 0).
    void fallSilent(const Silence& when);
    bool silent() const { return silent_; }
    // Called once the module has fallen silent, with the seconds until the
    // last of its output has gone out.
    void onSilence(std::function<void(double untilSent)> hook) { onSilence_ = std::move(hook); }

    // Test hooks.
    void setLatency(double seconds) { latency_ = seconds; }
    double latency() const { return latency_; }
    // Replaces everything after the echo for this command line (no CR), which is not executed.
    void overrideReply(const QByteArray& commandLine, const QByteArray& response);
    void clearOverrides();
    // The command runs and is echoed, its response is lost.
    void dropReplies(const QByteArray& commandLine, bool drop = true);
    void splitReplies(int pieces, double gapSeconds);
    void unsolicited(const QByteArray& text, double delaySeconds = 0);

    // The world around the module.
    void incomingCall(const QByteArray& number, bool withClip = true);
    void ring(); // one more RING of the incoming call
    void callerHangsUp();
    void callWaiting(const QByteArray& number);
    void newMessage(int index); // +CMTI for that index, stored or not
    // Stores a received message in the first free slot and announces it; 0 when the store is full.
    int receiveMessage(const QByteArray& number, const QByteArray& text,
                       const QByteArray& timestamp = QByteArray());
    void setRegistration(int stat);

  private:
    bool speaks() const { return !state_.poweredOff && !silent_; }
    void refreshSim();
    // Whether this line is where the module falls silent.
    bool fallsSilentAt(const QByteArray& commandLine);
    void becomeSilent();
    int consumeCommand(const QByteArray& bytes, int from);
    int consumeText(const QByteArray& bytes, int from);
    void handleLine();
    void finishText(bool submit);
    struct Part {
        QByteArray bytes;
        double delay;
    };
    void deliver(const QByteArray& echo, const commands::Reply& r);
    commands::Reply keptOf(const commands::Reply& r) const;
    void replyInTurn(std::initializer_list<Part> parts);
    void reply(const QByteArray& bytes, double extraDelay = 0);
    void send(const QByteArray& bytes, double delay);

    Sender send_;
    TimeSource now_;
    double started_ = 0;
    ModemState state_;
    QByteArray received_;
    QByteArray line_;
    std::optional<TextEntry> text_; // while message text is typed
    double latency_ = 0.05;
    int pieces_ = 1;
    double gap_ = 0;
    std::map<QByteArray, QByteArray> overrides_;
    std::map<QByteArray, bool> dropped_;
    std::optional<LineFormat> answeringOn_; // while a command's reply goes out
    std::optional<Silence> silence_;        // where the module is to fall silent
    std::optional<int> linesKept_;          // of the answer going out, when it falls silent
    bool silent_ = false;
    double lastDue_ = 0; // when the last output sent goes out
    std::function<void(double)> onSilence_;
};

} // namespace sim

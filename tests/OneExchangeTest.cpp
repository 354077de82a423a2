// One exchange at a time: what a person does while a command waits for its
// reply (a second click, a click on a tab, a key) does nothing, and the
// window stays as it was; unsolicited codes that come meanwhile leave the
// reply the window waits for; closing and ending wait for the exchange.

#include "calls/Form3.h"
#include "calls/Form4.h"
#include "calls/Form5.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "config/Form14.h"
#include "config/Form15.h"
#include "config/Form17.h"
#include "config/Form18.h"
#include "config/Form19.h"
#include "console/Form10.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "services/Form12.h"
#include "services/Form9.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <functional>
#include <ostream>

namespace {

const std::map<int, sim::PhonebookEntry> kSimEntries = {
    {1, {"0611111111", 129, "Alice"}},
    {2, {"0622222222", 129, "Bob"}},
    {4, {"0644444444", 129, "Carol"}},
};

QStringList storedEntries() {
    return tableRows("DATA", {"Index", "Number", "Name"});
}

} // namespace

// The main window connected to the modem, its buttons enabled as the end of
// the initialisation leaves them; the SIM holds three entries with a gap,
// and the modem is in text mode.
class OneExchange : public ConnectedConsole {
  public:
    OneExchange() {
        main().Show();
        for (QPushButton* button : main().findChildren<QPushButton*>())
            button->setEnabled(true);
        modem().state().settings.cmgf = 1;
        modem().state().phonebooks["SM"].entries = kSimEntries;
    }

    // Shows a window as its opener does, lets what its loading sent be
    // answered, and forgets what it sent.
    template <class Window> Window& open() {
        Window& window = form<Window>();
        window.Show();
        run(3);
        sent();
        return window;
    }
    // The call window opened on the SIM's entries, downloaded.
    Form3& calls() {
        Form3& window = open<Form3>();
        run(20);
        sent();
        return window;
    }
    template <class T = QWidget> T* in(QWidget& window, const char* name) {
        return control<T>(window, name);
    }
    // Clicks as a person makes them, with the mouse: on an option's mark
    // (its caption may end short of its middle), on a button's middle.
    void choose(QWidget& window, std::initializer_list<const char*> controls) {
        for (const char* name : controls) {
            QWidget* chosen = in(window, name);
            if (qobject_cast<QRadioButton*>(chosen))
                click(chosen, QPoint(6, chosen->height() / 2));
            else
                click(chosen);
        }
    }
    void typeInto(QWidget& window, const char* box, const QString& text) {
        typeOver(in(window, box), text);
    }
    QString text(QWidget& window, const char* name) {
        QWidget* shown = in(window, name);
        if (auto* box = qobject_cast<QLineEdit*>(shown)) return box->text();
        if (auto* editor = qobject_cast<QPlainTextEdit*>(shown)) return editor->toPlainText();
        return shownCaption(shown);
    }
    using ConnectedConsole::main;
    using ConnectedConsole::modem;
    using ConnectedConsole::run;
    using ConnectedConsole::sent;
};

// ---- every control that sends, clicked once and double-clicked

// Where a person clicks: a control, at a point of it (its centre when none).
struct Target {
    Target(QWidget* w) : widget(w) {} // NOLINT: a control is clicked at its centre
    Target(QWidget* w, QPoint p) : widget(w), at(p) {}
    QWidget* widget;
    QPoint at = QPoint(-1, -1);
};

// A control that starts an exchange: how a person gets to it, what one
// click sends (the call watch's queries aside), and what the window then shows.
struct Sending {
    const char* name;
    std::function<Target(OneExchange&)> reach;
    QByteArray sent;
    std::function<QString(OneExchange&)> shown;
    QString result;
};

void PrintTo(const Sending& sending, std::ostream* out) {
    *out << sending.name;
}

namespace {

using Shown = std::function<QString(OneExchange&)>;

// What a window's control shows.
template <class Window> Shown shownIn(const char* name) {
    return [name](OneExchange& f) { return f.text(form<Window>(), name); };
}
template <class Window> Shown windowShown() {
    return [](OneExchange&) {
        return Forms::instance().isLoaded<Window>() && form<Window>().isVisible()
                   ? QStringLiteral("shown")
                   : QStringLiteral("hidden");
    };
}
// A result line that ends in the time of day: without it.
template <class Window> Shown shownBeforeTime(const char* name) {
    return [name](OneExchange& f) {
        const QString line = f.text(form<Window>(), name);
        return line.left(line.lastIndexOf(QLatin1Char(' ')));
    };
}
Shown storedCopy() {
    return [](OneExchange&) { return storedEntries().join(' '); };
}

// The main window's button that opens a window.
template <class Window>
Sending opening(const char* name, const char* button, const QByteArray& sent,
                const char* shownControl, const QString& result) {
    return {name, [button](OneExchange& f) -> Target { return f.in(f.main(), button); }, sent,
            shownControl ? shownIn<Window>(shownControl) : windowShown<Window>(), result};
}

// A button of a window opened as its opener opens it, after `prepare`.
template <class Window>
std::function<Target(OneExchange&)>
buttonOf(const char* button, std::function<void(OneExchange&, Window&)> prepare = {}) {
    return [button, prepare](OneExchange& f) -> Target {
        Window& window = f.open<Window>();
        if (prepare) prepare(f, window);
        f.run(1);
        f.sent();
        return f.in(window, button);
    };
}
template <class Window> std::function<Target(OneExchange&)> tabOf(int tab) {
    return [tab](OneExchange& f) -> Target {
        QTabBar* strip = f.in<QTabBar>(f.open<Window>(), "TabStrip1");
        return {strip, strip->tabRect(tab).center()};
    };
}

const QString kIndicators =
    "BatteryChargeLevel->5,   signal level-3,   service Enabled,   No New Message,   No New "
    "Call,   Roam Disabled,   SMS Not FULL";
const QByteArray kSignalQueries = "AT\rAT+CSQ\rAT+CREG?\r";
const QByteArray kInitialisation =
    "AT+CMEE=0\rAT+CRC=0\rAT+CLIP=1\rAT+WIND=0\rAT+CMGF=1\r" + kSignalQueries +
    "AT+SPEAKER=1\rATE1\rATI0\rATI3\rAT+CCED=2\rATS0?\rAT+IPR?\rAT+ICF?\r";
const QByteArray kForwardingQueries =
    "AT+CCFC=0,2\rAT+CCFC=1,2\rAT+CCFC=2,2\rAT+CCFC=3,2\rAT+CCFC=4,2\rAT+CCFC=5,2\r";
const QByteArray kBarringQueries = "AT+CLCK=\"AO\",2\rAT+CLCK=\"OI\",2\rAT+CLCK=\"OX\",2\r"
                                   "AT+CLCK=\"AI\",2\rAT+CLCK=\"IR\",2\r";

void storeCopyEntry() {
    addTableRow("DATA", {{"Index", "1"}, {"Number", "0611111111"}, {"Name", "Alice"}});
}

// clang-format off
const Sending kSendingControls[] = {
    // ---- the main window
    opening<Form2>("Model", "Command1", "AT\r", nullptr, "shown"),
    {"Voice Call",
     [](OneExchange& f) -> Target {
         storeCopyEntry();
         return f.in(f.main(), "Command2");
     },
     "AT\r", windowShown<Form3>(), "shown"},
    opening<Form8>("SMS", "Command3", "AT+CNMI?\r", nullptr, "shown"),
    opening<Form12>("Supplementary Service", "Command4", kForwardingQueries, "Label11",
                    "UNCONDITIONAL-Call Forward Not Active For All Classes "),
    opening<Form9>("Security", "Command5", "AT+CLCK?\r", "Label2",
                   "Current Status:SIM Not Locked"),
    opening<Form6>("Call Control", "Command6", "AT+VGR?\rAT+VGT?\r", "Label7",
                   "Default Values-MicroPhone 64\r"),
    opening<Form14>("Data And Fax", "Command10", "AT+CBST?\r", "Label1",
                    "Speed:0-DeFault  CE:1 Default"),
    opening<Form15>("Modem Setting", "Command11", "AT&V\r", nullptr, "shown"),
    {"Factory Settings", [](OneExchange& f) -> Target { return f.in(f.main(), "Command13"); },
     "AT&F\rAT+SPEAKER=1\rAT&W\r", shownIn<Form1>("Label5"), "Restart in Process.Click Refresh "},
    // ---- the PIN entry
    {"PIN Ok",
     [](OneExchange& f) -> Target {
         f.modem().state().sim.status = sim::SimStatus::PinRequired;
         f.main().modem().CheckSIM();
         f.typeInto(form<Form10>(), "Text1", "1234");
         f.sent();
         return f.in(form<Form10>(), "Command1");
     },
     "AT+CPIN=1234\r" + kInitialisation, windowShown<Form10>(), "hidden"},
    // ---- the call window
    {"Dial", buttonOf<Form3>("Command1", [](OneExchange& f, Form3& w) {
         f.typeInto(w, "Text1", "0612345678");
     }),
     "ATD0612345678;\r", shownIn<Form3>("Label3"), "Connected SuccessFully-0612345678"},
    {"Redial", buttonOf<Form3>("Command8", [](OneExchange& f, Form3&) {
         f.modem().state().lastDialled = "0612345678;";
     }),
     "ATDL\r", shownIn<Form3>("Label3"), "Connected SuccessFully-0612345678"},
    {"Hang Up", buttonOf<Form3>("Command4"), "ATH\r", shownIn<Form3>("Label3"), "DisConnected "},
    {"Keypad 5", buttonOf<Form3>("Image5"), "AT+VTS=5\r", shownIn<Form3>("Text1"), "5"},
    {"Keypad hash", buttonOf<Form3>("Label2"), "AT+VTS=#\r", shownIn<Form3>("Text1"), "#"},
    {"Reload PhoneBook", buttonOf<Form3>("Command5"),
     "AT+CPBS?\rAT+CPBR=1\rAT+CPBR=2\rAT+CPBR=3\rAT+CPBR=4\r", storedCopy(),
     "1|0611111111|Alice 2|0622222222|Bob 4|0644444444|Carol"},
    {"Delete", buttonOf<Form3>("Command3", [](OneExchange& f, Form3& w) {
         clickRow(f.in<QListWidget>(w, "List1"), 1);
     }),
     "AT+CPBW=2\r", storedCopy(), "1|0611111111|Alice 4|0644444444|Carol"},
    {"Call window signal", buttonOf<Form3>("Label1"), kSignalQueries, windowShown<Form7>(),
     "shown"},
    // ---- the phonebook entry window
    {"Entry Ok",
     [](OneExchange& f) -> Target {
         Form3& calls = f.open<Form3>();
         f.run(20);
         click(f.in(calls, "Command2"));
         Form4& w = form<Form4>();
         f.typeInto(w, "Text1", "06");
         f.typeInto(w, "Text2", "5555");
         f.typeInto(w, "Text3", "5555");
         f.typeInto(w, "Text4", "Double");
         f.sent();
         return f.in(w, "Command1");
     },
     "AT+CPBR=4\rAT+CPBR=3\rAT+CPBW=3,0655555555,,\" Double\"\r", storedCopy(),
     "1|0611111111|Alice 2|0622222222|Bob 4|0644444444|Carol 3|0655555555|DOUBLE"},
    // ---- the incoming-call window
    {"Answer",
     [](OneExchange& f) -> Target {
         f.modem().incomingCall("0699999999");
         f.run(3);
         f.sent();
         return f.in(form<Form5>(), "Command1");
     },
     "ATA\r", [](OneExchange& f) {
         return QString::number(static_cast<int>(f.modem().state().call.status));
     }, QString::number(static_cast<int>(sim::CallStatus::Active))},
    {"Incoming HangUp",
     [](OneExchange& f) -> Target {
         f.modem().incomingCall("0699999999");
         f.run(3);
         f.sent();
         return f.in(form<Form5>(), "Command2");
     },
     "ATH\r", windowShown<Form5>(), "hidden"},
    // ---- the call-control window
    {"Gains Ok", buttonOf<Form6>("Command1"), "AT+VGR=64\rAT+VGT=64\r", shownIn<Form6>("Label7"),
     "Changes SuccessFul-Microphone"},
    {"Echo Ok", buttonOf<Form6>("Command3", [](OneExchange& f, Form6& w) {
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 1);
         f.run(5);
         pick(f.in<QComboBox>(w, "Combo1"), "1");
         pick(f.in<QComboBox>(w, "Combo2"), "1");
     }),
     "AT+ECHO=1,1,0,3,10,7\r", shownIn<Form6>("Label7"), "Changes SuccessFul"},
    {"Side Tone Ok", buttonOf<Form6>("Command4", [](OneExchange& f, Form6& w) {
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 1);
         f.run(5);
         f.choose(w, {"Option2"});
     }),
     "AT+SIDET=1,0\r", shownIn<Form6>("Label7"), "Changes SuccessFul"},
    {"Auto Answer Ok", buttonOf<Form6>("Command5", [](OneExchange& f, Form6& w) {
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 2);
         f.run(5);
         f.choose(w, {"Option3"});
     }),
     "ATS0=0\r", shownIn<Form6>("Label7"), "Changes SuccessFul.AutoAnswer Disabled"},
    {"Tone Length Ok", buttonOf<Form6>("Command6", [](OneExchange& f, Form6& w) {
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 2);
         f.run(5);
         f.typeInto(w, "Text1", "500");
     }),
     "AT+VTD=5\r", shownIn<Form6>("Label7"), "Changes SuccessFul-TONE LENGTH"},
    {"Ring Melody Ok", buttonOf<Form6>("Command7", [](OneExchange& f, Form6& w) {
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 3);
         pick(f.in<QComboBox>(w, "Combo4"), "Incoming SMS");
         pick(f.in<QComboBox>(w, "Combo5"), "2");
     }),
     "AT+CRMP= 3,0,0,2\r", shownIn<Form6>("Label7"), "Changes SuccessFul-Ring Melody"},
    {"Tone/Echo tab", tabOf<Form6>(1), "AT+ECHO?\rAT+SIDET?\r", shownIn<Form6>("Label7"),
     "Echo Current Values--0,1,0,3,10,7\r\n\r\nOK\r\n"},
    {"AutoAnswer tab", tabOf<Form6>(2), "ATS0?\rAT+VTD?\r", shownIn<Form6>("Label7"),
     "Tone Lenght Currently Is100"},
    // ---- the short-message window
    {"Send", buttonOf<Form8>("Command1", [](OneExchange& f, Form8& w) {
         f.typeInto(w, "Text1", "0612345678");
         f.typeInto(w, "Text2", "See you");
     }),
     "AT+CMGS=0612345678\rSee you\x1a", shownBeforeTime<Form8>("Label4"),
     "Message Sent SuccessFully At"},
    {"Save", buttonOf<Form8>("Command2", [](OneExchange& f, Form8& w) {
         f.typeInto(w, "Text1", "0612345678");
         f.typeInto(w, "Text2", "See you");
     }),
     "AT+CMGW=0612345678\rSee you\x1a", shownIn<Form8>("Label4"), "Message Saved"},
    {"Read", buttonOf<Form8>("Command3", [](OneExchange& f, Form8& w) {
         f.modem().state().messages[2] = {"REC READ", "0622222222", "24/01/15,10:30:00+00", "Hi"};
         pick(f.in<QComboBox>(w, "Combo1"), "2");
     }),
     "AT+CMGR= 2\r", shownIn<Form8>("Text3"), "From:0622222222  ,READMSG: Hi\n\n"},
    {"Message Delete", buttonOf<Form8>("Command4", [](OneExchange& f, Form8& w) {
         f.modem().state().messages[2] = {"REC READ", "0622222222", "24/01/15,10:30:00+00", "Hi"};
         pick(f.in<QComboBox>(w, "Combo1"), "2");
     }),
     "AT+CMGD=2\r", shownIn<Form8>("Text3"), "Message Deleted"},
    {"Phonebook Names", buttonOf<Form8>("Command6", [](OneExchange&, Form8&) {
         storeCopyEntry();
     }),
     "AT+CSCA?\r", shownIn<Form8>("Text4"), "+447700900100"},
    {"Message window signal", buttonOf<Form8>("Label7"), kSignalQueries, windowShown<Form7>(),
     "shown"},
    {"Cell Broadcast Ok", buttonOf<Form8>("Command8", [](OneExchange& f, Form8& w) {
         f.choose(w, {"Option1"});
     }),
     "AT+CSCB=1\r", shownIn<Form8>("Label4"), "Cell BroadCast Enabled"},
    {"Status Report Ok", buttonOf<Form8>("Command9", [](OneExchange& f, Form8& w) {
         f.choose(w, {"Option3"});
     }),
     "AT+CSMP=33,167,0,0\rAT+CNMI=0,1,0,1,0\r", shownIn<Form8>("Label4"),
     "Status Report Enabled"},
    // ---- the security window
    {"Lock Ok", buttonOf<Form9>("Command1", [](OneExchange& f, Form9& w) {
         f.choose(w, {"Command2", "Option1"});
         f.typeInto(w, "Text1", "12345678");
     }),
     "AT+CLCK=\"PS\",1,12345678\r", shownIn<Form9>("Label2"), "Changes SuccessFul-LOCKED"},
    {"Change Password Ok", buttonOf<Form9>("Command3", [](OneExchange& f, Form9& w) {
         f.choose(w, {"Command2", "Option3"});
         f.typeInto(w, "Text2", "12345678");
         f.typeInto(w, "Text3", "87654321");
     }),
     "AT+CPWD=\"PS\",12345678,87654321\r", shownIn<Form9>("Label2"),
     "Changes SuccessFul-PASSWORD CHANGED"},
    {"Status Query", buttonOf<Form9>("Command10"), "AT+CLCK?\r", shownIn<Form9>("Label2"),
     "Current Status:SIM Not Locked"},
    {"Security signal", buttonOf<Form9>("Command11"), kSignalQueries, windowShown<Form7>(),
     "shown"},
    // ---- the supplementary-services window
    {"Forwarding Ok", buttonOf<Form12>("Command1", [](OneExchange& f, Form12& w) {
         f.run(20);
         f.choose(w, {"Option1", "Option7", "Option12"});
         f.typeInto(w, "Text1", "0612345678");
     }),
     "AT+CCFC=0,3,\"0612345678\",,1\r", shownIn<Form12>("Label2"), "Changes SuccessFul"},
    {"Forwarding Query", buttonOf<Form12>("Command2", [](OneExchange& f, Form12&) { f.run(20); }),
     kForwardingQueries, shownIn<Form12>("Label11"),
     "UNCONDITIONAL-Call Forward Not Active For All Classes "},
    {"Barring Ok", buttonOf<Form12>("Command3", [](OneExchange& f, Form12& w) {
         f.run(20);
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 1);
         f.run(20);
         f.choose(w, {"Command4", "Option17", "Option23", "Option24"});
         f.typeInto(w, "Text2", "0000");
     }),
     "AT+CLCK=\"AO\",1,0000,1\r", shownIn<Form12>("Label5"), "Changes SuccessFully"},
    {"Call Waiting Ok", buttonOf<Form12>("Command6", [](OneExchange& f, Form12& w) {
         f.run(20);
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 2);
         f.run(5);
         f.choose(w, {"Command5", "Option29"});
     }),
     "AT+CCWA=1,1,1\r", shownIn<Form12>("Label6"), "Changes SuccessFul"},
    {"Closed User Group Ok", buttonOf<Form12>("Command7", [](OneExchange& f, Form12& w) {
         f.run(20);
         clickTab(f.in<QTabBar>(w, "TabStrip1"), 3);
         f.run(5);
         pick(f.in<QComboBox>(w, "Combo1"), "Enable CUG Mode");
         pick(f.in<QComboBox>(w, "Combo2"), "2");
         pick(f.in<QComboBox>(w, "Combo3"), "Default");
     }),
     "AT+CCUG=1,2,0\r", shownIn<Form12>("Label7"), "Changes SuccessFul"},
    {"Services signal", buttonOf<Form12>("Command8", [](OneExchange& f, Form12&) { f.run(20); }),
     kSignalQueries, windowShown<Form7>(), "shown"},
    {"Call Baring tab",
     [](OneExchange& f) -> Target {
         QTabBar* strip = f.in<QTabBar>(f.open<Form12>(), "TabStrip1");
         f.run(20);
         f.sent();
         return {strip, strip->tabRect(1).center()};
     },
     kBarringQueries, shownIn<Form12>("Label3"),
     "OutGoing Calls Not Barred,      OutGoing International Calls Not Barred,     OutGoing "
     "Internet Calls Not Barred,     Incoming Calls Not Barred,     Incoming Calls While Roaming "
     "Calls Not Barred"},
    // ---- the data and fax window
    {"Bearer", buttonOf<Form14>("Command1"), "AT+CBST?\r", shownIn<Form14>("Label1"),
     "Speed:0-DeFault  CE:1 Default"},
    {"Compression", buttonOf<Form14>("Command2"), "AT%C?\rAT\\N?\r", shownIn<Form14>("Label4"),
     "Compression Default , Error Correction 0 Default"},
    {"Fax Class", buttonOf<Form14>("Command3"), "AT+FCLASS?\r", shownIn<Form14>("Label5"),
     "Currently In Data Mode"},
    {"Bearer Ok", buttonOf<Form14>("Command6", [](OneExchange& f, Form14& w) {
         f.in<QComboBox>(w, "Combo1")->setCurrentIndex(1);
         f.in<QComboBox>(w, "Combo2")->setCurrentIndex(1);
     }),
     "AT+CBST=1,0,1\r", shownIn<Form14>("Label1"), "Changes SuccessFul"},
    {"Data window signal", buttonOf<Form14>("Label9"), kSignalQueries, windowShown<Form7>(),
     "shown"},
    // ---- the modem settings window
    {"Save Configurations", buttonOf<Form15>("Command1", [](OneExchange& f, Form15& w) {
         f.choose(w, {"Option4", "Option12", "Option15", "Option19", "Option23", "Option25",
                      "Option20", "Option28"});
         f.typeInto(w, "Combo1", "9600");
     }),
     "AT+IPR=9600\rAT+ICF=3,4\rAT+IFC=2,2\rAT&C1\rAT&D1\rAT&S0\rATE1\rAT&W\r",
     shownIn<Form15>("Label1"), "Changes SuccessFul"},
    // ---- vendor features, SIM toolkit, GPRS
    {"Indications", buttonOf<Form17>("Command1"), "AT+CIND?\r", shownIn<Form17>("Label14"),
     kIndicators},
    {"Indicator Status", buttonOf<Form17>("Command6"), "AT+CIND?\r", shownIn<Form17>("Label14"),
     kIndicators},
    {"Cell Dump Ok", buttonOf<Form17>("Command7", [](OneExchange&, Form17& w) {
         pick(control<QComboBox>(w, "Combo1"), "1 Shot Request");
         pick(control<QComboBox>(w, "Combo2"), "Main Cell");
     }),
     "AT+CCED=0,1\r", shownIn<Form17>("Label1"), "Changes SuccessFul-CCED"},
    {"Indication Level Ok", buttonOf<Form17>("Command8", [](OneExchange&, Form17& w) {
         pick(control<QComboBox>(w, "Combo3"), "16");
     }),
     "AT+WIND=16\r", shownIn<Form17>("Label1"), "Changes SuccessFul-WIND"},
    {"Voice Mail Ok", buttonOf<Form17>("Command9", [](OneExchange& f, Form17& w) {
         click(f.in(w, "Command2"));
         pick(control<QComboBox>(w, "Combo4"), "Activate");
     }),
     "AT+CPHS=1,1\r", shownIn<Form17>("Label6"), "Changes SuccessFul-CPHS"},
    {"Input Pin Ok", buttonOf<Form17>("Command10", [](OneExchange& f, Form17& w) {
         click(f.in(w, "Command3"));
         pick(control<QComboBox>(w, "Combo5"), "1");
     }),
     "AT+WIOR=1\r", shownIn<Form17>("Label9"), "PIN 1 RESET"},
    {"Power Off", buttonOf<Form17>("Command4"), "AT&W\rAT+CPOF\r", shownIn<Form17>("Label13"),
     "POWER OFF SuccessFul"},
    {"Vendor signal", buttonOf<Form17>("Label10"), kSignalQueries, windowShown<Form7>(), "shown"},
    {"Toolkit Query", buttonOf<Form18>("Command2"), "AT+STSF?\r", shownIn<Form18>("Label2"),
     "Current Status: Mode:  DeActivate SIM ToolKit Functionalities"},
    {"Toolkit Ok", buttonOf<Form18>("Command1", [](OneExchange&, Form18& w) {
         pick(control<QComboBox>(w, "Combo1"), "Activate");
     }),
     "AT+STSF=1\r", shownIn<Form18>("Label2"), "Changes SuccessFul-SIM ToolKit"},
    {"GPRS Query", buttonOf<Form19>("Command2"), "AT+CGDCONT?\r", shownIn<Form19>("Label1"),
     "Current Status"},
    {"GPRS Ok", buttonOf<Form19>("Command1", [](OneExchange& f, Form19& w) {
         pick(control<QComboBox>(w, "Combo1"), "2");
         pick(control<QComboBox>(w, "Combo2"), "IP");
         f.typeInto(w, "Text1", "web");
     }),
     "AT+CGDCONT=2,\"IP\",\"web\"\rAT+CGDCONT?\r", shownIn<Form19>("Label1"), "Current Status"},
};
// clang-format on

} // namespace

class SendingControlTest : public OneExchange, public ::testing::WithParamInterface<Sending> {
  protected:
    // What a click on the control sends; during a call, the call watch's
    // queries (the indicators' order, asked once, and their values) left out.
    QByteArray sentBy(const std::function<void()>& clicks) {
        const bool duringCall = main().Timer2.Enabled();
        sent();
        clicks();
        run(30);
        QByteArray bytes = sent();
        if (!duringCall) return bytes;
        return bytes.replace("AT+CIND=?\r", "").replace("AT+CIND?\r", "");
    }
};

// Names the instances by control: Controls/SendingControlTest.X/EntryOk.
std::string controlName(const ::testing::TestParamInfo<Sending>& sending) {
    QString name = QString::fromLatin1(sending.param.name);
    name.remove(QRegularExpression("[^A-Za-z0-9]"));
    return name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Controls, SendingControlTest, ::testing::ValuesIn(kSendingControls),
                         controlName);

TEST_P(SendingControlTest, OneClickSendsItsExchange) {
    const Sending& c = GetParam();
    const Target target = c.reach(*this);
    EXPECT_EQ(sentBy([&] { click(target.widget, target.at); }), c.sent);
    EXPECT_EQ(c.shown(*this), c.result);
}

TEST_P(SendingControlTest, ADoubleClickSendsItOnce) {
    const Sending& c = GetParam();
    const Target target = c.reach(*this);
    EXPECT_EQ(sentBy([&] { doubleClick(target.widget, target.at); }), c.sent);
    EXPECT_EQ(c.shown(*this), c.result);
}

// ---- what comes while an exchange waits

class OneExchangeTest : public OneExchange {
  protected:
    Form8& messageWindow() {
        Form8& window = open<Form8>();
        typeInto(window, "Text1", "0612345678");
        typeInto(window, "Text2", "See you");
        sent();
        return window;
    }
    // The panels of a window shown, by name, among those given.
    static QStringList shownPanels(QWidget& window, const QStringList& panels) {
        QStringList shown;
        for (const QString& name : panels)
            if (control(window, name)->isVisibleTo(&window)) shown << name;
        return shown;
    }
    QStringList sentMessages() {
        QStringList texts;
        for (const sim::SentMessage& message : modem().state().sent)
            texts << QString::fromLatin1(message.text);
        return texts;
    }
};

TEST_F(OneExchangeTest, TwoClicksHalfASecondApartSendOrSaveOneMessage) {
    struct Case {
        const char* button;
        QByteArray sent;
        QString status;
    };
    const Case cases[] = {
        {"Command1", "AT+CMGS=0612345678\rSee you\x1a", "Message Sent SuccessFully At 10:00:"},
        {"Command2", "AT+CMGW=0612345678\rSee you\x1a", "Message Saved"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        modem().state().sent.clear();
        modem().state().messages.clear();
        Form8& window = messageWindow();
        QWidget* button = in(window, c.button);
        const auto second = clickLater(button, 0.5);
        click(button);
        runUntil(second);
        run(10);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_TRUE(text(window, "Label4").startsWith(c.status))
            << text(window, "Label4").toStdString();
        EXPECT_EQ(sentMessages().size() + modem().state().messages.size(), 1u);
    }
}

TEST_F(OneExchangeTest, ThreeQuickReloadsRunOneDownload) {
    QWidget* reload = in(calls(), "Command5");
    const auto second = clickLater(reload, 0.2);
    const auto third = clickLater(reload, 0.4, QPoint(-1, -1), QEvent::MouseButtonDblClick);
    click(reload);
    runUntil(second);
    runUntil(third);
    run(20);
    EXPECT_EQ(sent(), "AT+CPBS?\rAT+CPBR=1\rAT+CPBR=2\rAT+CPBR=3\rAT+CPBR=4\r");
    EXPECT_EQ(items(in<QListWidget>(form<Form3>(), "List1")),
              (QStringList{Form3::listRow("1", "0611111111", "Alice"),
                           Form3::listRow("2", "0622222222", "Bob"),
                           Form3::listRow("4", "0644444444", "Carol")}));
    EXPECT_EQ(storedEntries(),
              (QStringList{"1|0611111111|Alice", "2|0622222222|Bob", "4|0644444444|Carol"}));
}

// A click on the selected tab runs its page's queries again; a click on
// another tab meanwhile does nothing, and the window shows one tab and its
// page. A page without queries leaves the second click free to change the tab.
TEST_F(OneExchangeTest, AClickOnAnotherTabDuringTheSelectedTabsQueriesIsRefused) {
    struct Case {
        const char* name;
        std::function<QWidget&()> open;
        int selected;
        int other;
        int shownTab;
        QByteArray sent;
        QStringList pages;
        QStringList shownPages;
    };
    const QStringList callControlPages = {"Frame1", "Frame2", "Frame10", "Frame12"};
    const QStringList servicesPages = {"Frame1", "Frame9", "Frame10", "Frame12"};
    const Case cases[] = {
        {"call control",
         [this]() -> QWidget& { return open<Form6>(); },
         1,
         2,
         1,
         "AT+ECHO?\rAT+SIDET?\r",
         callControlPages,
         {"Frame2"}},
        {"supplementary services",
         [this]() -> QWidget& { return open<Form12>(); },
         0,
         1,
         0,
         kForwardingQueries,
         servicesPages,
         {"Frame1"}},
        {"call waiting",
         [this]() -> QWidget& { return open<Form12>(); },
         2,
         3,
         2,
         "AT+CCWA=1,2\r",
         servicesPages,
         {"Frame10"}},
        {"security",
         [this]() -> QWidget& { return open<Form9>(); },
         0,
         1,
         1,
         "",
         {"Frame2", "Frame3", "Frame4"},
         {"Frame3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget& window = c.open();
        QTabBar* strip = in<QTabBar>(window, "TabStrip1");
        clickTab(strip, c.selected);
        run(30);
        sent();
        const auto other = clickLater(strip, 0.5, strip->tabRect(c.other).center());
        clickTab(strip, c.selected);
        runUntil(other);
        QCoreApplication::processEvents();
        run(30);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(strip->currentIndex(), c.shownTab);
        EXPECT_EQ(shownPanels(window, c.pages), c.shownPages);
        window.close();
        run(2);
    }
}

// The modem takes what follows the prompt as the message's text: nothing a
// person starts meanwhile, and nothing the dispatcher starts, goes there.
TEST_F(OneExchangeTest, NothingGoesIntoATextTheModemWaitsFor) {
    struct Case {
        const char* name;
        std::function<void()> meanwhile;
    };
    const Case cases[] = {
        {"a window opened", [this] { click(in(main(), "Command5")); }},
        {"the phonebook entry window's Ok",
         [this] {
             click(in(form<Form3>(), "Command2"));
             click(in(form<Form4>(), "Command1"));
         }},
        // The caller is looked up in the call window, which finds its copy
        // empty and would ask for the SIM's phonebook.
        {"a ring loading the call window",
         [this] {
             unloadIfLoaded<Form3>();
             modem().state().settings.clip = 1;
             modem().incomingCall("0699999999");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Form3& calls = form<Form3>();
        calls.Show();
        run(3);
        modem().state().shapes.promptDelay = 0.8;
        modem().state().sent.clear();
        Form8& window = messageWindow();
        clock().schedule(clock().seconds() + 0.4, c.meanwhile);
        click(in(window, "Command1"));
        EXPECT_EQ(sent().replace("AT+CIND?\r", ""), "AT+CMGS=0612345678\rSee you\x1a");
        EXPECT_EQ(sentMessages(), QStringList{"See you"});
        EXPECT_TRUE(text(window, "Label4").startsWith("Message Sent SuccessFully At "));
        modem().callerHangsUp();
        run(10);
        unloadIfLoaded<Form9>();
        unloadIfLoaded<Form4>();
        unloadIfLoaded<Form5>();
        db::OpenDatabase("phonebook.mdb").Execute("delete from data");
    }
}

// A code the dispatcher empties once it has acted on it, arriving while a
// window waits for its reply, leaves that reply: the module refuses the read
// of a message just deleted, and the window says so.
TEST_F(OneExchangeTest, ACodeInsideAReadLeavesTheReadsReply) {
    const QByteArray codes[] = {"\r\n+CMTI: \"SM\",3\r\n", "\r\nRING\r\n",
                                "\r\nRING\r\n\r\n+CLIP: \"0699999999\",129\r\n"};
    modem().state().messages[2] = {"REC READ", "0622222222", "24/01/15,10:30:00+00", "Hi"};
    Form8& window = open<Form8>();
    pick(in<QComboBox>(window, "Combo1"), "2");
    click(in(window, "Command4"));
    refuse(modem(), "+CMGR", "+CMS ERROR: 321");
    for (const QByteArray& code : codes) {
        SCOPED_TRACE(code.constData());
        in<QPlainTextEdit>(window, "Text3")->clear();
        sent();
        clock().schedule(clock().seconds() + 0.3, [this, code] { arrive(code); });
        click(in(window, "Command3"));
        run(5);
        EXPECT_EQ(sent().left(11), "AT+CMGR= 2\r");
        EXPECT_EQ(text(window, "Text3"), "No Message");
        unloadIfLoaded<Form5>();
    }
}

// Typing goes on while an exchange waits, line breaks in a message's text
// included; a key that would press a button or pick an item does nothing.
TEST_F(OneExchangeTest, TypingDuringAnExchangeIsKeptAndKeysThatActAreRefused) {
    Form8& window = open<Form8>();
    pick(in<QComboBox>(window, "Combo1"), "2");
    auto* number = in<QLineEdit>(window, "Text1");
    auto* body = in<QPlainTextEdit>(window, "Text2");
    QWidget* read = in(window, "Command3");
    clock().schedule(clock().seconds() + 0.2, [&] {
        moveFocusTo(number);
        type(number, "0612");
        moveFocusTo(body);
        type(body, "Dear\nyou");
        read->setFocus();
        pressKey(read, Qt::Key_Space);
        pressKey(read, Qt::Key_Return);
        pressKey(in(window, "Combo1"), Qt::Key_Down);
    });
    click(read);
    run(5);
    EXPECT_EQ(sent(), "AT+CMGR= 2\r");
    EXPECT_EQ(number->text(), "0612");
    EXPECT_EQ(body->toPlainText(), "Dear\nyou");
    EXPECT_EQ(in<QComboBox>(window, "Combo1")->currentText(), "2");
}

// Alt and the underlined letter of "&Ok" press it; pressed again while its
// exchange waits, they do nothing.
TEST_F(OneExchangeTest, AShortcutPressedDuringAnExchangeIsRefused) {
    click(in(calls(), "Command2"));
    Form4& entry = form<Form4>();
    typeInto(entry, "Text1", "06");
    typeInto(entry, "Text2", "5555");
    typeInto(entry, "Text3", "5555");
    typeInto(entry, "Text4", "Dave");
    sent();
    clock().schedule(clock().seconds() + 0.5, [&entry] { pressAlt(&entry, Qt::Key_O); });
    pressAlt(&entry, Qt::Key_O);
    QTest::qWait(500);
    run(5);
    QTest::qWait(500);
    EXPECT_EQ(sent(), "AT+CPBR=4\rAT+CPBR=3\rAT+CPBW=3,0655555555,,\" Dave\"\r");
    EXPECT_EQ(storedEntries().size(), 4);
}

// What closing a window or ending the program sends goes out once the
// exchange under way is over, and leaves the reply to it where its window
// reads it. Ending the program cancels a message the modem waits for the
// text of.
TEST_F(OneExchangeTest, ClosingAndEndingWaitForTheExchangeUnderWay) {
    struct Case {
        const char* name;
        std::function<Target()> start; // what is clicked first
        std::function<void()> end;     // half a second later
        QByteArray sent;
        QString shown; // the message window's line that ends with the outcome
        int ended;
    };
    const auto readOut = [this] { return text(form<Form8>(), "Text3"); };
    const auto status = [this] { return text(form<Form8>(), "Label4"); };
    // The message window, its stored message picked, and one of its buttons.
    const auto messageButton = [this](const char* button) {
        return [this, button]() -> Target {
            Form8& window = messageWindow();
            pick(in<QComboBox>(window, "Combo1"), "2");
            return in(window, button);
        };
    };
    const auto closeCallControl = [] { form<Form6>().close(); };
    const auto exitButton = [this] { click(in(main(), "Command8")); };
    const struct {
        Case c;
        std::function<QString()> shown;
    } cases[] = {
        {{"call control closed during its queries",
          [this]() -> Target {
              QTabBar* strip = in<QTabBar>(form<Form6>(), "TabStrip1");
              return {strip, strip->tabRect(1).center()};
          },
          // The echo values, read once it is closed, load it again, hidden: its
          // own queries follow, once the exchange under way is over.
          closeCallControl, "AT+ECHO?\rAT+SIDET?\rAT&W\rAT+VGR?\rAT+VGT?\r", "", 0},
         [] { return QString(); }},
        {{"call control closed during a delete", messageButton("Command4"), closeCallControl,
          "AT+CMGD=2\rAT&W\r", "Message Deleted", 0},
         readOut},
        {{"call control closed while the modem waits for a text", messageButton("Command1"),
          closeCallControl,
          "AT+CMGS=0612345678\rSee you\x1a"
          "AT&W\r",
          "Message Sent SuccessFully At", 0},
         status},
        {{"the program ended during a delete", messageButton("Command4"), exitButton,
          "AT+CMGD=2\rAT&W\r", "Message Deleted", 1},
         readOut},
        // Nothing half-written stays in the modem.
        // (The window, still there where the program does not end at once,
        // tells that the message was not sent.)
        {{"the program ended while the modem waits for a text", messageButton("Command1"),
          exitButton,
          "AT+CMGS=0612345678\r\x1b"
          "AT&W\r",
          "Message Not Sent.Error Occurred", 1},
         status},
    };
    for (const auto& [c, shown] : cases) {
        SCOPED_TRACE(c.name);
        if (!main().MSComm1().PortOpen()) main().MSComm1().openAt(3, "9600,n,8,1");
        main().Show();
        open<Form6>();
        modem().state().messages[2] = {"REC READ", "0622222222", "24/01/15,10:30:00+00", "Hi"};
        services().ended = 0;
        const Target target = c.start();
        sent();
        clock().schedule(clock().seconds() + 0.5, c.end);
        click(target.widget, target.at);
        run(10);
        EXPECT_EQ(sent(), c.sent);
        if (c.shown.isEmpty())
            EXPECT_EQ(shown(), "");
        else
            EXPECT_TRUE(shown().startsWith(c.shown)) << shown().toStdString();
        EXPECT_EQ(services().ended, c.ended);
        unloadIfLoaded<Form8>();
    }
}

// The second click comes while the profile is stored: the end is under way.
TEST_F(OneExchangeTest, ADoubleClickOnExitEndsTheProgramOnce) {
    doubleClick(in(main(), "Command8"));
    run(3);
    EXPECT_EQ(sent(), "AT&W\r");
    EXPECT_EQ(services().ended, 1);
}

// ---- a module whose replies come late

// The module echoes at once and gives the rest of every answer three seconds
// later, long after the second each phonebook read waits.
class LateRepliesTest : public OneExchangeTest {
  protected:
    LateRepliesTest() { modem().state().shapes.replyDelaySeconds = 3; }

    Form3& downloaded() {
        Form3& window = form<Form3>();
        window.Show();
        run(60);
        sent();
        return window;
    }
    QStringList simEntries() {
        QStringList entries;
        for (const auto& [index, entry] : modem().state().phonebooks["SM"].entries)
            entries << QString::number(index) + '|' + entry.number + '|' + entry.name;
        return entries;
    }
};

TEST_F(LateRepliesTest, TheDownloadStoresEveryEntryUnderItsOwnIndex) {
    Form3& window = downloaded();
    EXPECT_EQ(commands(modem().received()),
              (QStringList{"AT+CPBS?", "AT+CPBR=1", "AT+CPBR=2", "AT+CPBR=3", "AT+CPBR=4"}));
    EXPECT_EQ(storedEntries(),
              (QStringList{"1|0611111111|Alice", "2|0622222222|Bob", "4|0644444444|Carol"}));
    EXPECT_EQ(items(in<QListWidget>(window, "List1")),
              (QStringList{Form3::listRow("1", "0611111111", "Alice"),
                           Form3::listRow("2", "0622222222", "Bob"),
                           Form3::listRow("4", "0644444444", "Carol")}));
}

TEST_F(LateRepliesTest, DeleteRemovesTheEntryPicked) {
    Form3& window = downloaded();
    clickRow(in<QListWidget>(window, "List1"), 2);
    click(in(window, "Command3"));
    run(10);
    EXPECT_EQ(sent(), "AT+CPBW=4\r");
    EXPECT_EQ(simEntries(), (QStringList{"1|0611111111|Alice", "2|0622222222|Bob"}));
    EXPECT_EQ(storedEntries(), (QStringList{"1|0611111111|Alice", "2|0622222222|Bob"}));
    EXPECT_EQ(text(window, "Label3"), "Number Deleted");
    EXPECT_EQ(shownMessages(services()), QStringList());
}

TEST_F(LateRepliesTest, ANewEntryGoesToAFreePlaceOnce) {
    Form3& window = downloaded();
    click(in(window, "Command2"));
    Form4& entry = form<Form4>();
    typeInto(entry, "Text1", "06");
    typeInto(entry, "Text2", "5555");
    typeInto(entry, "Text3", "5555");
    typeInto(entry, "Text4", "Dave");
    click(in(entry, "Command1"));
    run(10);
    EXPECT_EQ(sent(), "AT+CPBR=4\rAT+CPBR=3\rAT+CPBW=3,0655555555,,\" Dave\"\r");
    EXPECT_EQ(simEntries(), (QStringList{"1|0611111111|Alice", "2|0622222222|Bob",
                                         "3|0655555555| Dave", "4|0644444444|Carol"}));
    EXPECT_EQ(storedEntries().last(), "3|0655555555|DAVE");
    EXPECT_EQ(shownMessages(services()), QStringList());
}

// A prompt module's answer is there when a read's second is over (the run
// of the dispatcher it starts takes two): a read waits no longer than that.
TEST_F(OneExchangeTest, APromptModulesReadsWaitNoLonger) {
    calls();
    const auto& writes = ports().writes(3);
    ASSERT_EQ(commands(modem().received()).mid(1),
              (QStringList{"AT+CPBR=1", "AT+CPBR=2", "AT+CPBR=3", "AT+CPBR=4"}));
    for (size_t read = writes.size() - 4; read + 1 < writes.size(); ++read)
        EXPECT_LT(writes[read + 1].seconds - writes[read].seconds, 2.1) << "read " << read;
}

// An answer to an earlier read that comes during this one's names its place:
// it is not this place's entry, and this place's own answer has not come, so
// the download ends as for a read without an answer, the copy as it was.
TEST_F(OneExchangeTest, AnEntryLineCountsOnlyForThePlaceItNames) {
    modem().state().phonebooks["SM"].entries = {{1, {"0611111111", 129, "Alice"}},
                                                {3, {"0633333333", 129, "Carol"}}};
    modem().overrideReply("AT+CPBR=2", "\r\n+CPBR: 1,\"0611111111\",129,\"Alice\"\r\n\r\nOK\r\n");
    calls();
    EXPECT_EQ(commands(modem().received()).filter("AT+CPBR=").last(), "AT+CPBR=2");
    EXPECT_EQ(storedEntries(), QStringList());
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(),
              "Phone Book Not Read.Modem Not Responding");
}

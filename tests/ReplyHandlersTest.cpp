// The reply handlers behind the dispatcher: the identity texts and Model.txt,
// the SIM phonebook download, echo cancellation values and the service centre.

#include "calls/Form3.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "platform/Files.h"
#include "platform/Widgets.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"
#include "tests/UnwritablePhoneBook.h"

#include <QSlider>

namespace {

QStringList entries() {
    return tableRows("DATA", {"Index", "Number", "Name"});
}
QStringList counts() {
    return tableRows("Details", {"TotalIndex", "UsedIndex"});
}

QString mainStatus() {
    return control<QLabel>(form<Form1>(), "Label5")->text();
}

QStringList listRows() {
    return items(control<QListWidget>(form<Form3>(), "List1"));
}

// The positions read, in order.
QStringList entryReads(const QByteArray& sent) {
    QStringList reads;
    for (const QString& command : commands(sent))
        if (command.startsWith("AT+CPBR=") && command != "AT+CPBR=?") reads << command.mid(8);
    return reads;
}

void emptyLocalCopy() {
    db::Database phonebook = db::OpenDatabase(db::kPhoneBookFile);
    phonebook.Execute("delete from data");
    phonebook.Execute("delete from details");
}

void storeLocalCopy() {
    db::DataControl data(db::kPhoneBookFile, "DATA");
    data.Refresh();
    data.Recordset().AddNew();
    data.Recordset().Fields("Index").setValue("1");
    data.Recordset().Fields("Number").setValue("0123456789");
    data.Recordset().Fields("Name").setValue("KEPT");
    data.Recordset().Update();
    db::DataControl details(db::kPhoneBookFile, "Details");
    details.Refresh();
    details.Recordset().AddNew();
    details.Recordset().Fields("TotalIndex").setValue("250");
    details.Recordset().Fields("UsedIndex").setValue("1");
    details.Recordset().Update();
}

} // namespace

using ReplyHandlersTest = ConnectedConsole;

// --- phonebook download

struct Download {
    const char* name;
    std::map<int, sim::PhonebookEntry> entries;
    int capacity;
    QStringList reads; // the positions asked for
    QStringList list;  // the call window's rows
    QStringList table; // DATA: Index|Number|Name
    QString counts;    // Details: TotalIndex|UsedIndex
};

void PrintTo(const Download& d, std::ostream* out) {
    *out << d.name;
}

// Each phonebook read from a module in each shape.
class PhonebookDownloadTest
    : public ConnectedConsole,
      public ::testing::WithParamInterface<std::tuple<Download, ModuleShape>> {
  protected:
    PhonebookDownloadTest() { modem().state().shapes = std::get<1>(GetParam()).shapes; }
};

// The call window's first load finds the local copy empty and asks for the
// SIM phonebook; the download fills it and shows the window.
TEST_P(PhonebookDownloadTest, CallWindowLoadCopiesTheSimPhonebook) {
    const Download& d = std::get<0>(GetParam());
    sim::Phonebook& book = modem().state().phonebooks["SM"];
    book.entries = d.entries;
    book.capacity = d.capacity;
    Form3& calls = form<Form3>();
    const QByteArray written = sent();
    EXPECT_TRUE(written.startsWith("AT+CPBS?\r"));
    EXPECT_EQ(entryReads(written), d.reads);
    EXPECT_EQ(listRows(), d.list);
    EXPECT_EQ(entries(), d.table);
    EXPECT_EQ(counts(), QStringList{d.counts});
    EXPECT_EQ(control<QLineEdit>(calls, "Text4")->text() + '|' +
                  control<QLineEdit>(calls, "Text2")->text(),
              d.counts);
    EXPECT_TRUE(calls.isVisible());
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "Saving Phone Book...Please Wait");
    EXPECT_TRUE(main().Text1().isEmpty());
}

const Download kDownloads[] = {
    Download{"ThreeOfTwoHundredFifty",
             {{1, {"0123456789", 129, "JOHN"}},
              {2, {"+441632960961", 145, "OFFICE"}},
              {3, {"0207946000", 129, "ABCDEFGHIJKLM"}}},
             250,
             {"1", "2", "3"},
             {"1  0123456789          JOHN", "2  +441632960961       OFFICE",
              "3  0207946000          ABCDEFGHIJKLM"},
             {"1|0123456789|JOHN", "2|+441632960961|OFFICE", "3|0207946000|ABCDEFGHIJKLM"},
             "250|3"},
    Download{"NoneUsed", {}, 250, {}, {}, {}, "250|0"},
    // Empty places are skipped and positions past the used count read until
    // every entry in use is found; the fields after a name are not its own.
    Download{"GapAtTwo",
             {{1, {"0612345678", 129, "Alice"}},
              {3, {"0207946000", 129, "Bob \"B\""}},
              {4, {"+441632960961", 145, "Carol"}}},
             250,
             {"1", "2", "3", "4"},
             {"1  0612345678          Alice", "3  0207946000          Bob \"B\"",
              "4  +441632960961       Carol"},
             {"1|0612345678|Alice", "3|0207946000|Bob \"B\"", "4|+441632960961|Carol"},
             "250|3"},
    Download{"Gaps",
             {{2, {"111", 129, "A"}}, {5, {"222", 129, "B"}}},
             250,
             {"1", "2", "3", "4", "5"},
             {"2  111                 A", "5  222                 B"},
             {"2|111|A", "5|222|B"},
             "250|2"},
    // A long name or number neither stops the download nor loses what follows.
    Download{"LongNameAndNumber",
             {{1, {"0123456789", 129, "ABCDEFGHIJKLMN"}},
              {2, {"123456789012345678901", 129, "X"}},
              {3, {"5", 129, "LAST"}}},
             250,
             {"1", "2", "3"},
             {"1  0123456789          ABCDEFGHIJKLMN", "2  123456789012345678901 X",
              "3  5                   LAST"},
             {"1|0123456789|ABCDEFGHIJKLMN", "2|123456789012345678901|X", "3|5|LAST"},
             "250|3"},
    // Read up to the last position; the two-digit capacity is stored as it stands.
    Download{"LastOfTen",
             {{10, {"999", 129, "END"}}},
             10,
             {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
             {"10  999                 END"},
             {"10|999|END"},
             "10|1"},
};

INSTANTIATE_TEST_SUITE_P(Phonebooks, PhonebookDownloadTest,
                         ::testing::Combine(::testing::ValuesIn(kDownloads),
                                            ::testing::ValuesIn(moduleShapes())),
                         [](const auto& instance) {
                             return std::string(std::get<0>(instance.param).name) + "_" +
                                    std::get<1>(instance.param).name;
                         });

// The download in each shape a module answers in.
class DownloadTest : public InEveryShape<ConnectedConsole> {};

INSTANTIATE_TEST_SUITE_P(Shapes, DownloadTest, ::testing::ValuesIn(moduleShapes()), shapeName);

TEST_P(DownloadTest, MalformedEntryIsSkippedAndTheDownloadGoesOn) {
    modem().state().phonebooks["SM"].entries = {
        {1, {"111", 129, "A"}}, {2, {"222", 129, "B"}}, {3, {"333", 129, "C"}}};
    modem().overrideReply("AT+CPBR=2", reply("+CPBR: 2,222,129,B"));
    Form3& calls = form<Form3>();
    EXPECT_EQ(entryReads(sent()), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(entries(), (QStringList{"1|111|A", "3|333|C"}));
    EXPECT_TRUE(calls.isVisible());
}

// The name ends at the quote after which only the fields a module adds follow
// (hidden flag, group, second number and type, second text, e-mail); in a
// name that is the last field, or that fields follow, quotes and commas stay.
TEST_P(DownloadTest, FieldsAfterTheNameAreNotPartOfIt) {
    const QByteArray lines[] = {
        R"(+CPBR: 1,"0612345678",129,"Alice",0,"Family","+441632960961",145,"Al","al@example.com")",
        R"(+CPBR: 2,"0612",129,"Bob",1)",
        R"(+CPBR: 3,"0613",129,"Say "hi", Al")",
        R"(+CPBR: 4,"0614",129,"Say "hi", Al",0,"")",
    };
    std::map<int, sim::PhonebookEntry>& book = modem().state().phonebooks["SM"].entries;
    for (const QByteArray& line : lines) {
        const int index = int(book.size()) + 1;
        book[index] = {"0", 129, "X"};
        modem().overrideReply("AT+CPBR=" + QByteArray::number(index), reply(line));
    }
    form<Form3>();
    EXPECT_EQ(entries(), (QStringList{"1|0612345678|Alice", "2|0612|Bob", "3|0613|Say \"hi\", Al",
                                      "4|0614|Say \"hi\", Al"}));
}

// Whatever a module writes after the name (27.007's fields, a phone's date
// and time, empty fields), the copy holds the name alone.
TEST_P(DownloadTest, EveryShapeOfFieldsAfterTheNameLeavesTheNameClean) {
    using sim::EntryFields;
    Form3& calls = form<Form3>();
    for (EntryFields fields : {EntryFields::None, EntryFields::HiddenGroup, EntryFields::Hidden,
                               EntryFields::Empty, EntryFields::All, EntryFields::Dates}) {
        SCOPED_TRACE(int(fields));
        modem().state().shapes.entryFields = fields;
        sim::PhonebookEntry dated{"+60122256476", 145, ""};
        dated.date = "08/07/04";
        dated.time = "17:24:55";
        sim::PhonebookEntry full{"0612345678", 129, "Alice"};
        full.group = "Family";
        full.secondNumber = "+441632960961";
        full.email = "al@example.com";
        modem().state().phonebooks["SM"].entries = {
            {1, dated}, {2, full}, {3, {"+31234657899", 145, "Mama GSM"}}};
        control<QPushButton>(calls, "Command5")->click(); // "Reload PhoneBook"
        EXPECT_EQ(entries(), (QStringList{"1|+60122256476|", "2|0612345678|Alice",
                                          "3|+31234657899|Mama GSM"}));
        EXPECT_EQ(counts(), QStringList{"250|3"});
    }
}

// A module whose character set gives hex writes the names without quotes:
// each entry is kept, its name as sent, and the used count matches the copy.
TEST_P(DownloadTest, UnquotedHexNamesAreKeptAsSent) {
    modem().state().settings.characterSet = "HEX";
    modem().state().shapes.unquotedHexNames = true;
    modem().state().phonebooks["SM"].entries = {{1, {"0123456789", 129, "Alice"}},
                                                {2, {"030450566735", 129, "Virchow"}}};
    form<Form3>();
    EXPECT_EQ(entries(), (QStringList{"1|0123456789|416C696365", "2|030450566735|56697263686F77"}));
    EXPECT_EQ(counts(), QStringList{"250|2"});
}

// Without a capacity the SIM's range is asked for, so that an entry past an
// empty place is read too.
TEST_P(DownloadTest, StatusReplyWithoutCapacityReadsTheSimsRange) {
    modem().state().phonebooks["SM"].entries = {{1, {"111", 129, "A"}}, {3, {"333", 129, "C"}}};
    modem().overrideReply("AT+CPBS?", reply("+CPBS: \"SM\",2"));
    Form3& calls = form<Form3>();
    EXPECT_EQ(commands(sent()),
              (QStringList{"AT+CPBS?", "AT+CPBR=?", "AT+CPBR=1", "AT+CPBR=2", "AT+CPBR=3"}));
    EXPECT_EQ(entries(), (QStringList{"1|111|A", "3|333|C"}));
    EXPECT_EQ(listRows(), (QStringList{"1  111                 A", "3  333                 C"}));
    EXPECT_EQ(counts(), QStringList{"|2"});
    EXPECT_TRUE(calls.isVisible());
}

// The copy goes to the call window as it is when the download ends, also
// after the user has closed the one that was open.
TEST_P(DownloadTest, CallWindowClosedDuringTheDownloadListsTheNewCopy) {
    modem().state().phonebooks["SM"].entries = {
        {1, {"111", 129, "A"}}, {2, {"222", 129, "B"}}, {3, {"333", 129, "C"}}};
    clock().schedule(clock().seconds() + 4, [] {
        if (Forms::instance().isLoaded<Form3>()) form<Form3>().close();
    });
    form<Form3>();
    run(1);
    EXPECT_TRUE(form<Form3>().isVisible());
    EXPECT_EQ(entries(), (QStringList{"1|111|A", "2|222|B", "3|333|C"}));
    EXPECT_TRUE(listRows().endsWith("3  333                 C"));
}

// The local copy is emptied only once the status reply has been read.
TEST_P(DownloadTest, StatusReplyThatCannotBeReadKeepsTheLocalPhonebook) {
    storeLocalCopy();
    Form3& calls = form<Form3>(); // rows present: nothing asked
    const QByteArray replies[] = {
        reply("+CPBS: \"FD\",0,10"),
        reply("+CPBS: \"SM\""),
        reply("+CPBS: \"SM\",x,250"),
        reply("+CPBS: \"SM\",1e10,250"),
        reply("+CPBS: \"SM\",-1,250"),
        reply("+CPBS: \"SM\",40000,250"),
        "\r\nOK\r\n", // a bare OK
    };
    for (const QByteArray& status : replies) {
        modem().overrideReply("AT+CPBS?", status);
        sent();
        main().link().sendCommand("AT+CPBS?", 1);
        EXPECT_EQ(entryReads(sent()), QStringList()) << status.data();
        EXPECT_EQ(entries(), QStringList{"1|0123456789|KEPT"}) << status.data();
        EXPECT_EQ(counts(), QStringList{"250|1"}) << status.data();
        EXPECT_FALSE(calls.isVisible()) << status.data();
        EXPECT_EQ(mainStatus(), "") << status.data();
    }
}

// A read that gets no answer at all ends the download: the module has gone
// silent, or the device has been pulled out, after an entry or before any.
// The old copy stays as it was, and the list shows it; the status line says
// that the phonebook was not read. No further place is asked for.
TEST_P(DownloadTest, AReadWithoutAnAnswerEndsTheDownloadAndKeepsTheOldCopy) {
    struct Case {
        const char* when;
        bool pulled;
        QStringList reads;
    };
    const Case cases[] = {
        {"after 1 AT+CPBR=", false, {"1", "2"}}, {"within AT+CPBR= 1", false, {"1", "2"}},
        {"at AT+CPBR=", false, {"1"}},           {"after 1 AT+CPBR=", true, {"1"}},
        {"within AT+CPBR= 1", true, {"1"}},      {"at AT+CPBR=", true, {"1"}},
    };
    storeLocalCopy();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.when) + (c.pulled ? ", pulled out" : ", silent"));
        modem().state().phonebooks["SM"].entries = {
            {1, {"111", 129, "A"}}, {2, {"222", 129, "B"}}, {3, {"333", 129, "C"}}};
        Form3& calls = reopen<Form3>(); // rows present: nothing asked
        sent();
        const sim::Silence when = *sim::silenceFromText(c.when);
        if (c.pulled)
            ports().pullAt(3, when);
        else
            modem().fallSilent(when);
        const double start = clock().seconds();
        control<QPushButton>(calls, "Command5")->click(); // "Reload PhoneBook"
        EXPECT_EQ(entryReads(sent()), c.reads);
        EXPECT_LT(clock().seconds() - start, 20);
        EXPECT_EQ(entries(), QStringList{"1|0123456789|KEPT"});
        EXPECT_EQ(counts(), QStringList{"250|1"});
        EXPECT_EQ(listRows(), QStringList{Form3::listRow("1", "0123456789", "KEPT")});
        EXPECT_EQ(mainStatus(), "Phone Book Not Read.Modem Not Responding");
        if (c.pulled) ports().plugBackIn(3);
        modem().restart();
        if (!main().MSComm1().PortOpen()) main().MSComm1().setPortOpen(true);
    }
}

// The device pulled out right after a status reply without a capacity, for
// which the SIM's range would be asked next.
TEST_P(DownloadTest, ADeviceGoneAfterTheStatusReplyKeepsTheOldCopy) {
    storeLocalCopy();
    Form3& calls = form<Form3>();
    modem().overrideReply("AT+CPBS?", reply("+CPBS: \"SM\",2"));
    ports().pullAt(3, *sim::silenceFromText("after 1 AT+CPBS?"));
    sent();
    control<QPushButton>(calls, "Command5")->click();
    EXPECT_EQ(commands(sent()), QStringList{"AT+CPBS?"});
    EXPECT_EQ(mainStatus(), "Phone Book Not Read.Modem Not Responding");
    EXPECT_EQ(entries(), QStringList{"1|0123456789|KEPT"});
    EXPECT_EQ(listRows(), QStringList{Form3::listRow("1", "0123456789", "KEPT")});
}

// A copy that cannot be read or written is told on the status line before
// the SIM is read, and stays as it was.
TEST_P(DownloadTest, ACopyThatCannotBeWrittenIsToldAndTheSimIsNotRead) {
    storeLocalCopy();
    modem().state().phonebooks["SM"].entries = {{1, {"111", 129, "A"}}};
    Form3& calls = form<Form3>();
    UnwritablePhoneBook file(services().path(db::kPhoneBookFile));
    for (const UnwritablePhoneBook::Condition& condition : file.withFieldOfItsOwn()) {
        SCOPED_TRACE(condition.what);
        sent();
        condition.make();
        control<QPushButton>(calls, "Command5")->click();
        EXPECT_EQ(commands(sent()), QStringList{"AT+CPBS?"});
        EXPECT_EQ(mainStatus(), "Phone Book File Cannot Be Written");
        condition.undo();
        EXPECT_EQ(entries(), QStringList{"1|0123456789|KEPT"});
        EXPECT_EQ(counts(), QStringList{"250|1"});
        EXPECT_EQ(listRows(), QStringList{Form3::listRow("1", "0123456789", "KEPT")});
    }
}

// A copy the SIM has been read for whole, which the file then refuses (here a
// row of its own rules; a disk that has filled meanwhile is another), keeps
// nothing of the new copy: the old one stays whole and the list shows it.
TEST_P(DownloadTest, ACopyTheFileRefusesAtTheEndLeavesTheOldOneWhole) {
    storeLocalCopy();
    modem().state().phonebooks["SM"].entries = {{1, {"111", 129, "A"}}, {2, {"222", 129, "NO"}}};
    Form3& calls = form<Form3>();
    db::OpenDatabase(db::kPhoneBookFile)
        .Execute("CREATE TRIGGER refused BEFORE INSERT ON DATA WHEN NEW.Name = 'NO' "
                 "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    sent();
    control<QPushButton>(calls, "Command5")->click();
    EXPECT_EQ(entryReads(sent()), (QStringList{"1", "2"}));
    EXPECT_EQ(mainStatus(), "Phone Book File Cannot Be Written");
    EXPECT_EQ(entries(), QStringList{"1|0123456789|KEPT"});
    EXPECT_EQ(counts(), QStringList{"250|1"});
    EXPECT_EQ(listRows(), QStringList{Form3::listRow("1", "0123456789", "KEPT")});
}

// Names that look like replies, codes or commands, or that hold a quote or a
// line break, are stored exactly as the SIM holds them; nothing else happens.
TEST_P(DownloadTest, HostileNamesAreStoredByteExactAndFireNothing) {
    const QByteArray names[] = {
        "CPIN:",
        "CPIN: READY",
        "AT+CPBS?SM,3,9",
        "ATI3",
        "CSQ: 5,",
        "RING",
        "x\"y",
        "\"",
        "x\ry",
        "a\r\nRING\r\n+CPIN: READY",
        "\r\n+CSQ: 5,99\r\n",
        "x,\"y\",129,\"z",
    };
    std::map<int, sim::PhonebookEntry> book;
    QStringList reads{"AT+CPBS?"};
    QStringList table;
    for (const QByteArray& name : names) {
        const int index = int(book.size()) + 1;
        book[index] = {"0123", 129, name};
        reads << "AT+CPBR=" + QString::number(index);
        table << QString::number(index) + "|0123|" + QString::fromLatin1(name);
    }
    modem().state().phonebooks["SM"].entries = book;
    Form3& calls = form<Form3>();
    EXPECT_EQ(commands(sent()), reads);
    EXPECT_EQ(entries(), table);
    EXPECT_EQ(counts(), QStringList{"250|" + QString::number(book.size())});
    EXPECT_TRUE(calls.isVisible());
    EXPECT_EQ(services().ended, 0);
    EXPECT_TRUE(services().messages.empty());
    EXPECT_FALSE(main().Timer2.Enabled());
    EXPECT_FALSE(Forms::instance().isLoaded<Form7>());
}

// The download reads no position past three digits of the capacity, nor past
// the SIM's range: past the one the module refuses as an invalid index, or the
// range it gives when the status reply gives no capacity. Inside the range an
// empty place, answered "OK" alone or refused, is skipped.
TEST_P(DownloadTest, DownloadEndsAtTheCapacityOrPastTheSimsRange) {
    struct Case {
        const char* status;
        int simCapacity;
        int cmee; // an invalid index told apart from an empty place by number or text
        int lastRead;
        QString counts;
    };
    const Case cases[] = {
        {"+CPBS: \"SM\",5,100000", 999, 1, 100, "100|5"}, // an empty SIM that claims too much
        {"+CPBS: \"SM\",5,250", 3, 1, 4, "250|5"},        // position 4 is an invalid index
        {"+CPBS: \"SM\",5,250", 3, 2, 4, "250|5"},
        {"+CPBS: \"SM\",5", 3, 0, 3, "|5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.status) + " cmee " + std::to_string(c.cmee));
        modem().state().settings.cmee = c.cmee;
        unloadIfLoaded<Form3>();
        emptyLocalCopy();
        sim::Phonebook& book = modem().state().phonebooks["SM"];
        book.capacity = c.simCapacity;
        book.entries = c.simCapacity == 3 ? std::map<int, sim::PhonebookEntry>{{2, {"1", 129, "A"}}}
                                          : std::map<int, sim::PhonebookEntry>{};
        modem().overrideReply("AT+CPBS?", reply(c.status));
        sent();
        Form3& calls = form<Form3>();
        const QStringList read = entryReads(sent());
        ASSERT_FALSE(read.isEmpty());
        EXPECT_EQ(read.size(), c.lastRead);
        EXPECT_EQ(read.last(), QString::number(c.lastRead));
        EXPECT_EQ(counts(), QStringList{c.counts});
        EXPECT_EQ(entries(), c.simCapacity == 3 ? QStringList{"2|1|A"} : QStringList());
        EXPECT_TRUE(calls.isVisible());
    }
}

// A status query answered with a bare "OK" reads nothing, also when a later
// line holds the storage name and a count.
TEST_P(DownloadTest, BareOkToTheStatusQueryStartsNoDownloadLater) {
    modem().overrideReply("AT+CPBS?", "\r\nOK\r\n");
    form<Form3>();
    for (const QByteArray& later : {QByteArray("\r\n+CPMS: \"SM\",40,50,\"SM\",40,50\r\n"),
                                    QByteArray("\r\n+CMTI: \"SM\",40\r\n")}) {
        arrive(later);
        run(8);
    }
    EXPECT_EQ(entryReads(sent()), QStringList());
    EXPECT_EQ(entries(), QStringList());
}

// --- identity

// The manufacturer text starts at its first character that is not a blank
// (a padded module's leading blank is left out, a bare one's first letter
// kept) and runs up to the character before "OK".
TEST_F(ReplyHandlersTest, IdentityRepliesFillTheDetailsAndModelTxt) {
    struct Case {
        bool padded;
        QString manufacturer;
    };
    const Case cases[] = {
        {true, "GSM SIMULATOR MODEM \r\n MULTIBAND  900E  1800 \r\n\r\n"},
        {false, "GSM SIMULATOR MODEM\r\nMULTIBAND  900E  1800\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.padded ? "padded" : "bare");
        modem().state().paddedIdentity = c.padded;
        control<QLabel>(form<Form2>(), "Label3")->setText("356938035643809");
        writeFile("COM.txt", "9600,N,8,1 3\r\n");
        Files::instance().openForInput(1, "COM.txt"); // as the start-up holds it
        main().link().sendCommand("ATI0", 1);
        main().link().sendCommand("ATI3", 1);
        Form2& details = form<Form2>();
        EXPECT_EQ(control<QLabel>(details, "Label4")->text(), "ManuFacturer And Model Details ");
        EXPECT_EQ(control<QLabel>(details, "Label5")->text(), c.manufacturer);
        EXPECT_EQ(control<QLabel>(details, "Label6")->text(), "SIM100 1.0.0 010124 12:00\r\n\r");
        for (QLabel* label :
             {control<QLabel>(details, "Label4"), control<QLabel>(details, "Label5"),
              control<QLabel>(details, "Label6")})
            EXPECT_FALSE(label->isHidden());
        EXPECT_EQ(readFile("Model.txt"), "356938035643809\r\n" + c.manufacturer.toLatin1() +
                                             "\r\nSIM100 1.0.0 010124 12:00\r\n\r\r\n");
        EXPECT_FALSE(Files::instance().isOpen(1));
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

// --- echo cancellation

TEST_F(ReplyHandlersTest, EchoReplyShowsTheValuesOfItsAlgorithm) {
    Form6& window = form<Form6>();
    if (control<QComboBox>(window, "Combo1")->count() == 0)
        fillDropDown(control<QComboBox>(window, "Combo1"), {"0", "1"});
    if (control<QComboBox>(window, "Combo2")->count() == 0)
        fillDropDown(control<QComboBox>(window, "Combo2"), {"1", "3"});
    struct Case {
        const char* values;
        const char* label;
        std::vector<std::pair<QSlider*, int>> sliders;
        bool firstFrame;
    };
    const Case cases[] = {
        {"1,1,0,3,10,7",
         "Echo Current Values--1,1,0,3,10,7\r\n\r\nOK\r\n",
         {{control<QSlider>(window, "Slider3"), 0},
          {control<QSlider>(window, "Slider4"), 3},
          {control<QSlider>(window, "Slider5"), 10},
          {control<QSlider>(window, "Slider6"), 7}},
         true},
        {"0,3,30,8000,256",
         "Echo Current Values--0,3,30,8000,256\r\n\r\nO",
         {{control<QSlider>(window, "Slider7"), 30},
          {control<QSlider>(window, "Slider8"), 8000},
          {control<QSlider>(window, "Slider9"), 256}},
         false},
    };
    for (const Case& c : cases) {
        modem().state().settings.params["+ECHO"] = c.values;
        main().link().sendCommand("AT+ECHO?", 1);
        const QStringList values = QString(c.values).split(',');
        EXPECT_EQ(control<QLabel>(window, "Label7")->text(), c.label);
        EXPECT_EQ(control<QComboBox>(window, "Combo1")->currentText(), values[0]);
        EXPECT_EQ(control<QComboBox>(window, "Combo2")->currentText(), values[1]);
        for (const auto& [slider, value] : c.sliders)
            EXPECT_EQ(slider->value(), value) << c.values;
        EXPECT_EQ(!control<QGroupBox>(window, "Frame6")->isHidden(), c.firstFrame);
        EXPECT_EQ(!control<QGroupBox>(window, "Frame7")->isHidden(), !c.firstFrame);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_F(ReplyHandlersTest, EchoReplyWithAnotherAlgorithmChangesNothing) {
    control<QLabel>(form<Form6>(), "Label7")->setText("kept");
    modem().overrideReply("AT+ECHO?", reply("+ECHO: 1,2,5,5"));
    main().link().sendCommand("AT+ECHO?", 1);
    EXPECT_EQ(control<QLabel>(form<Form6>(), "Label7")->text(), "kept");
    EXPECT_TRUE(main().Text1().contains("+ECHO: 1,2,5,5"));
}

// --- service centre

TEST_F(ReplyHandlersTest, ServiceCentreReplyFillsTheNumberOrReportsItUnknown) {
    Form8& messages = form<Form8>();
    control<QLabel>(messages, "Label4")->setText("before");
    main().link().sendCommand("AT+CSCA?", 1);
    EXPECT_EQ(control<QLineEdit>(messages, "Text4")->text(), "+447700900100");
    EXPECT_EQ(control<QLabel>(messages, "Label4")->text(), "");
    EXPECT_TRUE(main().Text1().isEmpty());

    modem().overrideReply("AT+CSCA?", "\r\nERROR\r\n");
    main().link().sendCommand("AT+CSCA?", 1);
    EXPECT_EQ(control<QLineEdit>(messages, "Text4")->text(), "+447700900100");
    EXPECT_EQ(control<QLabel>(messages, "Label4")->text(), "Service Center Unknown");
    EXPECT_TRUE(main().Text1().isEmpty());

    // The number is cut at the comma after it, not at an earlier reply's.
    control<QLineEdit>(messages, "Text4")->clear();
    main().Text1().setText("\r\n+COPS: 0,0\r\n");
    arrive("AT+CSCA?\r\r\n+CSCA: \"+4412\",145\r\n\r\nOK\r\n");
    run(3);
    EXPECT_EQ(control<QLineEdit>(messages, "Text4")->text(), "+4412");
}

TEST_F(ReplyHandlersTest, ServiceCentreEchoAloneEmptiesTheLogAndTouchesNoWindow) {
    modem().dropReplies("AT+CSCA?");
    main().link().sendCommand("AT+CSCA?", 1);
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_FALSE(Forms::instance().isLoaded<Form8>());
}

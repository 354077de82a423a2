// The call window, the phonebook entry window and the incoming-call window,
// driven through their buttons against the simulated modem.

#include "calls/Form3.h"
#include "calls/Form4.h"
#include "calls/Form5.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"
#include "tests/UnwritablePhoneBook.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

#include <functional>
#include <optional>

namespace {

const std::map<int, sim::PhonebookEntry> kThreeEntries = {
    {1, {"0123456789", 129, "JOHN"}},
    {2, {"+441632960961", 145, "OFFICE"}},
    {3, {"0207946000", 129, "HOME"}},
};

std::map<int, sim::PhonebookEntry> entriesUpTo(int last) {
    std::map<int, sim::PhonebookEntry> entries;
    for (int i = 1; i <= last; ++i)
        entries[i] = {"01234" + QByteArray::number(i), 129, "N" + QByteArray::number(i)};
    return entries;
}

QStringList storedEntries() {
    return tableRows("DATA", {"Index", "Number", "Name"});
}

// Details: used|capacity
QStringList storedCounts() {
    return tableRows("Details", {"UsedIndex", "TotalIndex"});
}

} // namespace

// The windows against a module in each shape it may answer in.
class CallWindowTest : public InEveryShape<ConnectedConsole> {
  protected:
    sim::Phonebook& simBook() { return modem().state().phonebooks["SM"]; }

    // Opens the call window on a SIM phonebook that holds `entries`: the
    // first opening finds the local copy empty and downloads it.
    Form3& open(const std::map<int, sim::PhonebookEntry>& entries = kThreeEntries) {
        simBook().entries = entries;
        Form3& calls = form<Form3>();
        calls.Show();
        sent();
        return calls;
    }
    // Unloads the call window and empties the local copy: the next opening
    // downloads the SIM phonebook again.
    void startAfresh() {
        unloadIfLoaded<Form3>();
        db::OpenDatabase("phonebook.mdb").Execute("delete from data");
        db::OpenDatabase("phonebook.mdb").Execute("delete from details");
    }
    Form3& calls() { return form<Form3>(); }
    QString status() { return control<QLabel>(calls(), "Label3")->text(); }
    QStringList rows() { return items(control<QListWidget>(calls(), "List1")); }
    QStringList messages() { return shownMessages(services()); }

    // The module refuses every phonebook write, as its shape frames a refusal.
    void refuseWrites() { refuse(modem(), "+CPBW", "+CME ERROR: 3"); }
    void typeNumber(const QString& number) {
        typeOver(control<QLineEdit>(calls(), "Text1"), number);
    }
    // Presses "Add" in the call window and types into the entry window's boxes.
    Form4& add(const QString& country, const QString& area, const QString& phone,
               const QString& name) {
        control<QPushButton>(calls(), "Command2")->click();
        Form4& entry = form<Form4>();
        typeOver(control<QLineEdit>(entry, "Text1"), country);
        typeOver(control<QLineEdit>(entry, "Text2"), area);
        typeOver(control<QLineEdit>(entry, "Text3"), phone);
        typeOver(control<QLineEdit>(entry, "Text4"), name);
        return entry;
    }

    // Presses a button and tells how long it took.
    double press(QAbstractButton* button) {
        const double start = clock().seconds();
        button->click();
        return clock().seconds() - start;
    }
};

// ---- dialling

TEST_P(CallWindowTest, DialWatchesNinePollsAndShowsTheOutcomeOfHighestPriority) {
    struct Case {
        const char* name;
        sim::DialOutcome outcome;
        std::optional<QByteArray> reply; // what follows the echo instead
        QString status;
        bool okAtOnce = false; // the module answers OK at once, as most do
    };
    using sim::DialOutcome;
    const Case cases[] = {
        {"answered", DialOutcome::Answered, {}, "Connected SuccessFully-0123456789"},
        {"busy", DialOutcome::Busy, {}, "Busy.Plz Disconnect"},
        {"no answer", DialOutcome::NoAnswer, {}, "NO ANSWER.Plz Disconnect"},
        {"no carrier", DialOutcome::NoCarrier, {}, "No Carrier.Plz Disconnect"},
        {"OK before BUSY", DialOutcome::Answered, "\r\nBUSY\r\n\r\nOK\r\n",
         "Connected SuccessFully-0123456789"},
        {"NO ANSWER before NO CARRIER and BUSY", DialOutcome::Answered,
         "\r\nBUSY\r\n\r\nNO CARRIER\r\n\r\nNO ANSWER\r\n", "NO ANSWER.Plz Disconnect"},
        {"NO CARRIER before BUSY", DialOutcome::Answered, "\r\nBUSY\r\n\r\nNO CARRIER\r\n",
         "No Carrier.Plz Disconnect"},
        {"no outcome", DialOutcome::Answered, "", "Dialing....0123456789"},
        {"ERROR is not Dial's", DialOutcome::Answered, "\r\nERROR\r\n", "Dialing....0123456789"},
        // A call-end code after the dial's OK tells how the call ended.
        {"OK at once, answered",
         DialOutcome::Answered,
         {},
         "Connected SuccessFully-0123456789",
         true},
        {"OK at once, then BUSY", DialOutcome::Busy, {}, "Busy.Plz Disconnect", true},
        {"OK at once, then NO ANSWER", DialOutcome::NoAnswer, {}, "NO ANSWER.Plz Disconnect", true},
        {"OK at once, then NO CARRIER",
         DialOutcome::NoCarrier,
         {},
         "No Carrier.Plz Disconnect",
         true},
        {"OK, then BUSY", DialOutcome::Answered, "\r\nOK\r\n\r\nBUSY\r\n", "Busy.Plz Disconnect"},
    };
    Form3& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().state().call = sim::Call();
        modem().state().network.dialOutcome = c.outcome;
        modem().state().shapes.voiceDialOkAtOnce =
            c.okAtOnce || GetParam().shapes.voiceDialOkAtOnce;
        modem().clearOverrides();
        if (c.reply) modem().overrideReply("ATD0123456789;", *c.reply);
        typeNumber("0123456789");
        const double took = press(control<QPushButton>(window, "Command1"));
        EXPECT_EQ(sent(), "ATD0123456789;\r");
        EXPECT_EQ(status(), c.status);
        EXPECT_GE(took, 1 + 9 * 2); // the nine polls run whatever they find
        EXPECT_LT(took, 1 + 9 * 2 + 4);
    }
}

TEST_P(CallWindowTest, EveryPollShowsTheConnectedTextAgain) {
    Form3& window = open();
    typeNumber("0123456789");
    clock().schedule(clock().seconds() + 8, [&window] { window.ShowCallStatus("overwritten"); });
    control<QPushButton>(window, "Command1")->click();
    EXPECT_EQ(status(), "Connected SuccessFully-0123456789");
}

TEST_P(CallWindowTest, DialTakesDialCharactersOnly) {
    struct Case {
        QString typed;
        QByteArray sent;
        QString dialing; // the status line once dialled
    };
    const QString refused = "Please Enter Correct Number To Dial | GSM";
    const Case cases[] = {
        {"", "", ""},
        {"3;+CPBW=1", "", ""},
        {"012\"3", "", ""},
        {"0123OK", "", ""},
        // Digits of other scripts, and what no key types (pasted).
        {"０１２３", "", ""},
        {"0123中", "", ""},
        {"☎ 0123 😀", "", ""},
        {"+441632960961", "ATD+441632960961;\r", "Dialing....+441632960961"},
        {"*#06#", "ATD*#06#;\r", "Dialing....*#06#"},
        {"0123,45p6W7", "ATD0123,45p6W7;\r", "Dialing....0123,45p6W7"},
        {" 0123 ", "ATD 0123 ;\r", "Dialing....0123"},
    };
    Form3& window = open();
    modem().overrideReply("ATD+441632960961;", ""); // no outcome: the status stays
    modem().overrideReply("ATD*#06#;", "");
    modem().overrideReply("ATD0123,45p6W7;", "");
    modem().overrideReply("ATD 0123 ;", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        services().messages.clear();
        window.ShowCallStatus("");
        typeNumber(c.typed);
        control<QPushButton>(window, "Command1")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(messages(), c.sent.isEmpty() ? QStringList{refused} : QStringList());
        EXPECT_EQ(status(), c.dialing);
    }
}

TEST_P(CallWindowTest, RedialTakesTheNumberBeforeTheSemicolon) {
    struct Case {
        const char* name;
        std::optional<QByteArray> reply; // none: the module answers as its state says
        QString box;                     // the dial box afterwards
        QString status;                  // after the nine polls
        bool callUp = false;
    };
    const Case cases[] = {
        {"number and OK", "\r\n0123456789;\r\n\r\nOK\r\n", "0123456789",
         "Connected SuccessFully-0123456789"},
        {"no outcome yet", "\r\n+441632960961;\r\n", "+441632960961", "Redialing +441632960961"},
        {"BUSY", "\r\n0123;\r\n\r\nBUSY\r\n", "0123", "Busy.Plz Disconnect"},
        {"OK, then BUSY", "\r\n0123;\r\n\r\nOK\r\n\r\nBUSY\r\n", "0123", "Busy.Plz Disconnect"},
        {"ERROR after the number", "\r\n0123;\r\n\r\nERROR\r\n", "0123",
         "Error Occurred.Plz Disconnect"},
        {"extended error after the number", "\r\n0123;\r\n\r\n+CME ERROR: 3\r\n", "0123",
         "Error Occurred.Plz Disconnect"},
        // Nothing dialled again: the modem refuses, and the window says so.
        {"no last number", std::nullopt, "typed", "Error Occurred.Plz Disconnect"},
        {"during a call", std::nullopt, "typed", "Error Occurred.Plz Disconnect", true},
    };
    Form3& window = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        if (c.reply) modem().overrideReply("ATDL", *c.reply);
        modem().state().lastDialled = c.callUp ? "0123;" : "";
        modem().state().call.status = c.callUp ? sim::CallStatus::Active : sim::CallStatus::Idle;
        typeNumber("typed");
        window.ShowCallStatus("");
        control<QPushButton>(window, "Command8")->click();
        EXPECT_EQ(sent(), "ATDL\r");
        EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), c.box);
        EXPECT_EQ(status(), c.status);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_P(CallWindowTest, RedialDialsTheLastNumberAgain) {
    Form3& window = open();
    typeNumber("0207946000");
    control<QPushButton>(window, "Command1")->click();
    control<QPushButton>(window, "Command4")->click();
    sent();
    control<QPushButton>(window, "Command7")->click(); // "Clear"
    control<QPushButton>(window, "Command8")->click();
    EXPECT_EQ(sent(), "ATDL\r");
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "0207946000");
    EXPECT_EQ(status(), "Connected SuccessFully-0207946000");
    EXPECT_EQ(modem().state().call.status, sim::CallStatus::Active);
}

TEST_P(CallWindowTest, HangUpEndsTheCallAndEmptiesTheDialBox) {
    Form3& window = open();
    typeNumber("0123456789");
    control<QPushButton>(window, "Command1")->click();
    sent();
    control<QPushButton>(window, "Command4")->click();
    EXPECT_EQ(sent(), "ATH\r");
    EXPECT_EQ(status(), "DisConnected ");
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "");
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_EQ(modem().state().call.status, sim::CallStatus::Idle);
}

// ---- keypad and dial box

TEST_P(CallWindowTest, KeysJoinTheDialBoxAndGoOutAsTonesEvenWithoutACall) {
    Form3& window = open();
    QStringList tones;
    for (int digit = 0; digit <= 9; ++digit) {
        click(control<QLabel>(window, "Image" + QString::number(digit)));
        tones << "AT+VTS=" + QString::number(digit);
    }
    click(control<QLabel>(window, "Label2"));
    click(control<QLabel>(window, "Label4"));
    tones.append({"AT+VTS=#", "AT+VTS=*"});
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "0123456789#*");
    EXPECT_EQ(commands(sent()), tones);
    EXPECT_TRUE(main().Text1().isEmpty());
}

TEST_P(CallWindowTest, BackspaceAndClearEditTheDialBox) {
    Form3& window = open();
    typeNumber("123");
    control<QPushButton>(window, "Command6")->click();
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "12");
    control<QPushButton>(window, "Command7")->click();
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "");
    control<QPushButton>(window, "Command6")->click();
    EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), "");
    EXPECT_EQ(sent(), "");
}

// ---- the phonebook list

TEST_P(CallWindowTest, ClickOnARowPutsItsNumberIntoTheDialBox) {
    struct Case {
        QString row;
        QString number;
    };
    const Case cases[] = {
        {Form3::listRow("1", "0123456789", "JOHN"), "0123456789"},
        {Form3::listRow("12", "0207946000", "MARY ANN"), "0207946000"},
        // No name: no blank after the trimmed number, which is the whole rest.
        {Form3::listRow("2", "0123456789", ""), "0123456789"},
        {Form3::listRow("3", "+4416329609612345678901", "LONG"), "+4416329609612345678901"},
    };
    Form3& window = open({});
    for (const Case& c : cases)
        control<QListWidget>(window, "List1")->addItem(c.row);
    for (int row = 0; row < static_cast<int>(std::size(cases)); ++row) {
        typeNumber("typed");
        clickRow(control<QListWidget>(window, "List1"), row);
        EXPECT_EQ(control<QLineEdit>(window, "Text1")->text(), cases[row].number)
            << cases[row].row.toStdString();
    }
}

TEST_P(CallWindowTest, DeleteErasesTheSimEntryThenTheCopyAndTheCounts) {
    struct Case {
        const char* name;
        int selected; // -1: no row
        std::function<void()> prepare;
        QStringList sent;
        QStringList rows;
        QStringList entries;
        QStringList counts;
        QString usedBox;
        QStringList messages;
    };
    const QStringList allRows = {Form3::listRow("1", "0123456789", "JOHN"),
                                 Form3::listRow("2", "+441632960961", "OFFICE"),
                                 Form3::listRow("3", "0207946000", "HOME")};
    const QStringList allEntries = {"1|0123456789|JOHN", "2|+441632960961|OFFICE",
                                    "3|0207946000|HOME"};
    // clang-format off
    const Case cases[] = {
        {"middle entry", 1, nullptr, {"AT+CPBW=2"}, {allRows[0], allRows[2]},
         {allEntries[0], allEntries[2]}, {"2|250"}, "2", {}},
        {"last entry", 2, nullptr, {"AT+CPBW=3"}, {allRows[0], allRows[1]},
         {allEntries[0], allEntries[1]}, {"2|250"}, "2", {}},
        {"no row selected", -1, nullptr, {}, allRows, allEntries, {"3|250"}, "3",
         {"Select the Number To Delete In PhoneBook | GSM"}},
        {"modem refuses", 1,
         [this] { refuseWrites(); },
         {"AT+CPBW=2"}, allRows, allEntries, {"3|250"}, "3", {"Error Occurred.Try Again | GSM"}},
        // The SIM entry is gone: so is its record, though the count cannot be lowered.
        {"count box holds no number", 1,
         [this] { control<QLineEdit>(calls(), "Text2")->setText("x"); }, {"AT+CPBW=2"},
         {allRows[0], allRows[2]}, {allEntries[0], allEntries[2]}, {"3|250"}, "x", {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startAfresh();
        modem().state().shapes.refusals.clear();
        services().messages.clear();
        Form3& window = open();
        if (c.prepare) c.prepare();
        if (c.selected >= 0) clickRow(control<QListWidget>(window, "List1"), c.selected);
        control<QPushButton>(window, "Command3")->click();
        EXPECT_EQ(commands(sent()), c.sent);
        EXPECT_EQ(rows(), c.rows);
        EXPECT_EQ(storedEntries(), c.entries);
        EXPECT_EQ(storedCounts(), c.counts);
        EXPECT_EQ(control<QLineEdit>(window, "Text2")->text(), c.usedBox);
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(status(), c.sent.isEmpty() || !c.messages.isEmpty() ? "" : "Number Deleted");
    }
    EXPECT_FALSE(simBook().entries.count(2));
}

// The normal opening: the copy an earlier download left is listed as stored,
// its counts fill the count boxes, and the SIM is not read again; the next
// addition takes its index from those counts.
TEST_P(CallWindowTest, OpeningListsTheStoredCopyAndItsCounts) {
    const std::map<int, sim::PhonebookEntry> stored = {{1, {"0612345678", 129, "ALICE"}},
                                                       {3, {"0207946000", 129, "BOB \"B\""}},
                                                       {12, {"+441632960961", 145, ""}}};
    simBook().entries = stored;
    for (const auto& [index, e] : stored)
        addTableRow("DATA", {{"Index", QString::number(index)},
                             {"Number", QString::fromLatin1(e.number)},
                             {"Name", QString::fromLatin1(e.name)}});
    addTableRow("Details", {{"TotalIndex", "250"}, {"UsedIndex", "3"}});
    Form3& window = form<Form3>();
    window.Show();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(rows(), (QStringList{Form3::listRow("1", "0612345678", "ALICE"),
                                   Form3::listRow("3", "0207946000", "BOB \"B\""),
                                   Form3::listRow("12", "+441632960961", "")}));
    EXPECT_EQ(control<QLineEdit>(window, "Text2")->text(), "3");
    EXPECT_EQ(control<QLineEdit>(window, "Text4")->text(), "250");
    control<QPushButton>(add("", "", "0800", "NEW"), "Command1")->click();
    EXPECT_EQ(commands(sent()), (QStringList{"AT+CPBR=4", "AT+CPBW=4,0800,,\" NEW\""}));
    EXPECT_EQ(storedCounts(), QStringList{"4|250"});
}

TEST_P(CallWindowTest, ReloadDownloadsTheSimPhonebookAgain) {
    Form3& window = open();
    simBook().entries[4] = {"0800123456", 129, "NEW"};
    QString during;
    clock().schedule(clock().seconds() + 4, [&] { during = status(); });
    control<QPushButton>(window, "Command5")->click();
    const QStringList written = commands(sent());
    EXPECT_EQ(written.value(0), "AT+CPBS?");
    EXPECT_EQ(written.mid(1), (QStringList{"AT+CPBR=1", "AT+CPBR=2", "AT+CPBR=3", "AT+CPBR=4"}));
    EXPECT_EQ(during, "Please Wait.......");
    EXPECT_EQ(status(), "");
    EXPECT_EQ(rows().size(), 4);
    EXPECT_EQ(rows().last(), Form3::listRow("4", "0800123456", "NEW"));
    EXPECT_EQ(storedCounts(), QStringList{"4|250"});
}

TEST_P(CallWindowTest, CloseBoxReturnsToTheMainWindow) {
    Form3& window = open();
    control<QLabel>(main(), "Label5")->setText("Please Wait.......");
    main().hide();
    window.close();
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "");
    EXPECT_FALSE(Forms::instance().isLoaded<Form3>());
}

// ---- the phonebook entry window

class EntryWindowTest : public CallWindowTest {
  protected:
    // The four boxes of the entry window, joined.
    static QString boxes(const Form4& entry) {
        return control<QLineEdit>(entry, "Text1")->text() +
               control<QLineEdit>(entry, "Text2")->text() +
               control<QLineEdit>(entry, "Text3")->text() +
               control<QLineEdit>(entry, "Text4")->text();
    }
    // Deletes the entry on the given list row, as the user would.
    void deleteRow(int row) {
        clickRow(control<QListWidget>(calls(), "List1"), row);
        control<QPushButton>(calls(), "Command3")->click();
        sent();
    }
};

TEST_P(EntryWindowTest, OkWritesTheEntryToTheSimThenToTheCopyAndTheList) {
    open(entriesUpTo(5));
    Form4& entry = add("", "12", "3", "alice");
    EXPECT_TRUE(entry.isVisible());
    EXPECT_FALSE(calls().isVisible());
    control<QPushButton>(entry, "Command1")->click();
    EXPECT_EQ(commands(sent()), (QStringList{"AT+CPBR=6", "AT+CPBW=6,123,,\" alice\""}));
    EXPECT_EQ(rows().last(), Form3::listRow("6", "123", "ALICE"));
    EXPECT_EQ(control<QLineEdit>(calls(), "Text2")->text(), "6");
    EXPECT_EQ(storedEntries().last(), "6|123|ALICE");
    EXPECT_EQ(storedCounts(), QStringList{"6|250"});
    EXPECT_EQ(status(), "New Entry  123");
    EXPECT_TRUE(calls().isVisible());
    EXPECT_FALSE(entry.isVisible());
    EXPECT_EQ(simBook().entries.at(6).number, "123");
    EXPECT_EQ(simBook().entries.at(6).name, " alice");
}

// An entry deleted in the middle leaves "used + 1" taken: the new entry goes
// to a free index and no SIM entry is overwritten.
TEST_P(EntryWindowTest, NewEntryGoesToAnIndexTheSimShowsFree) {
    struct Case {
        const char* name;
        std::map<int, sim::PhonebookEntry> simEntries;
        int capacity;
        int deletedRow; // -1: none
        std::function<void()> afterDeletion;
        QStringList sent;
        QStringList messages;
        QString usedBox;
    };
    // clang-format off
    const Case cases[] = {
        {"the deleted index", kThreeEntries, 250, 1, nullptr,
         {"AT+CPBR=3", "AT+CPBR=2", "AT+CPBW=2,0800,,\" BOB\""}, {}, "3"},
        {"full SIM", kThreeEntries, 3, 1,
         [this] { simBook().entries[2] = {"0999", 129, "OTHER PHONE"}; },
         {"AT+CPBR=3", "AT+CPBR=2"}, {"Error Occurred.Cannot Add | GSM"}, "2"},
        // The download left the gap as the SIM had it.
        {"a gap on the SIM",
         {{1, {"0612345678", 129, "ALICE"}}, {3, {"0207946000", 129, "BOB"}},
          {4, {"+441632960961", 145, "CAROL"}}},
         250, -1, nullptr,
         {"AT+CPBR=4", "AT+CPBR=2", "AT+CPBW=2,0800,,\" BOB\""}, {}, "4"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unloadIfLoaded<Form4>(); // its close box shows the call window
        startAfresh();
        services().messages.clear();
        simBook().capacity = c.capacity;
        open(c.simEntries);
        if (c.deletedRow >= 0) deleteRow(c.deletedRow);
        if (c.afterDeletion) c.afterDeletion();
        const std::map<int, sim::PhonebookEntry> before = simBook().entries;
        control<QPushButton>(add("", "", "0800", "BOB"), "Command1")->click();
        EXPECT_EQ(commands(sent()), c.sent);
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(control<QLineEdit>(calls(), "Text2")->text(), c.usedBox);
        for (const auto& [index, e] : before)
            EXPECT_EQ(simBook().entries.at(index).name, e.name) << index;
        EXPECT_TRUE(calls().isVisible());
    }
}

TEST_P(EntryWindowTest, RefusalsSendNothingAndReturnToTheCallWindow) {
    struct Case {
        QString country, area, phone, name;
        QString pastedIntoName = QString(); // what no key types
    };
    const Case cases[] = {
        {"", "", "3", ""},
        {"", "", "", "ALICE"},
        {"", "", "3;+CPBW=1", "X"},
        {"", "1,2", "3", "X"},
        {"44", "", "1 2", "X"},
        {"", "", "3", "AL\"ICE"},
        {"", "", "3", "AL", QString(QChar(13)) + "ICE"},
        // What the line cannot carry: it would reach the SIM as "?".
        {"", "", "3", "üü中"},
        {"", "", "3", "Café über 中文 😀"},
        {"", "", "٠١٢٣", "X"},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE((c.phone + "/" + c.name + c.pastedIntoName).toStdString());
        services().messages.clear();
        Form4& entry = add(c.country, c.area, c.phone, c.name);
        if (!c.pastedIntoName.isEmpty())
            paste(control<QLineEdit>(entry, "Text4"), c.pastedIntoName);
        control<QPushButton>(entry, "Command1")->click();
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(messages(), QStringList{"Please Enter Valid Number/Name | GSM"});
        EXPECT_TRUE(calls().isVisible());
        EXPECT_FALSE(entry.isVisible());
    }
}

TEST_P(EntryWindowTest, AFullAddressBookOrARefusedWriteChangesNothing) {
    open();
    const QStringList rowsBefore = rows();
    const QStringList entriesBefore = storedEntries();

    control<QLineEdit>(calls(), "Text2")->setText("250");
    control<QLineEdit>(calls(), "Text4")->setText("250");
    control<QPushButton>(add("", "", "3", "X"), "Command1")->click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(messages(), QStringList{"Address Book full | GSM"});

    services().messages.clear();
    control<QLineEdit>(calls(), "Text2")->setText("3");
    refuseWrites();
    control<QPushButton>(add("", "", "3", "X"), "Command1")->click();
    EXPECT_EQ(commands(sent()), (QStringList{"AT+CPBR=4", "AT+CPBW=4,3,,\" X\""}));
    EXPECT_EQ(messages(), QStringList{"Error Occurred.Cannot Add | GSM"});
    EXPECT_EQ(rows(), rowsBefore);
    EXPECT_EQ(storedEntries(), entriesBefore);
    EXPECT_EQ(control<QLineEdit>(calls(), "Text2")->text(), "3");
    EXPECT_TRUE(calls().isVisible());
}

TEST_P(EntryWindowTest, CountsThatAreNoNumbersEndTheAdditionQuietly) {
    open();
    control<QLineEdit>(calls(), "Text2")->setText("");
    Form4& entry = add("", "", "3", "X");
    control<QPushButton>(entry, "Command1")->click();
    EXPECT_EQ(sent(), "");
    EXPECT_TRUE(services().messages.empty());
    EXPECT_TRUE(entry.isVisible());
}

TEST_P(EntryWindowTest, OkAndCancelKeepTheBoxesTheCloseBoxEmptiesThem) {
    open();
    control<QPushButton>(add("44", "20", "7946", "KEEP"), "Command2")->click();
    EXPECT_TRUE(calls().isVisible());
    control<QPushButton>(calls(), "Command2")->click();
    EXPECT_EQ(boxes(form<Form4>()), "44207946KEEP");
    form<Form4>().close();
    EXPECT_TRUE(calls().isVisible());
    control<QPushButton>(calls(), "Command2")->click();
    EXPECT_EQ(boxes(form<Form4>()), "");
    EXPECT_EQ(sent(), "");
}

// ---- a copy that cannot be written

// The SIM is not changed while the copy could not follow: Add and Delete say
// so and send nothing, and the SIM, the copy and the list stay as they were.
TEST_P(EntryWindowTest, ACopyThatCannotBeWrittenIsToldBeforeTheSimIsChanged) {
    open();
    const QStringList rowsBefore = rows();
    const QStringList entriesBefore = storedEntries();
    const QString refused = "Phone Book File Cannot Be Written | GSM";
    UnwritablePhoneBook file(services().path(db::kPhoneBookFile));
    for (const UnwritablePhoneBook::Condition& condition : file.withFieldOfItsOwn()) {
        SCOPED_TRACE(condition.what);
        services().messages.clear();
        condition.make();
        control<QPushButton>(add("", "", "0800", "NEW"), "Command1")->click();
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(messages(), QStringList{refused});
        EXPECT_TRUE(calls().isVisible());
        clickRow(control<QListWidget>(calls(), "List1"), 1);
        control<QPushButton>(calls(), "Command3")->click();
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(messages(), (QStringList{refused, refused}));
        EXPECT_EQ(status(), "");
        condition.undo();
        EXPECT_EQ(rows(), rowsBefore);
        EXPECT_EQ(storedEntries(), entriesBefore);
        EXPECT_EQ(storedCounts(), QStringList{"3|250"});
        EXPECT_EQ(control<QLineEdit>(calls(), "Text2")->text(), "3");
        EXPECT_EQ(simBook().entries.size(), 3u);
    }
}

// A write of the copy that still fails once the SIM has changed (here a row
// the file itself refuses) is told too. Nothing of it is kept, and the list
// and counts go on showing the copy: never "Number Deleted" for a row that
// stays, which a second Delete can take once the file takes it.
TEST_P(EntryWindowTest, ACopyWriteThatFailsAfterTheSimChangedIsTold) {
    open();
    const QStringList rowsBefore = rows();
    const QStringList entriesBefore = storedEntries();
    db::Database file = db::OpenDatabase(db::kPhoneBookFile);
    file.Execute("CREATE TRIGGER refuseNew BEFORE INSERT ON DATA WHEN NEW.Name = 'NEWCOMER' "
                 "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    file.Execute("CREATE TRIGGER keepOffice BEFORE DELETE ON DATA WHEN OLD.Name = 'OFFICE' "
                 "BEGIN SELECT RAISE(ABORT, 'kept'); END");

    control<QPushButton>(add("", "", "0800", "newcomer"), "Command1")->click();
    EXPECT_EQ(commands(sent()), (QStringList{"AT+CPBR=4", "AT+CPBW=4,0800,,\" newcomer\""}));
    EXPECT_EQ(simBook().entries.at(4).name, " newcomer");
    EXPECT_EQ(messages(),
              QStringList{"Number Added To SIM.Phone Book File Cannot Be Written | GSM"});
    EXPECT_TRUE(calls().isVisible());

    services().messages.clear();
    clickRow(control<QListWidget>(calls(), "List1"), 1);
    control<QPushButton>(calls(), "Command3")->click();
    EXPECT_EQ(sent(), "AT+CPBW=2\r");
    EXPECT_FALSE(simBook().entries.count(2));
    EXPECT_EQ(messages(),
              QStringList{"Number Erased From SIM.Phone Book File Cannot Be Written | GSM"});
    EXPECT_NE(status(), "Number Deleted");

    EXPECT_EQ(rows(), rowsBefore);
    EXPECT_EQ(storedEntries(), entriesBefore);
    EXPECT_EQ(storedCounts(), QStringList{"3|250"});
    EXPECT_EQ(control<QLineEdit>(calls(), "Text2")->text(), "3");

    file.Execute("DROP TRIGGER keepOffice");
    clickRow(control<QListWidget>(calls(), "List1"), 1);
    control<QPushButton>(calls(), "Command3")->click();
    EXPECT_EQ(status(), "Number Deleted");
    EXPECT_EQ(storedEntries(), (QStringList{entriesBefore[0], entriesBefore[2]}));
    EXPECT_EQ(storedCounts(), QStringList{"2|250"});
}

// A copy whose Number field is no text (INTEGER, as another program may make
// it) holds 0655555555 as 655555555: it is not this program's file, and the
// call window treats it as one it cannot read. None of its numbers is listed
// to be dialled, and the download reads nothing into it: the file stays as
// it was.
TEST_P(CallWindowTest, ACopyWhoseNumbersAreNoTextIsNeitherListedNorDownloadedInto) {
    const QString file = services().path(db::kPhoneBookFile);
    db::createPhoneBookIfMissing(file);
    makeNumbersIntegers(file);
    const QStringList stored = {"1 text|655555555 integer|DORA text",
                                "2 text|33698765432 integer|PIERRE text"};
    ASSERT_EQ(rawRows(file, "SELECT * FROM DATA"), stored);
    simBook().entries = kThreeEntries;
    Form3& window = form<Form3>();
    window.Show();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(status(), "Phone Book File Cannot Be Read");
    EXPECT_TRUE(rows().isEmpty());

    control<QPushButton>(window, "Command5")->click(); // "Reload PhoneBook"
    EXPECT_EQ(commands(sent()), QStringList{"AT+CPBS?"});
    EXPECT_EQ(control<QLabel>(main(), "Label5")->text(), "Phone Book File Cannot Be Read");
    EXPECT_EQ(status(), "Phone Book File Cannot Be Read");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(rawRows(file, "SELECT * FROM DATA"), stored);
}

// A device pulled out, or a module fallen silent, while the entry window
// reads the SIM for a free index or writes the entry: the window shows its
// failure message, as after any unanswered command, no further index is
// read, and nothing is written to the copy. Delete says the same as for a
// refusal.
TEST_P(EntryWindowTest, ADeviceGoneOrSilentDuringTheAdditionCannotAdd) {
    struct Case {
        const char* when;
        bool pulled;
        QStringList sent;
    };
    const Case cases[] = {
        {"at AT+CPBR=", true, {"AT+CPBR=4"}},
        {"after 1 AT+CPBR=", true, {"AT+CPBR=4"}},
        {"at AT+CPBW=", true, {"AT+CPBR=4", "AT+CPBW=4,0800,,\" NEW\""}},
        {"at AT+CPBR=", false, {"AT+CPBR=4"}},
        {"at AT+CPBW=", false, {"AT+CPBR=4", "AT+CPBW=4,0800,,\" NEW\""}},
    };
    open();
    const QStringList entriesBefore = storedEntries();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.when) + (c.pulled ? ", pulled out" : ", silent"));
        services().messages.clear();
        const sim::Silence when = *sim::silenceFromText(c.when);
        if (c.pulled)
            ports().pullAt(3, when);
        else
            modem().fallSilent(when);
        const double start = clock().seconds();
        control<QPushButton>(add("", "", "0800", "NEW"), "Command1")->click();
        EXPECT_LT(clock().seconds() - start, 15);
        EXPECT_EQ(commands(sent()), c.sent);
        EXPECT_EQ(messages(), QStringList{"Error Occurred.Cannot Add | GSM"});
        EXPECT_EQ(storedEntries(), entriesBefore);
        EXPECT_TRUE(calls().isVisible());
        if (c.pulled) ports().plugBackIn(3);
        modem().restart();
        if (!main().MSComm1().PortOpen()) main().MSComm1().setPortOpen(true);
    }
    services().messages.clear();
    ports().pullAt(3, *sim::silenceFromText("at AT+CPBW="));
    clickRow(control<QListWidget>(calls(), "List1"), 1);
    control<QPushButton>(calls(), "Command3")->click();
    EXPECT_EQ(messages(), QStringList{"Error Occurred.Try Again | GSM"});
    EXPECT_EQ(storedEntries(), entriesBefore);
}

// ---- the incoming-call window

TEST_P(CallWindowTest, IncomingCallIsAnsweredAndEndsWhenTheCallerHangsUp) {
    open();
    modem().state().settings.clip = 1;
    modem().incomingCall("0123456789");
    run(3);
    Form5& incoming = form<Form5>();
    EXPECT_TRUE(incoming.isVisible());
    EXPECT_EQ(control<QLabel>(incoming, "Label1")->text(), "Call Received From  JOHN");
    sent();
    control<QPushButton>(incoming, "Command1")->click();
    EXPECT_TRUE(sent().startsWith("ATA\r"));
    EXPECT_EQ(modem().state().call.status, sim::CallStatus::Active);
    EXPECT_TRUE(incoming.isVisible());
    modem().callerHangsUp();
    run(3);
    EXPECT_FALSE(incoming.isVisible());
    EXPECT_EQ(status(), "No Carrier.Plz Disconnect");
}

TEST_P(CallWindowTest, AnswerKeepsTheLogHangUpEmptiesItAndHides) {
    open();
    modem().state().call.status = sim::CallStatus::Incoming;
    Form5& incoming = form<Form5>();
    incoming.Show();
    auto logDuringWait = [this] {
        auto seen = std::make_shared<QString>();
        clock().schedule(clock().seconds() + 0.5, [this, seen] { *seen = main().Text1().text(); });
        return seen;
    };
    main().Text1().setText("earlier\r\n");
    auto seen = logDuringWait();
    control<QPushButton>(incoming, "Command1")->click();
    EXPECT_TRUE(seen->startsWith("earlier\r\nATA\r")) << seen->toStdString();
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_TRUE(incoming.isVisible());

    main().Text1().setText("earlier\r\n");
    seen = logDuringWait();
    control<QPushButton>(incoming, "Command2")->click();
    EXPECT_TRUE(seen->startsWith("ATH\r")) << seen->toStdString();
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_FALSE(incoming.isVisible());
    EXPECT_EQ(sent(), "ATA\rATH\r");
}

INSTANTIATE_TEST_SUITE_P(Shapes, CallWindowTest, ::testing::ValuesIn(moduleShapes()), shapeName);

INSTANTIATE_TEST_SUITE_P(Shapes, EntryWindowTest, ::testing::ValuesIn(moduleShapes()), shapeName);

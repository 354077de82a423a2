#include "calls/Form3.h"
#include "calls/Form5.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "console/Form11.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/UnwritablePhoneBook.h"

#include <QFile>
#include <QPushButton>
#include <QSlider>

#include <functional>

namespace {
// Bars shown in the signal window, left to right.
QString bars() {
    Form7& signal = form<Form7>();
    QString shown;
    for (QLabel* bar : {control<QLabel>(signal, "Image1"), control<QLabel>(signal, "Image2"),
                        control<QLabel>(signal, "Image3"), control<QLabel>(signal, "Image4"),
                        control<QLabel>(signal, "Image5")})
        shown += bar->isVisibleTo(&signal) ? '|' : '.';
    return shown;
}

void storeContact(const QString& number, const QString& name) {
    db::DataControl data(db::kPhoneBookFile, "DATA");
    data.Refresh();
    data.Recordset().AddNew();
    data.Recordset().Fields("Index").setValue("1");
    data.Recordset().Fields("Number").setValue(number);
    data.Recordset().Fields("Name").setValue(name);
    data.Recordset().Update();
}
} // namespace

using DispatcherTest = ConnectedConsole;

TEST_F(DispatcherTest, EmptyEventOnEmptyLogTouchesNothing) {
    control<QLabel>(form<Form7>(), "Label4")->setText("kept");
    main().link().write("");
    run(3);
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_EQ(control<QLabel>(form<Form7>(), "Label4")->text(), "kept");
}

TEST_F(DispatcherTest, SignalQualitySetsBarsAndLabel) {
    struct Case {
        const char* rssi;
        const char* bars;
        const char* label;
    };
    const Case cases[] = {
        {"0", "|....", "0,99"},
        {"1", "||...", "1,99"},
        {"15", "|||..", "15,99"},
        {"31", "||||.", "31,99"},
        {"99", ".....", "Unknown/Undetectable"},
        {"50", ".....", "Unknown/Undetectable"}, // unchanged from the case before
    };
    for (const Case& c : cases) {
        arrive(QByteArray("\r\n+CSQ: ") + c.rssi + ",99\r\n\r\nOK\r\n");
        run(3);
        EXPECT_EQ(bars(), c.bars) << c.rssi;
        EXPECT_EQ(control<QLabel>(form<Form7>(), "Label4")->text(), c.label) << c.rssi;
        EXPECT_TRUE(main().Text1().isEmpty()) << c.rssi;
    }
}

TEST_F(DispatcherTest, RegistrationTextFollowsTheStatus) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "Not Registered"},
        {"1", "Registered/Home Network"},
        {"2", "Not Registered.Searching Operator"},
        {"3", "Registration Denied"},
        {"4", "Unknown"},
        {"5", "Registered/Roaming"},
        {"7", "Registered/Roaming"}, // unknown status: unchanged
    };
    for (const auto& [stat, label] : cases) {
        arrive(QByteArray("\r\n+CREG: 0,") + stat + "\r\n\r\nOK\r\n");
        run(3);
        EXPECT_EQ(control<QLabel>(form<Form7>(), "Label5")->text(), label) << stat;
    }
}

TEST_F(DispatcherTest, SignalAndRegistrationTogetherShowOnlyTheSignal) {
    control<QLabel>(form<Form7>(), "Label5")->setText("before");
    arrive("\r\n+CSQ: 20,0\r\n\r\nOK\r\n\r\n+CREG: 0,1\r\n\r\nOK\r\n");
    run(3);
    EXPECT_EQ(control<QLabel>(form<Form7>(), "Label4")->text(), "20,0");
    EXPECT_EQ(control<QLabel>(form<Form7>(), "Label5")->text(), "before");
}

TEST_F(DispatcherTest, RingWithCallerShowsTheNumberOrTheStoredName) {
    storeContact("9876543210", "ALICE");
    struct Case {
        const char* clip;
        const char* shown;
    };
    const Case cases[] = {
        {"+CLIP: \"0123456789\",129", "Call Received-  0123456789"},
        {"+CLIP: \"+919876543210\",145", "Call Received From  ALICE"}, // found by its last ten
    };
    for (const Case& c : cases) {
        form<Form5>().hide();
        main().Timer2.setEnabled(false);
        arrive(QByteArray("\r\nRING\r\n\r\n") + c.clip + "\r\n");
        run(3);
        EXPECT_TRUE(form<Form5>().isVisible()) << c.clip;
        EXPECT_EQ(control<QLabel>(form<Form5>(), "Label1")->text(), c.shown) << c.clip;
        EXPECT_TRUE(main().Text1().isEmpty());
        EXPECT_TRUE(main().Timer2.Enabled());
    }
}

TEST_F(DispatcherTest, RingWithoutCallerEmptiesTheLogAndStartsTheCallWatch) {
    arrive("\r\nRING\r\n");
    run(3);
    EXPECT_FALSE(Forms::instance().isLoaded<Form5>() && form<Form5>().isVisible());
    EXPECT_TRUE(main().Text1().isEmpty());
    EXPECT_TRUE(main().Timer2.Enabled());
}

TEST_F(DispatcherTest, CallerNumberIsCutAtTheCommaAfterItsKeyNotAnEarlierOne) {
    // A reply still in the log holds an earlier comma.
    main().Text1().setText("\r\n+COPS: 0,0\r\n");
    modem().setLatency(0);
    arrive("\r\nRING\r\n\r\n+CLIP: \"0123456789\",129\r\n");
    run(3);
    EXPECT_EQ(control<QLabel>(form<Form5>(), "Label1")->text(), "Call Received-  0123456789");
}

TEST_F(DispatcherTest, WaitingCallNeedsAQuotedNumber) {
    arrive("\r\n+CCWA: 1,1\r\n\r\nOK\r\n");
    run(3);
    EXPECT_FALSE(Forms::instance().isLoaded<Form5>() && form<Form5>().isVisible());
    main().Text1().clear();
    arrive("\r\n+CCWA: \"0123456789\",129,1\r\n");
    run(3);
    EXPECT_EQ(control<QLabel>(form<Form5>(), "Label1")->text(), "Call Waiting-  0123456789");
}

TEST_F(DispatcherTest, CallEndTextsInTheirOrder) {
    struct Case {
        const char* codes;
        const char* status;
    };
    const Case cases[] = {
        {"\r\nBUSY\r\n\r\nNO ANSWER\r\n", "No Answer.Plz Disconnect"},
        {"\r\nNO CARRIER\r\n", "No Carrier.Plz Disconnect"},
        {"\r\nBUSY\r\n", "Busy.Plz Disconnect"},
    };
    for (const Case& c : cases) {
        main().Text1().clear();
        arrive(c.codes);
        run(3);
        EXPECT_EQ(control<QLabel>(form<Form3>(), "Label3")->text(), c.status) << c.codes;
    }
}

TEST_F(DispatcherTest, UnsolicitedCodesInsideAnotherReplyFireNothing) {
    arrive("\r\n+CPBR: 1,\"0123\",129,\"RING BUSY\"\r\n\r\nOK\r\n"
           "\r\n+CMGR: \"REC READ\",\"0123\",,\"26/01/01,10:00:00+00\"\r\nCALL ME NO CARRIER "
           "CMTI\r\n");
    run(3);
    EXPECT_FALSE(main().Timer2.Enabled());
    EXPECT_FALSE(Forms::instance().isLoaded<Form11>());
    EXPECT_FALSE(Forms::instance().isLoaded<Form3>());
    EXPECT_FALSE(main().Text1().isEmpty());
}

TEST_F(DispatcherTest, NewMessageMarksTheSmsButtonAndShowsTheIndex) {
    struct Case {
        const char* index;
        const char* shown;
    };
    // Two characters are taken: a one-character index keeps its carriage
    // return, so only an index at the very end of the log reads as a letter.
    const Case cases[] = {{"3", "New Message Received.3\r"},
                          {"A", "New Message Received.A\r"},
                          {"12", "New Message Received.12"}};
    for (const Case& c : cases) {
        arrive(QByteArray("\r\n+CMTI: \"SM\",") + c.index + "\r\n");
        run(6);
        EXPECT_EQ(control<QLabel>(form<Form8>(), "Label4")->text(), c.shown) << c.index;
        EXPECT_TRUE(control<QPushButton>(main(), "Command3")->styleSheet().contains("#ffc0c0"));
        EXPECT_FALSE(form<Form11>().isVisible());
    }
}

// The pop-up comes once the dispatcher's two seconds are over and stands for
// three; the notice follows it. Looked at while the dispatcher waits.
TEST_F(DispatcherTest, NewMessagePopUpStandsForThreeSecondsAfterTheWait) {
    struct Moment {
        double at;
        bool shown;
        QString notice;
    };
    const Moment moments[] = {
        {1.9, false, ""},
        {2.1, true, ""},
        {4.9, true, ""},
        {5.1, false, "New Message Received.3\r"},
    };
    form<Form8>();
    std::vector<Moment> seen;
    for (const Moment& m : moments)
        clock().schedule(clock().seconds() + m.at, [&seen, at = m.at] {
            seen.push_back({at, Forms::instance().isLoaded<Form11>() && form<Form11>().isVisible(),
                            control<QLabel>(form<Form8>(), "Label4")->text()});
        });
    arrive("\r\n+CMTI: \"SM\",3\r\n");
    run(6);
    ASSERT_EQ(seen.size(), std::size(moments));
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].shown, moments[i].shown) << moments[i].at;
        EXPECT_EQ(seen[i].notice, moments[i].notice) << moments[i].at;
    }
}

TEST_F(DispatcherTest, GainRepliesSetTheCallControlWindow) {
    arrive("\r\n+VGR: 128\r\n\r\nOK\r\n");
    run(3);
    EXPECT_EQ(control<QLabel>(form<Form6>(), "Label7")->text(), "Default Values-Speaker 128");
    EXPECT_EQ(control<QLabel>(form<Form6>(), "Label5")->text(), "128");
    EXPECT_EQ(control<QSlider>(form<Form6>(), "Slider1")->value(), 128);
    arrive("AT+VGT=10\r\r\nERROR\r\n");
    run(3);
    EXPECT_EQ(control<QLabel>(form<Form6>(), "Label7")->text(), "UnSuccessFul.Try Again");
}

TEST_F(DispatcherTest, SideToneSelectsItsOption) {
    arrive("\r\n+SIDET: 1,3\r\n\r\nOK\r\n");
    run(3);
    EXPECT_TRUE(control<QRadioButton>(form<Form6>(), "Option2")->isChecked());
    EXPECT_EQ(control<QSlider>(form<Form6>(), "Slider10")->value(), 3);
}

TEST_F(DispatcherTest, ArrivalsWithinTwoSecondsAreExaminedTogether) {
    arrive("\r\n+CSQ: 1");
    modem().unsolicited("7,99\r\n\r\nOK\r\n", 1.0);
    run(5);
    EXPECT_EQ(control<QLabel>(form<Form7>(), "Label4")->text(), "17,99");
}

// A caller line that comes just short of two seconds after its ring is
// examined with it.
TEST_F(DispatcherTest, ACallerLineWithinTwoSecondsOfTheRingIsAnnounced) {
    arrive("\r\nRING\r\n");
    modem().unsolicited("\r\n+CLIP: \"0123456789\",129\r\n", 1.9);
    run(5);
    ASSERT_TRUE(Forms::instance().isLoaded<Form5>());
    EXPECT_EQ(control<QLabel>(form<Form5>(), "Label1")->text(), "Call Received-  0123456789");
    EXPECT_TRUE(form<Form5>().isVisible());
}

TEST_F(DispatcherTest, EndlessStreamNestsOnlySoDeepAndLosesNoByte) {
    QByteArray expected;
    for (int i = 0; i < 200; ++i) {
        const QByteArray piece = "x" + QByteArray::number(i) + ";";
        expected += piece;
        modem().unsolicited(piece, i * 0.05);
    }
    run(15);
    EXPECT_EQ(main().Text1().text(), QString::fromLatin1(expected));
}

TEST_F(DispatcherTest, RepliesLoadOnlyTheWindowsTheyWriteInto) {
    arrive("\r\n+CSQ: 5,0\r\n\r\nOK\r\n");
    run(3);
    EXPECT_TRUE(Forms::instance().isLoaded<Form7>());
    for (bool loaded : {Forms::instance().isLoaded<Form3>(), Forms::instance().isLoaded<Form5>(),
                        Forms::instance().isLoaded<Form6>(), Forms::instance().isLoaded<Form8>()})
        EXPECT_FALSE(loaded);
}

TEST_F(DispatcherTest, GainTheSliderCannotHoldEndsTheRunAndKeepsTheLog) {
    control<QLabel>(form<Form6>(), "Label7")->setText("before");
    arrive("\r\n+VGR: 300\r\n\r\nOK\r\n");
    run(3);
    EXPECT_EQ(control<QLabel>(form<Form6>(), "Label7")->text(), "Default Values-Speaker 300");
    // refused, not cut down to the maximum
    EXPECT_NE(control<QSlider>(form<Form6>(), "Slider1")->value(), 255);
    EXPECT_TRUE(main().Text1().contains("VGR: 300"));
}

// What people wrote never fires a key, whatever it holds: a message read back
// with "AT+CMGR=" (from its line to the final result) and the echo of a
// message body (from the "> " prompt to the modem's verdict). Line feeds in a
// body are echoed as they are, so its lines begin where keys would.
TEST_F(DispatcherTest, MessageTextsFireNoKey) {
    const QByteArray texts[] = {
        "CPIN: hi",
        "+CPIN: READY",
        "AT+CPBS? \"SM\",0,9",
        "ATI3 hello",
        "CSQ: 5,",
        "+CSQ: 5,99",
        "RING\r\n+CLIP: \"0123\",129",
        "NO CARRIER",
        "+CMTI: \"SM\",3",
        "AT+CSCA?\r\r\n+CSCA: \"1\",129\r\n",
    };
    for (const QByteArray& text : texts) {
        const QByteArray received[] = {
            "AT+CMGR=1\r\r\n+CMGR: \"REC READ\",\"+4412\",,\"26/01/15,10:00:00+00\"\r\n" + text +
                "\r\n\r\nOK\r\n",
            "AT+CMGS=\"0123\"\r\r\n> hello\n" + text + "\n\r\n+CMGS: 5\r\n\r\nOK\r\n",
            "AT+CMGW=\"0123\"\r\r\n> " + text + "\r\n+CMS ERROR: 322\r\n",
        };
        for (const QByteArray& reply : received) {
            SCOPED_TRACE(reply.constData());
            main().Text1().clear();
            arrive(reply);
            run(6);
            EXPECT_EQ(main().Text1().text(), QString::fromLatin1(reply)); // nothing acted on it
            EXPECT_EQ(sent(), QByteArray());
            EXPECT_FALSE(main().Timer2.Enabled());
            for (bool loaded :
                 {Forms::instance().isLoaded<Form3>(), Forms::instance().isLoaded<Form5>(),
                  Forms::instance().isLoaded<Form7>(), Forms::instance().isLoaded<Form8>(),
                  Forms::instance().isLoaded<Form11>()})
                EXPECT_FALSE(loaded);
            EXPECT_EQ(services().ended, 0);
            EXPECT_TRUE(services().messages.empty());
        }
    }
}

// A line the dispatcher cannot read is passed over: the keys after it still
// run, in the same run and in later ones while the line stays in the log.
TEST_F(DispatcherTest, UnreadableLinesHideNoLaterCall) {
    const QByteArray unreadable[] = {
        "+CREG: 1", // the standard unsolicited registration, without a comma
        "+CSQ: 99",        "+CSQ: 1e10,99", "+CREG: 0,nan", "+VGR: 300",
        "+CLIP: \"0123\"", // without its type
        "+CCWA: 1,1",      "+SIDET: x,1",
    };
    const QByteArray call = "\r\nRING\r\n\r\n+CLIP: \"0123456789\",129\r\n";
    // The call-control window is loaded first: loading it runs its own
    // queries, which empty the log as any window's exchange does.
    form<Form6>();
    run(10);
    for (const QByteArray& line : unreadable) {
        for (bool stale : {false, true}) {
            SCOPED_TRACE((line + (stale ? " (stale)" : "")).toStdString());
            main().Text1().clear();
            unloadIfLoaded<Form5>();
            main().Timer2.setEnabled(false);
            if (stale) {
                arrive("\r\n" + line + "\r\n");
                run(3);
                arrive(call);
            } else {
                arrive("\r\n" + line + "\r\n" + call);
            }
            run(3);
            ASSERT_TRUE(Forms::instance().isLoaded<Form5>());
            EXPECT_EQ(control<QLabel>(form<Form5>(), "Label1")->text(),
                      "Call Received-  0123456789");
            EXPECT_TRUE(main().Timer2.Enabled());
            EXPECT_TRUE(main().Text1().isEmpty());
        }
    }
}

// A stale line that cannot be read does not keep a later reply of the same
// kind from being shown; values that are not plain digits are not numbers.
TEST_F(DispatcherTest, LaterReadableReplyIsShownPastAnUnreadableOne) {
    struct Case {
        const char* unreadable;
        const char* readable;
        const char* label;
        const char* shown;
    };
    const Case cases[] = {
        {"+CREG: 1", "+CREG: 0,5", "Label5", "Registered/Roaming"},
        {"+CREG: 0,nan", "+CREG: 0,2", "Label5", "Not Registered.Searching Operator"},
        {"+CREG: 0, 1e10", "+CREG: 0,3", "Label5", "Registration Denied"},
        {"+CSQ: 99", "+CSQ: 20,0", "Label4", "20,0"},
        {"+CSQ: 1e10,99", "+CSQ: 7,1", "Label4", "7,1"},
        {"+CSQ: 0x1f,99", "+CSQ: 31,99", "Label4", "31,99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unreadable);
        main().Text1().clear();
        QLabel* label = control<QLabel>(form<Form7>(), c.label);
        label->setText("before");
        arrive(QByteArray("\r\n") + c.unreadable + "\r\n");
        run(3);
        EXPECT_EQ(label->text(), "before"); // not a number: nothing shown
        arrive(QByteArray("\r\n") + c.readable + "\r\n\r\nOK\r\n");
        run(3);
        EXPECT_EQ(label->text(), c.shown);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

// A phonebook file that cannot be read still lets a call be announced with
// its number, and the call window says so instead of opening empty without a
// word. A missing file is created as before.
TEST_F(DispatcherTest, BrokenPhonebookFileStillLetsCallsBeAnnounced) {
    struct Case {
        const char* name;
        std::function<void()> spoil;
        bool readable;
    };
    const QString file = services().path(db::kPhoneBookFile);
    auto changed = [](const char* statement) {
        return [statement] {
            db::Database phonebook = db::OpenDatabase(db::kPhoneBookFile);
            phonebook.Execute(statement);
        };
    };
    const Case cases[] = {
        {"not a database", [&] { writeFile(db::kPhoneBookFile, QByteArray(600, 'x')); }, false},
        {"empty", [&] { writeFile(db::kPhoneBookFile, ""); }, false},
        {"without its entries", changed("DROP TABLE DATA"), false},
        {"without its counts", changed("DROP TABLE Details"), false},
        {"without the names", changed("ALTER TABLE DATA DROP COLUMN Name"), false},
        {"numbers that are no texts", [&] { makeNumbersIntegers(file); }, false},
        {"missing", [&] { QFile::remove(file); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unloadIfLoaded<Form3>();
        unloadIfLoaded<Form5>();
        QFile::remove(file);
        db::createPhoneBookIfMissing(file);
        c.spoil();
        main().Text1().clear();
        sent();
        arrive("\r\nRING\r\n\r\n+CLIP: \"0123456789\",129\r\n");
        run(3);
        EXPECT_EQ(control<QLabel>(form<Form5>(), "Label1")->text(), "Call Received-  0123456789");
        EXPECT_TRUE(main().Timer2.Enabled());
        // The caller lookup loaded the call window; an empty readable copy asks for the SIM's.
        EXPECT_EQ(control<QLabel>(form<Form3>(), "Label3")->text(),
                  c.readable ? "" : "Phone Book File Cannot Be Read");
        EXPECT_EQ(commands(sent()).contains("AT+CPBS?"), c.readable);
        EXPECT_EQ(QFile::exists(file), true);
        main().Timer2.setEnabled(false);
    }
}

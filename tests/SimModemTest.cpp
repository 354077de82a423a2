#include "simulator/SimModem.h"
#include "simulator/commands/Charset.h"
#include "simulator/commands/Pdu.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

using sim::CallStatus;
using sim::DialOutcome;
using sim::SimStatus;

namespace {

// The console reads the log by 1-based positions and windows of n characters.
int at(const QByteArray& log, const char* key) {
    return log.indexOf(key) + 1;
}
QByteArray window(const QByteArray& log, int start, int length) {
    return log.mid(start - 1, std::max(0, length));
}

struct Delivery {
    QByteArray bytes;
    double delay;
};

class SimModemTest : public ::testing::Test {
  protected:
    SimModemTest()
        : modem(
              [this](const QByteArray& bytes, double delay) {
                  output += bytes;
                  deliveries.push_back({bytes, delay});
              },
              [this] { return seconds; }) {}

    // Everything the module sends for one command line (CR added).
    QByteArray command(const QByteArray& line) {
        clear();
        modem.receive(line + "\r");
        return output;
    }
    // What follows the echo.
    QByteArray response(const QByteArray& line) { return command(line).mid(line.size() + 1); }
    QByteArray sent(const QByteArray& bytes) {
        clear();
        modem.receive(bytes);
        return output;
    }
    void clear() {
        output.clear();
        deliveries.clear();
    }
    sim::ModemState& state() { return modem.state(); }
    int callIndicator() {
        return response("AT+CIND?").split(',').value(4).toInt(); // the fifth value
    }

    QByteArray output;
    std::vector<Delivery> deliveries;
    double seconds = 0; // the module's clock, from its start
    sim::SimModem modem;
};

QByteArray info(const QByteArray& text) {
    return "\r\n" + text + "\r\n\r\nOK\r\n";
}
const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";

TEST_F(SimModemTest, EchoesTheLineThenFramesTheReply) {
    EXPECT_EQ(command("AT+CGSN"), "AT+CGSN\r\r\n123456789012345\r\n\r\nOK\r\n");
}

TEST_F(SimModemTest, EchoIsExactlyWhatArrivedEvenInPieces) {
    modem.receive("at+c");
    EXPECT_TRUE(output.isEmpty());
    modem.receive("gsn\r");
    EXPECT_EQ(output, "at+cgsn\r\r\n123456789012345\r\n\r\nOK\r\n");
    EXPECT_EQ(sent("\nAT\r"), "\nAT\r" + kOk); // LF is echoed but not part of the command
    EXPECT_EQ(modem.received(), "at+cgsn\r\nAT\r");
}

TEST_F(SimModemTest, EchoOffWithAte0AndBackWithAte1) {
    EXPECT_EQ(command("ATE0"), "ATE0\r" + kOk); // echoed: echo was on when it arrived
    EXPECT_EQ(command("AT"), kOk);
    EXPECT_EQ(command("ATE1"), kOk);
    EXPECT_EQ(command("AT"), "AT\r" + kOk);
}

TEST_F(SimModemTest, IgnoresLinesWithoutPrefixAndRejectsUnknownCommands) {
    EXPECT_EQ(sent("hello\r\r"), "");
    EXPECT_EQ(sent("xxAT\r"), "xxAT\r" + kOk); // the prefix may follow noise
    for (const char* line : {"AT+XYZ", "ATI9", "AT+CSQ?", "ATE2", "ATE0V1", "AT+CGSN=1"})
        EXPECT_EQ(response(line), kError) << line;
}

TEST_F(SimModemTest, ExtendedErrorsFollowCmee) {
    state().sim.status = SimStatus::Absent;
    const std::pair<const char*, QByteArray> cases[] = {
        {"AT+CMEE=0", kError},
        {"AT+CMEE=1", "\r\n+CME ERROR: 10\r\n"},
        {"AT+CMEE=2", "\r\n+CME ERROR: SIM not inserted\r\n"},
    };
    for (const auto& [setting, expected] : cases) {
        command(setting);
        EXPECT_EQ(response("AT+CPIN?"), expected) << setting;
    }
}

TEST_F(SimModemTest, NumericResultCodesWithAtv0) {
    EXPECT_EQ(command("ATV0"), "ATV0\r0\r");
    EXPECT_EQ(response("AT+CSQ"), "+CSQ: 15,99\r\n0\r");
    EXPECT_EQ(response("AT+XYZ"), "4\r");
}

// The replies to what the console sends while it starts and initialises the module.
TEST_F(SimModemTest, RepliesToTheStartUpCommands) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"AT", kOk},
        {"AT+CGSN", info("123456789012345")},
        {"AT+CPIN?", info("+CPIN: READY")},
        {"AT+CMEE=0", kOk},
        {"AT+CRC=0", kOk},
        {"AT+CLIP=1", kOk},
        {"AT+WIND=0", kOk},
        {"AT+CMGF=1", kOk},
        {"AT+SPEAKER=1", kOk},
        {"ATE1", kOk},
        {"ATI0", info(" GSM SIMULATOR MODEM \r\n MULTIBAND  900E  1800 ")},
        {"AT+CGMM", info(" MULTIBAND  900E  1800 ")},
        {"AT+CGMI", info("GSM SIMULATOR MODEM")},
        {"ATI3", info("SIM100 1.0.0 010124 12:00")},
        {"AT+CCED=2", kOk},
        {"ATS0?", info("000")},
        {"AT+IPR?", info("+IPR: 9600")},
        {"AT+ICF?", info("+ICF: 3,4")},
        {"AT+CSQ", info("+CSQ: 15,99")},
        {"AT+CREG?", info("+CREG: 0,1")},
        {"AT+CIND?", info("+CIND: 5,3,1,0,0,0,0")},
        {"AT+CPBS?", info("+CPBS: \"SM\",0,250")},
        {"AT+CSCA?", info("+CSCA: \"+447700900100\",145")},
        {"AT+CNMI?", info("+CNMI: 0,1,0,0,0")},
        {"AT+ECHO?", info("+ECHO: 0,1,0,3,10,7")},
        {"AT+SIDET?", info("+SIDET: 1,0")},
        {"AT+VGR?", info("+VGR: 64")},
        {"AT+VGT?", info("+VGT: 64")},
        {"AT&V", info("E:1 Q:0 V:1 S0:000 S2:043 S3:013 S4:010 S5:008\r\n"
                      "+CR:0 +CRC:0 +CMEE:0 +CBST:0,0,1\r\n"
                      "+SPEAKER:1 &C:1 &D:2 &S:1 %C:0\r\n"
                      "+IPR:9600 +ICF:3,4 +IFC:2,2")},
        {"AT&W", kOk},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(response(line), expected) << line;
}

struct Cut {
    const char* command;
    const char* key;
    int offset;
    int length;
    const char* field;
};

// The console cuts fields at fixed distances from a key; every cut must land on its field.
TEST_F(SimModemTest, ConsoleCutsFindTheirFields) {
    const Cut cuts[] = {
        {"AT+CGSN", "AT+CGSN", 10, 15, "123456789012345"},
        {"ATS0?", "ATS0?", 8, 3, "000"},
        {"AT+ICF?", "+ICF:", 6, 1, "3"},
        {"AT+ICF?", "+ICF:", 8, 1, "4"},
        {"AT&V", "+ICF:", 5, 1, "3"},
        {"AT&V", "+ICF:", 7, 1, "4"},
        {"AT&V", "IFC:", 4, 1, "2"},
        {"AT&V", "IFC:", 6, 1, "2"},
        {"AT&V", "&C", 3, 1, "1"},
        {"AT&V", "&D", 3, 1, "2"},
        {"AT+CNMI?", "+CNMI:", 13, 1, "0"},
        {"AT+CSQ", "CSQ:", 5, 5, "15,99"},
        {"AT+CREG?", "CREG:", 6, 3, "0,1"},
        {"AT+CIND?", "+CIND:", 7, 13, "5,3,1,0,0,0,0"},
        {"AT+ECHO?", "ECHO:", 6, 12, "0,1,0,3,10,7"},
        {"AT+SIDET?", "SIDET:", 6, 4, " 1,0"}, // the mode is read as a number
        {"AT+VGR?", "VGR:", 5, 2, "64"},
        {"AT+VTD?", "+VTD:", 6, 1, "1"},
        {"AT+CLCK?", "PS", 4, 1, "0"},
        {"AT+CLCK?", "SC", 4, 1, "1"},
        {"AT+CLCK?", "PN", 4, 1, "0"},
        {"AT+CLCK=\"AO\",2", "+CLCK:", 7, 1, "0"},
        {"AT+CCFC=0,2", "+CCFC:", 7, 3, "0,7"},
        {"AT+CCUG?", "+CCUG:", 7, 5, "0,0,0"},
        {"AT+CBST?", "+CBST:", 7, 5, "0,0,1"},
    };
    for (const Cut& c : cuts) {
        const QByteArray log = command(c.command);
        ASSERT_GT(at(log, c.key), 0) << c.command << " " << c.key;
        EXPECT_EQ(window(log, at(log, c.key) + c.offset, c.length), c.field)
            << c.command << " " << c.key;
    }
}

// Modules pad their identity lines with blanks, or send them bare.
TEST_F(SimModemTest, IdentityLinesPaddedOrBare) {
    const std::pair<bool, QByteArray> cases[] = {
        {true, "ATI0\r\r\n GSM SIMULATOR MODEM \r\n MULTIBAND  900E  1800 \r\n\r\nOK\r\n"},
        {false, "ATI0\r\r\nGSM SIMULATOR MODEM\r\nMULTIBAND  900E  1800\r\n\r\nOK\r\n"},
    };
    for (const auto& [padded, bytes] : cases) {
        state().paddedIdentity = padded;
        EXPECT_EQ(command("ATI0"), bytes) << padded;
        EXPECT_EQ(response("AT+CGMM"),
                  padded ? info(" MULTIBAND  900E  1800 ") : info("MULTIBAND  900E  1800"));
    }
    EXPECT_EQ(response("ATI3"), info("SIM100 1.0.0 010124 12:00"));
}

// The console takes the first rate text it finds in the dump, in its own order.
TEST_F(SimModemTest, ProfileDumpNamesOnlyTheRateInUse) {
    const char* consoleOrder[] = {"9600", "115200", "19200", "300",  "57600",
                                  "600",  "1200",   "2400",  "4800", "38400"};
    for (const char* rate : consoleOrder) {
        command(QByteArray("AT+IPR=") + rate);
        const QByteArray dump = command("AT&V");
        const char* found = nullptr;
        for (const char* candidate : consoleOrder)
            if (!found && dump.contains(candidate)) found = candidate;
        EXPECT_STREQ(found, rate);
    }
}

TEST_F(SimModemTest, WrongPinsLeadToPukAndPukSetsNewPin) {
    state().sim.status = SimStatus::PinRequired;
    EXPECT_EQ(response("AT+CPIN?"), info("+CPIN: SIM PIN"));
    for (int left : {2, 1}) {
        EXPECT_EQ(response("AT+CPIN=0000"), kError);
        EXPECT_EQ(state().sim.pinRetries, left);
    }
    EXPECT_EQ(response("AT+CPIN=0000"), kError);
    EXPECT_EQ(response("AT+CPIN?"), info("+CPIN: SIM PUK"));
    EXPECT_EQ(response("AT+CPIN=1234"), kError); // a PIN alone no longer helps
    EXPECT_EQ(response("AT+CPIN=87654321,4321"), kError);
    EXPECT_EQ(state().sim.pukRetries, 9);
    EXPECT_EQ(response("AT+CPIN=12345678,4321"), kOk);
    EXPECT_EQ(response("AT+CPIN?"), info("+CPIN: READY"));
    EXPECT_EQ(state().sim.pin, "4321");
    EXPECT_EQ(state().sim.pinRetries, 3);
}

TEST_F(SimModemTest, RightPinAndQuotedPinAreAccepted) {
    for (const char* line : {"AT+CPIN=1234", "AT+CPIN=\"1234\""}) {
        state().sim.status = SimStatus::PinRequired;
        EXPECT_EQ(response(line), kOk) << line;
        EXPECT_EQ(state().sim.status, SimStatus::Ready);
    }
}

TEST_F(SimModemTest, TenWrongPuksBlockTheSim) {
    state().sim.status = SimStatus::PukRequired;
    for (int i = 0; i < 10; ++i)
        response("AT+CPIN=00000000,1111");
    EXPECT_EQ(state().sim.status, SimStatus::Blocked);
    EXPECT_EQ(response("AT+CPIN?"), kError);
    EXPECT_EQ(response("AT+CPIN=12345678,1111"), kError);
}

TEST_F(SimModemTest, SimCommandsWaitForThePin) {
    state().sim.status = SimStatus::PinRequired;
    command("AT+CMEE=1");
    EXPECT_EQ(response("AT+CPBS?"), "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(response("AT+CMGR=1"), "\r\n+CMS ERROR: 311\r\n");
    EXPECT_EQ(response("AT+CGSN"), info("123456789012345"));
}

class PhonebookTest : public SimModemTest {
  protected:
    PhonebookTest() {
        state().phonebooks["SM"].entries = {{1, {"0123456789", 129, "JOHN"}},
                                            {2, {"+441632960961", 145, "OFFICE"}},
                                            {5, {"0207946000", 129, "ABCDEFGHIJKLMN"}}};
    }
};

TEST_F(PhonebookTest, StatusCountsUsedEntriesAsTheConsoleReadsThem) {
    const QByteArray log = command("AT+CPBS?");
    const QByteArray used = window(log, at(log, "SM") + 4, 4).split(',').value(0);
    const QByteArray t = window(log, log.indexOf(',') + 2, 8);
    EXPECT_EQ(used, "3");
    EXPECT_EQ(t.mid(t.indexOf(',') + 1, 3), "250");
}

TEST_F(PhonebookTest, ReadsRangesOverGapsAndEmptyPlaces) {
    EXPECT_EQ(response("AT+CPBR=1,5"), info("+CPBR: 1,\"0123456789\",129,\"JOHN\"\r\n"
                                            "+CPBR: 2,\"+441632960961\",145,\"OFFICE\"\r\n"
                                            "+CPBR: 5,\"0207946000\",129,\"ABCDEFGHIJKLMN\""));
    EXPECT_EQ(response("AT+CPBR=3"), kOk);
    EXPECT_EQ(response("AT+CPBR=4,3"), kError);
    EXPECT_EQ(response("AT+CPBR=251"), kError);
    EXPECT_EQ(response("AT+CPBR=?"), info("+CPBR: (1-250),20,14"));
}

// The shapes real modules answer in: an empty place read as "not found", the
// fields after the name, extended errors kept whatever "AT+CMEE" says.
TEST_F(PhonebookTest, ReadsInTheShapesOfRealModules) {
    state().shapes.emptySlot = sim::EmptySlot::NotFound;
    state().shapes.trailingEntryFields = true;
    EXPECT_EQ(response("AT+CPBR=3"), kError);
    EXPECT_EQ(response("AT+CPBR=1"), info("+CPBR: 1,\"0123456789\",129,\"JOHN\",0,\"\""));
    EXPECT_EQ(response("AT+CPBR=2,3"), info("+CPBR: 2,\"+441632960961\",145,\"OFFICE\",0,\"\""));
    state().shapes.equipmentErrorsExtended = true;
    EXPECT_EQ(response("AT+CPBR=3"), "\r\n+CME ERROR: 22\r\n");
    EXPECT_EQ(response("AT+CPBF=\"zz\""), "\r\n+CME ERROR: 22\r\n");
}

TEST_F(PhonebookTest, EntryCutsAsTheDownloadDoes) {
    const QByteArray r = command("AT+CPBR=1");
    const QByteArray w = window(r, r.indexOf(',') + 2, 35);
    const QByteArray number = window(w, 2, w.indexOf(',') + 1 - 3);
    const QByteArray rest = window(w, w.indexOf(',') + 1 + 3, w.size() - 16);
    const QByteArray n = window(rest, rest.indexOf(',') + 1 + 2, 14);
    EXPECT_EQ(number, "0123456789");
    EXPECT_EQ(n.left(n.indexOf('"')), "JOHN");
}

TEST_F(PhonebookTest, WritesTheConsolesEntryLineAndErases) {
    EXPECT_EQ(response("AT+CPBW=6,123,,\" ALICE\""), kOk);
    const sim::PhonebookEntry& added = state().phonebooks["SM"].entries.at(6);
    EXPECT_EQ(added.number, "123");
    EXPECT_EQ(added.type, 129);
    EXPECT_EQ(added.name, " ALICE");
    EXPECT_EQ(response("AT+CPBW=,\"+4412\",145,\"BOB\""), kOk); // first free place
    EXPECT_EQ(state().phonebooks["SM"].entries.at(3).name, "BOB");
    EXPECT_EQ(response("AT+CPBW=6"), kOk);
    EXPECT_EQ(state().phonebooks["SM"].entries.count(6), 0u);
    EXPECT_EQ(response("AT+CPBW=7,123,,\"ABCDEFGHIJKLMNO\""), kError); // 15 characters
    EXPECT_EQ(response("AT+CPBW=251,123,,\"X\""), kError);
}

TEST_F(PhonebookTest, StorageSelectionAndSearch) {
    EXPECT_EQ(response("AT+CPBF=\"off\""), info("+CPBF: 2,\"+441632960961\",145,\"OFFICE\""));
    EXPECT_EQ(response("AT+CPBS=\"FD\""), kOk);
    EXPECT_EQ(response("AT+CPBS?"), info("+CPBS: \"FD\",0,10"));
    EXPECT_EQ(response("AT+CPBS=\"XX\""), kError);
}

class MessageTest : public SimModemTest {
  protected:
    MessageTest() { command("AT+CMGF=1"); }
};

TEST_F(MessageTest, SendPromptsAndCtrlZSends) {
    EXPECT_EQ(command("AT+CMGS=0123456789"), "AT+CMGS=0123456789\r\r\n> ");
    EXPECT_EQ(sent("Hi there\x1a"), "Hi there\r\n+CMGS: 1\r\n\r\nOK\r\n");
    ASSERT_EQ(state().sent.size(), 1u);
    EXPECT_EQ(state().sent[0].number, "0123456789");
    EXPECT_EQ(state().sent[0].text, "Hi there");
    command("AT+CMGS=\"+4412\"");
    EXPECT_EQ(sent("a\rb\x1a"), "a\r\n> b\r\n+CMGS: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(state().sent[1].number, "+4412");
    EXPECT_EQ(state().sent[1].text, "a\rb");
}

TEST_F(MessageTest, EscapeCancelsTheMessage) {
    command("AT+CMGS=0123456789");
    EXPECT_EQ(sent("never mind\x1b"
                   "AT\r"),
              "never mind" + kOk + "AT\r" + kOk);
    EXPECT_TRUE(state().sent.empty());
}

// A module of 27.005 ends a failed message command in "+CMS ERROR: n"
// whatever "AT+CMEE" says; a command may be refused whatever it asks; the
// prompt may come late.
TEST_F(MessageTest, RefusalsAndPromptInTheShapesOfRealModules) {
    state().shapes.messageErrorsExtended = true;
    EXPECT_EQ(response("AT+CMGR=99"), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(response("AT+CPBR=999"), kError); // equipment errors still follow +CMEE
    state().shapes.refusals["+CNMI"] = *sim::refusalFromText("+CMS ERROR: 303");
    state().shapes.refusals["+CLCK"] = *sim::refusalFromText("+CME ERROR: 3");
    state().shapes.refusals["D"] = *sim::refusalFromText("ERROR");
    EXPECT_EQ(response("AT+CNMI=0,1,0,1,0"), "\r\n+CMS ERROR: 303\r\n");
    EXPECT_EQ(response("AT+CLCK=\"PS\",2"), kError);
    EXPECT_EQ(response("ATD123;"), kError);
    for (const char* text : {"", "OK", "+CME ERROR:", "+CMS ERROR: x"})
        EXPECT_FALSE(sim::refusalFromText(text)) << text;

    state().shapes.promptDelay = 2;
    command("AT+CMGS=0123456789");
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[0].bytes, "AT+CMGS=0123456789\r");
    EXPECT_EQ(deliveries[1].bytes, "\r\n> ");
    EXPECT_DOUBLE_EQ(deliveries[1].delay - deliveries[0].delay, 2);
}

TEST_F(MessageTest, PduModeAndMissingNumberAreRefused) {
    EXPECT_EQ(response("AT+CMGS="), kError);
    command("AT+CMGF=0");
    EXPECT_EQ(response("AT+CMGS=0123456789"), kError);
}

TEST_F(MessageTest, StoredMessageReadsBackInTheConsolesCut) {
    command("AT+CMGW=0123456789");
    EXPECT_EQ(sent("Hello\x1a"), "Hello\r\n+CMGW: 1\r\n\r\nOK\r\n");
    const QByteArray log = command("AT+CMGR= 1");
    EXPECT_EQ(log.mid(11), "\r\n+CMGR: \"STO UNSENT\",\"0123456789\",\r\nHello\r\n\r\nOK\r\n");
    const int p = at(log, "STO UNSENT"), w = 10, k = at(log, "OK");
    const QByteArray a = window(log, p + w + 2, k - p - w - 2);
    EXPECT_EQ(window(a, 2, a.indexOf('\r') + 1 - 4), "0123456789");
    EXPECT_EQ(window(a, a.indexOf('\r') + 1 + 2, a.size()), "Hello\r\n\r\n");
}

TEST_F(MessageTest, ReceivedMessageIsAnnouncedReadAndMarked) {
    clear();
    const int index = modem.receiveMessage("+441632960962", "Call me", "24/01/15,10:30:00+00");
    EXPECT_EQ(output, "\r\n+CMTI: \"SM\",1\r\n");
    EXPECT_EQ(window(output, at(output, "CMTI") + 11, 2), "1\r");
    EXPECT_EQ(response("AT+CIND?"), info("+CIND: 5,3,1,1,0,0,0"));
    const QByteArray log = command("AT+CMGR=1");
    const QByteArray a =
        window(log, at(log, "REC UNREAD") + 12, at(log, "OK") - at(log, "REC UNREAD") - 12);
    EXPECT_EQ(window(a, 2, a.indexOf(",,") + 1 - 3), "+441632960962");
    EXPECT_EQ(state().messages.at(index).status, "REC READ");
    EXPECT_EQ(response("AT+CMGL=\"ALL\""),
              info("+CMGL: 1,\"REC READ\",\"+441632960962\",,\"24/01/15,10:30:00+00\"\r\nCall me"));
}

TEST_F(MessageTest, IndicationFollowsCnmi) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"AT+CNMI=0,0", ""},
        {"AT+CNMI=0,1", "\r\n+CMTI: \"SM\",4\r\n"},
        {"AT+CNMI=0,2", "\r\n+CMTI: \"SM\",4\r\n"}, // nothing stored to show
    };
    for (const auto& [setting, expected] : cases) {
        command(setting);
        clear();
        modem.newMessage(4);
        EXPECT_EQ(output, expected) << setting;
    }
    state().messages[4] = {"REC UNREAD", "+4412", "24/01/15,10:30:00+00", "Hi"};
    clear();
    modem.newMessage(4);
    EXPECT_EQ(output, "\r\n+CMT: \"+4412\",,\"24/01/15,10:30:00+00\"\r\nHi\r\n");
}

TEST_F(MessageTest, EmptyOutOfRangeAndDeletedSlots) {
    modem.receiveMessage("+4412", "x");
    EXPECT_EQ(response("AT+CMGR=2"), kOk);
    EXPECT_EQ(response("AT+CMGR=21"), kError);
    EXPECT_EQ(response("AT+CMGD=1"), kOk);
    EXPECT_TRUE(state().messages.empty());
    EXPECT_EQ(response("AT+CPMS?"), info("+CPMS: \"SM\",0,20,\"SM\",0,20,\"SM\",0,20"));
}

TEST_F(MessageTest, StatusReportFollowsWhenAskedFor) {
    command("AT+CSMP=33,167,0,0");
    command("AT+CNMI=0,1,0,1,0");
    command("AT+CMGS=0123456789");
    sent("x\x1a");
    ASSERT_EQ(deliveries.size(), 3u); // echo, result, report
    EXPECT_TRUE(deliveries[2].bytes.startsWith("\r\n+CDS: 6,1,\"0123456789\",129,"));
    EXPECT_DOUBLE_EQ(deliveries[2].delay, 0.05 + state().network.deliveryReportSeconds);
}

TEST_F(SimModemTest, IncomingCallRingsWithClipAndEndsWithNoCarrier) {
    command("AT+CLIP=1");
    clear();
    modem.incomingCall("0123456789");
    EXPECT_EQ(output, "\r\nRING\r\n\r\n+CLIP: \"0123456789\",129\r\n");
    const int q = at(output, "+CLIP:");
    EXPECT_EQ(window(output, q + 8, at(output, ",") - q - 9), "0123456789");
    EXPECT_EQ(callIndicator(), 1);
    EXPECT_EQ(response("ATA"), kOk);
    clear();
    modem.callerHangsUp();
    EXPECT_EQ(output, "\r\nNO CARRIER\r\n");
    EXPECT_EQ(callIndicator(), 0);
}

TEST_F(SimModemTest, RingWithoutNumberUnlessShownAndAsked) {
    modem.incomingCall("0123456789");
    EXPECT_EQ(output, "\r\nRING\r\n"); // +CLIP not switched on
    command("AT+CLIP=1");
    clear();
    modem.incomingCall("0123456789", false);
    EXPECT_EQ(output, "\r\nRING\r\n");
    EXPECT_EQ(response("ATH"), kOk);
    EXPECT_EQ(response("ATA"), "\r\nNO CARRIER\r\n");
}

TEST_F(SimModemTest, DialOutcomeFollowsAfterTheCallSetUp) {
    const std::pair<DialOutcome, QByteArray> cases[] = {
        {DialOutcome::Answered, kOk},
        {DialOutcome::Busy, "\r\nBUSY\r\n"},
        {DialOutcome::NoAnswer, "\r\nNO ANSWER\r\n"},
        {DialOutcome::NoCarrier, "\r\nNO CARRIER\r\n"},
    };
    for (const auto& [dialOutcome, result] : cases) {
        state().network.dialOutcome = dialOutcome;
        command("ATD0123456789;");
        ASSERT_EQ(deliveries.size(), 2u);
        EXPECT_EQ(deliveries[0].bytes, "ATD0123456789;\r");
        EXPECT_EQ(deliveries[1].bytes, result);
        EXPECT_DOUBLE_EQ(deliveries[1].delay, 0.05 + state().network.dialSeconds);
        EXPECT_EQ(callIndicator(), int(dialOutcome == DialOutcome::Answered));
        command("ATH");
    }
}

TEST_F(SimModemTest, RedialShowsTheNumberBeforeItsSemicolon) {
    command("ATD0123456789;");
    command("ATH");
    const QByteArray log = command("ATDL");
    EXPECT_EQ(window(log, 8, at(log, ";") - 8), "0123456789");
    EXPECT_EQ(response("AT+VTS=5"), kOk);
    command("ATH");
    EXPECT_EQ(response("AT+VTS=5"), kError); // no call
}

TEST_F(SimModemTest, CallWaitingIsSetQueriedAndAnnounced) {
    EXPECT_EQ(response("AT+CCWA=1,2"), info("+CCWA: 0,7"));
    EXPECT_EQ(response("AT+CCWA=1,1,1"), kOk);
    EXPECT_EQ(response("AT+CCWA=1,2"), info("+CCWA: 1,1"));
    state().call.status = CallStatus::Active;
    clear();
    modem.callWaiting("0987654321");
    EXPECT_EQ(output, "\r\n+CCWA: \"0987654321\",129,1\r\n");
    const int p = at(output, "+CCWA:");
    EXPECT_EQ(window(output, p + 8, at(output, ",") - p - 9), "0987654321");
    command("AT+CCWA=1,0,7");
    EXPECT_EQ(response("AT+CCWA=1,2"), info("+CCWA: 0,7"));
}

TEST_F(SimModemTest, LocksForwardingAndBarring) {
    const std::pair<const char*, QByteArray> steps[] = {
        {"AT+CLCK=\"PS\",1,1234567", kError},
        {"AT+CLCK=\"PS\",1,12345678", kOk},
        {"AT+CLCK=\"PS\",2", info("+CLCK: 1")},
        {"AT+CLCK=\"SC\",0,1234", kOk},
        {"AT+CLCK?", info("+CLCK: (\"PS\",1),(\"SC\",0),(\"FD\",0),(\"PN\",0)")},
        {"AT+CLCK=\"SC\",0,1234", kError},    // already disabled
        {"AT+CPWD=\"SC\",1234,5678", kError}, // a disabled PIN is not changed
        {"AT+CLCK=\"SC\",1,1234", kOk},
        {"AT+CLCK=\"SC\",1,1234", kError}, // already enabled
        {"AT+CPWD=\"SC\",1234,5678", kOk},
        {"AT+CLCK=\"AO\",1,0000,1", kOk},
        {"AT+CLCK=\"AO\",2", info("+CLCK: 1,1")},
        {"AT+CCFC=1,3,\"+4412\",,1", kOk},
        {"AT+CCFC=1,2", info("+CCFC: 1,1,\"+4412\",145")},
        {"AT+CCFC=1,4", kOk},
        {"AT+CCFC=1,2", info("+CCFC: 0,7")},
        {"AT+CCFC=6,2", kError},
        {"AT+CCFC=0,3,\"   \",,7", kError}, // no number to forward to
        {"AT+CCFC=0,3,\"12;&F\",,7", kError},
        {"AT+CCFC=0,3,\"*#21#\",,7", kOk},
    };
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
    EXPECT_EQ(state().sim.pin, "5678");
}

TEST_F(SimModemTest, SimpleParametersShowSetAndCheckTheirValues) {
    const std::pair<const char*, QByteArray> steps[] = {
        {"AT+VGR=100", kOk},
        {"AT+VGR?", info("+VGR: 100")},
        {"AT+VGR=256", kError},
        {"AT+VGR=?", info("+VGR: (0-255)")},
        {"AT+IPR=14400", kError},
        {"AT+ICF=6", kOk},
        {"AT+ICF?", info("+ICF: 6,4")}, // parity kept
        {"AT+ICF=2", kError},           // a parity bit needs a parity
        {"AT+CNMI=0,1,0,0,0,0", kError},
        {"AT+ECHO=1,3,30,8000,256", kOk},
        {"AT+ECHO?", info("+ECHO: 1,3,30,8000,256")},
        {"AT+STSF=1", kOk},
        {"AT+STSF?", info("+STSF: 1,\"5FFFFFFF7F\",3,0")},
        {"AT+CRMP= 3,7,0,10", kOk},
        {"AT%C2", kOk},
        {"AT%C?", info("%C: 2")},
        {"AT\\N3", kError},
        {"AT&C0", kOk},
        {"ATS0=2", kOk},
        {"ATS0?", info("002")},
        {"ATS0=256", kError},
        {"ATS99?", kError},
        {"AT+CGDCONT=2,\"IP\",\"A\"", kOk},
        {"AT+CGDCONT?", info("+CGDCONT: 1,\"IP\",\"internet\",,0,0\r\n"
                             "+CGDCONT: 2,\"IP\",\"A\",,0,0")},
        {"AT+WIOR=3", info("+WIOR: 0")},
    };
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
    EXPECT_TRUE(command("AT&V").contains("&C:0"));
}

TEST_F(SimModemTest, VendorFeaturesAnswerAndCheckTheirValues) {
    state().inputPins[5] = 1;
    const std::pair<const char*, QByteArray> steps[] = {
        {"AT+CCED=0,1", info("+CCED: 001,01,00C3,1A2B,37,705,37,,,0,,,0")},
        {"AT+CCED=1,4", kOk},
        {"AT+CCED=3,1", kError},
        {"AT+WIND=16", kOk},
        {"AT+WIND?", info("+WIND: 16")},
        {"AT+WIND=512", kError},
        {"AT+CPHS=2,1", info("+CPHS: 1,0")},
        {"AT+CPHS=1,1", kOk},
        {"AT+CPHS=2,1", info("+CPHS: 1,1")},
        {"AT+CPHS=,1", kError},
        {"AT+CPHS=1,8", kError},
        {"AT+WIOR=5", info("+WIOR: 1")},
        {"AT+WIOR=", kError},
        {"AT+WIOR=8", kError},
        {"AT+STSF=2,\"5FFFFFFF7F\"", kOk},
        {"AT+STSF?", info("+STSF: 2,\"5FFFFFFF7F\",3,0")},
        {"AT+STSF=3", kError},
        {"AT+CGDCONT=3,\"PPP\",\"VIPNET\"", kOk},
        {"AT+CGDCONT=5,\"IP\",\"A\"", kError},
        {"AT+CGDCONT=2,\"X25\",\"A\"", kError},
        {"AT+CGDCONT=1", kOk}, // undefines the context
        {"AT+CGDCONT?", info("+CGDCONT: 3,\"PPP\",\"VIPNET\",,0,0")},
    };
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
}

TEST_F(SimModemTest, ProfileIsStoredRestoredAndReset) {
    const std::pair<const char*, QByteArray> steps[] = {
        {"AT+VGR=10", kOk},
        {"AT&W", kOk},
        {"AT+VGR=20", kOk},
        {"ATZ", kOk},
        {"AT+VGR?", info("+VGR: 10")},
        {"AT&F", kOk},
        {"AT+VGR?", info("+VGR: 64")},
        {"ATZ", kOk},
        {"AT+VGR?", info("+VGR: 10")},
    };
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
}

TEST_F(SimModemTest, PowerOffAnswersThenFallsSilent) {
    EXPECT_EQ(response("AT+CPOF"), kOk);
    EXPECT_EQ(command("AT"), "");
}

TEST_F(SimModemTest, OverrideReplacesTheResponseWithoutRunningTheCommand) {
    modem.overrideReply("AT+CPIN=1234", "\r\nERROR\r\n");
    state().sim.status = SimStatus::PinRequired;
    EXPECT_EQ(command("AT+CPIN=1234"), "AT+CPIN=1234\r\r\nERROR\r\n");
    EXPECT_EQ(state().sim.status, SimStatus::PinRequired);
    modem.clearOverrides();
    EXPECT_EQ(response("AT+CPIN=1234"), kOk);
}

TEST_F(SimModemTest, DroppedRepliesKeepOnlyTheEcho) {
    modem.dropReplies("AT+CMGF=1");
    EXPECT_EQ(command("AT+CMGF=1"), "AT+CMGF=1\r");
    EXPECT_EQ(state().settings.cmgf, 1); // it did run
    command("ATE0");
    EXPECT_EQ(command("AT+CMGF=1"), "");
    modem.dropReplies("AT+CMGF=1", false);
    EXPECT_EQ(command("AT+CMGF=1"), kOk);
}

TEST_F(SimModemTest, SplitRepliesComeInTimedPieces) {
    modem.splitReplies(3, 0.1);
    const QByteArray whole = command("AT+CGSN");
    EXPECT_EQ(whole, "AT+CGSN\r\r\n123456789012345\r\n\r\nOK\r\n");
    ASSERT_EQ(deliveries.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(deliveries[i].bytes.isEmpty());
        EXPECT_DOUBLE_EQ(deliveries[i].delay, 0.05 + 0.1 * i);
    }
    modem.setLatency(0.2);
    modem.splitReplies(1, 0);
    command("AT");
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_DOUBLE_EQ(deliveries[0].delay, 0.2);
}

TEST_F(SimModemTest, MegabyteOfOutputIsQuick) {
    QByteArray lines;
    for (int i = 0; i < 1000; ++i)
        lines += "AT+CGSN\rAT+CIND?\r";
    QElapsedTimer timer;
    timer.start();
    qsizetype total = 0;
    while (total < 1024 * 1024) {
        clear();
        modem.receive(lines);
        total += output.size();
    }
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(output.endsWith("AT+CIND?\r" + info("+CIND: 5,3,1,0,0,0,0")));
}

// --- shapes of the SIM's answers

// SIMCom's modules say, unasked, that the SIM is ready once the PIN (or the
// PUK and a new PIN) is right, and later that calls and messages are.
TEST_F(SimModemTest, RightPinIsFollowedUnaskedByReadyWhereTheShapeSaysSo) {
    struct Case {
        SimStatus status;
        const char* line;
        bool unasked;
        std::vector<QByteArray> bytes;
    };
    const Case cases[] = {
        {SimStatus::PinRequired, "AT+CPIN=1234", false, {"AT+CPIN=1234\r\r\nOK\r\n"}},
        {SimStatus::PinRequired,
         "AT+CPIN=1234",
         true,
         {"AT+CPIN=1234\r\r\nOK\r\n", "\r\n+CPIN: READY\r\n"}},
        {SimStatus::PukRequired,
         "AT+CPIN=12345678,4321",
         true,
         {"AT+CPIN=12345678,4321\r\r\nOK\r\n", "\r\n+CPIN: READY\r\n"}},
        {SimStatus::PinRequired, "AT+CPIN=0000", true, {"AT+CPIN=0000\r\r\nERROR\r\n"}},
    };
    for (const Case& c : cases) {
        state().sim = sim::SimCard();
        state().sim.status = c.status;
        state().shapes.unaskedReadyAfterPin = c.unasked;
        command(c.line);
        std::vector<QByteArray> bytes;
        for (const Delivery& d : deliveries) {
            bytes.push_back(d.bytes);
            EXPECT_DOUBLE_EQ(d.delay, 0.05) << c.line;
        }
        EXPECT_EQ(bytes, c.bytes) << c.line << " " << c.unasked;
    }

    state().sim.status = SimStatus::PinRequired;
    state().shapes.smsReadyAfterPinSeconds = 3;
    command("AT+CPIN=1234");
    ASSERT_EQ(deliveries.size(), 3u);
    EXPECT_EQ(deliveries[2].bytes, "\r\nCall Ready\r\n\r\nSMS Ready\r\n");
    EXPECT_DOUBLE_EQ(deliveries[2].delay, 0.05 + 3);
}

// An absent SIM told in words; a SIM the module is still reading after it
// started, told in words or as "SIM busy", after which it is as it was.
TEST_F(SimModemTest, AbsentAndNotReadySimInTheShapesOfRealModules) {
    state().sim.status = SimStatus::Absent;
    EXPECT_EQ(response("AT+CPIN?"), kError);
    state().shapes.absentSimInWords = true;
    EXPECT_EQ(response("AT+CPIN?"), info("+CPIN: NOT INSERTED"));
    state().shapes.simNotReadySeconds = 5; // an absent SIM is known at once
    EXPECT_EQ(response("AT+CPIN?"), info("+CPIN: NOT INSERTED"));

    struct Case {
        sim::SimNotReady shape;
        const char* cmee;
        QByteArray whileRead;
    };
    const Case cases[] = {
        {sim::SimNotReady::InWords, "AT+CMEE=0", info("+CPIN: NOT READY")},
        {sim::SimNotReady::Busy, "AT+CMEE=0", kError},
        {sim::SimNotReady::Busy, "AT+CMEE=1", "\r\n+CME ERROR: 14\r\n"},
        {sim::SimNotReady::Busy, "AT+CMEE=2", "\r\n+CME ERROR: SIM busy\r\n"},
    };
    for (const Case& c : cases) {
        state().sim.status = SimStatus::PinRequired;
        state().shapes.simNotReady = c.shape;
        modem.restart();
        command(c.cmee);
        const double start = seconds;
        seconds = start + 4.9;
        EXPECT_EQ(response("AT+CPIN?"), c.whileRead) << c.cmee;
        seconds = start + 5;
        EXPECT_EQ(response("AT+CPIN?"), info("+CPIN: SIM PIN")) << c.cmee;
    }

    modem.restart();
    const double start = seconds;
    command("AT+CMEE=1");
    EXPECT_EQ(response("AT+CPIN=1234"), "\r\n+CME ERROR: 14\r\n");
    EXPECT_EQ(response("AT+CPBR=1"), "\r\n+CME ERROR: 14\r\n");
    EXPECT_EQ(response("AT+CMGR=1"), "\r\n+CMS ERROR: 314\r\n");
    EXPECT_EQ(response("AT+CGSN"), info("123456789012345"));
    seconds = start + 6;
    EXPECT_EQ(response("AT+CPIN=1234"), kOk);
    state().shapes.simNotReady = sim::SimNotReady::InWords;
    EXPECT_EQ(response("AT+CFUN=1,1"), kOk); // a reset reads the SIM again
    EXPECT_EQ(response("AT+CPIN?"), info("+CPIN: NOT READY"));
}

// --- shapes of calls, S-registers, indicators and registration

TEST_F(SimModemTest, VoiceDialIsTakenAtOnceWhereTheShapeSaysSo) {
    state().shapes.voiceDialOkAtOnce = true;
    const std::pair<DialOutcome, QByteArray> cases[] = {
        {DialOutcome::Answered, ""},
        {DialOutcome::Busy, "\r\nBUSY\r\n"},
        {DialOutcome::NoAnswer, "\r\nNO ANSWER\r\n"},
        {DialOutcome::NoCarrier, "\r\nNO CARRIER\r\n"},
    };
    for (const auto& [dialOutcome, later] : cases) {
        state().network.dialOutcome = dialOutcome;
        command("ATD0123456789;");
        ASSERT_EQ(deliveries.size(), later.isEmpty() ? 1u : 2u);
        EXPECT_EQ(deliveries[0].bytes, "ATD0123456789;\r" + kOk);
        if (!later.isEmpty()) {
            EXPECT_EQ(deliveries[1].bytes, later);
            EXPECT_DOUBLE_EQ(deliveries[1].delay, 0.05 + state().network.dialSeconds);
        }
        command("ATH");
    }
    command("ATD0123456789"); // a data call still waits for its outcome
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[0].bytes, "ATD0123456789\r");
    EXPECT_EQ(deliveries[1].bytes, "\r\nNO CARRIER\r\n");
}

TEST_F(SimModemTest, RegistersReadPaddedOrBare) {
    const std::pair<const char*, QByteArray> steps[] = {
        {"ATS0?", info("0")}, {"ATS0=2", kOk},        {"ATS0?", info("2")},
        {"ATS7=120", kOk},    {"ATS7?", info("120")}, {"ATS99?", kError},
    };
    state().shapes.unpaddedRegisters = true;
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
    EXPECT_TRUE(command("AT&V").contains("S0:002")); // the profile dump keeps its own layout
}

// Each maker's order of the indicators, their list and their values; the
// call and its set-up follow the call.
TEST_F(SimModemTest, IndicatorsInEachMakersOrderFollowTheCall) {
    struct Case {
        sim::IndicatorOrder order;
        const char* name;
        QByteArray list;
        QByteArray idle, ringing, active;
    };
    const Case cases[] = {
        {sim::IndicatorOrder::Wavecom, "wavecom",
         "(\"battchg\",(0-5)),(\"signal\",(0-5)),(\"service\",(0-1)),(\"message\",(0-1)),"
         "(\"call\",(0-1)),(\"roam\",(0-1)),(\"smsfull\",(0-1))",
         "5,3,1,0,0,0,0", "5,3,1,0,1,0,0", "5,3,1,0,1,0,0"},
        {sim::IndicatorOrder::Ublox, "ublox",
         "(\"battchg\",(0-5)),(\"signal\",(0-5)),(\"service\",(0,1)),(\"sounder\",(0,1)),"
         "(\"message\",(0,1)),(\"call\",(0,1)),(\"roam\",(0,1)),(\"smsfull\",(0,1)),"
         "(\"gprs\",(0-2)),(\"callsetup\",(0-3)),(\"callheld\",(0,1)),(\"simind\",(0-2))",
         "5,3,1,0,0,0,0,0,0,0,0,1", "5,3,1,1,0,0,0,0,0,1,0,1", "5,3,1,0,0,1,0,0,0,0,0,1"},
        {sim::IndicatorOrder::Telit, "telit",
         "((\"battchg\",(0-5,99)),(\"signal\",(0-7,99)),(\"service\",(0-1)),(\"sounder\",(0-1)),"
         "(\"message\",(0-1)),(\"call\",(0-1)),(\"roam\",(0-1)),(\"smsfull\",(0-1)),"
         "(\"rssi\",(0-5,99)))",
         "5,99,1,0,0,0,0,0,3", "5,99,1,1,0,0,0,0,3", "5,99,1,0,0,1,0,0,3"},
        {sim::IndicatorOrder::Huawei, "huawei",
         "(\"battchg\",(0-5)),(\"signal\",(0-7,99)),(\"service\",(0-1)),(\"sounder\",(0-1)),"
         "(\"message\",(0-1)),(\"call\",(0-1)),(\"roam\",(0-1)),(\"smsfull\",(0-1)),"
         "(\"rssi\",(0-5,99))",
         "5,99,1,0,0,0,0,0,3", "5,99,1,1,0,0,0,0,3", "5,99,1,0,0,1,0,0,3"},
        {sim::IndicatorOrder::Motorola, "motorola",
         "(\"Voice Mail\",(0,1)),(\"service\",(0,1)),(\"call\",(0,1)),(\"Roam\",(0-2)),"
         "(\"signal\",(0-5)),(\"callsetup\",(0-3)),(\"smsfull\",(0,1))",
         "0,1,0,0,3,0,0", "0,1,0,0,3,1,0", "0,1,1,0,3,0,0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sim::indicatorOrderFromName(c.name), c.order) << c.name;
        state().shapes.indicatorOrder = c.order;
        EXPECT_EQ(response("AT+CIND=?"), info("+CIND: " + c.list)) << c.name;
        EXPECT_EQ(response("AT+CIND?"), info("+CIND: " + c.idle)) << c.name;
        modem.incomingCall("0123456789");
        EXPECT_EQ(response("AT+CIND?"), info("+CIND: " + c.ringing)) << c.name;
        command("ATA");
        EXPECT_EQ(response("AT+CIND?"), info("+CIND: " + c.active)) << c.name;
        command("ATH");
        EXPECT_EQ(response("AT+CIND?"), info("+CIND: " + c.idle)) << c.name;
    }
    EXPECT_FALSE(sim::indicatorOrderFromName("nokia"));
}

// The location area and the cell: after "AT+CREG=2", or always; quoted or in
// bare hex; with the access technology or without.
TEST_F(SimModemTest, RegistrationCarriesTheLocationInTheShapesOfRealModules) {
    EXPECT_EQ(response("AT+CREG=2"), kOk);
    EXPECT_EQ(response("AT+CREG?"), info("+CREG: 2,1,\"00C3\",\"1A2B\""));
    clear();
    modem.setRegistration(5);
    EXPECT_EQ(output, "\r\n+CREG: 5,\"00C3\",\"1A2B\"\r\n");
    EXPECT_EQ(response("AT+CREG=3"), kError);

    struct Case {
        const char* setting;
        sim::CellLocation location;
        bool unquoted;
        int act;
        const char* lac;
        const char* cell;
        QByteArray reply;
    };
    const Case cases[] = {
        {"AT+CREG=0", sim::CellLocation::WhenAsked, false, -1, "5E25", "605F", "+CREG: 0,1"},
        {"AT+CREG=0", sim::CellLocation::Always, false, -1, "5E25", "605F",
         "+CREG: 0,1,\"5E25\",\"605F\""},
        {"AT+CREG=0", sim::CellLocation::Always, false, 2, "5E25", "605F",
         "+CREG: 0,1,\"5E25\",\"605F\",2"},
        {"AT+CREG=2", sim::CellLocation::WhenAsked, true, -1, "4CA", "81DE445",
         "+CREG: 2,1,4CA,81DE445"},
        {"AT+CREG=2", sim::CellLocation::WhenAsked, false, 7, "8B37", "0A265185",
         "+CREG: 2,1,\"8B37\",\"0A265185\",7"},
        {"AT+CREG=1", sim::CellLocation::WhenAsked, false, 7, "8B37", "0A265185", "+CREG: 1,1"},
    };
    for (const Case& c : cases) {
        state().network.registration = 1;
        state().network.lac = c.lac;
        state().network.cellId = c.cell;
        state().shapes.cellLocation = c.location;
        state().shapes.unquotedLocation = c.unquoted;
        state().shapes.accessTechnology = c.act;
        command(c.setting);
        EXPECT_EQ(response("AT+CREG?"), info(c.reply)) << c.reply.constData();
    }
    state().network.registration = 0; // not registered: no location
    EXPECT_EQ(response("AT+CREG?"), info("+CREG: 1,0"));
}

// --- shapes of phonebook entries and character sets

TEST_F(PhonebookTest, EntriesCarryTheFieldsOfEachShape) {
    sim::PhonebookEntry& john = state().phonebooks["SM"].entries.at(1);
    john.group = "FRIENDS";
    john.secondNumber = "+441632960000";
    john.email = "john@example.org";
    john.date = "08/07/04";
    john.time = "17:24:55";
    const std::pair<sim::EntryFields, QByteArray> cases[] = {
        {sim::EntryFields::None, ""},
        {sim::EntryFields::HiddenGroup, ",0,\"FRIENDS\""},
        {sim::EntryFields::Hidden, ",0"},
        {sim::EntryFields::Empty, ",,,,,,,"},
        {sim::EntryFields::All, ",0,\"FRIENDS\",\"+441632960000\",145,\"\",\"john@example.org\""},
        {sim::EntryFields::Dates, ",\"08/07/04\",\"17:24:55\""},
    };
    for (const auto& [fields, after] : cases) {
        state().shapes.entryFields = fields;
        EXPECT_EQ(response("AT+CPBR=1"), info("+CPBR: 1,\"0123456789\",129,\"JOHN\"" + after))
            << after.constData();
    }
    state().shapes.entryFields = sim::EntryFields::All;
    EXPECT_EQ(response("AT+CPBR=2"), info("+CPBR: 2,\"+441632960961\",145,\"OFFICE\",0,\"\",\"\",,"
                                          "\"\",\"\""));
    const std::pair<const char*, std::optional<sim::EntryFields>> names[] = {
        {"none", sim::EntryFields::None},     {"hidden-group", sim::EntryFields::HiddenGroup},
        {"hidden", sim::EntryFields::Hidden}, {"empty", sim::EntryFields::Empty},
        {"all", sim::EntryFields::All},       {"dates", sim::EntryFields::Dates},
        {"trailing", std::nullopt},
    };
    for (const auto& [name, fields] : names)
        EXPECT_EQ(sim::entryFieldsFromName(name), fields) << name;
}

// Names go out and come in in the character set of "AT+CSCS", quoted, or in
// bare hex where the module writes them so.
TEST_F(PhonebookTest, NamesFollowTheCharacterSet) {
    const std::pair<const char*, QByteArray> steps[] = {
        {"AT+CSCS?", info("+CSCS: \"IRA\"")},
        {"AT+CSCS=?", info("+CSCS: (\"GSM\",\"IRA\",\"UCS2\",\"HEX\")")},
        {"AT+CSCS=\"UTF-8\"", kError},
        {"AT+CSCS=\"HEX\"", kOk},
        {"AT+CSCS?", info("+CSCS: \"HEX\"")},
        {"AT+CPBR=1", info("+CPBR: 1,\"0123456789\",129,\"4A4F484E\"")},
        {"AT+CSCS=\"UCS2\"", kOk},
        {"AT+CPBR=2", info("+CPBR: 2,\"+441632960961\",145,\"004F00460046004900430045\"")},
        {"AT+CPBW=3,\"555\",129,\"0041004C0049004300450040\"", kOk},
        {"AT+CPBW=6,\"555\",129,\"ALICE\"", kError}, // not UCS2
        {"AT+CPBF=\"004F0046\"",
         info("+CPBF: 2,\"+441632960961\",145,\"004F00460046004900430045\"")},
        {"AT+CSCS=\"GSM\"", kOk},
        {"AT+CPBR=3", info(QByteArray("+CPBR: 3,\"555\",129,\"ALICE\0\"", 27))},
    };
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
    EXPECT_EQ(state().phonebooks["SM"].entries.at(3).name, "ALICE@");

    state().shapes.unquotedHexNames = true;
    command("AT+CSCS=\"HEX\"");
    EXPECT_EQ(response("AT+CPBR=1"), info("+CPBR: 1,\"0123456789\",129,4A4F484E"));
    command("AT+CSCS=\"UCS2\"");
    EXPECT_EQ(response("AT+CPBR=1"), info("+CPBR: 1,\"0123456789\",129,004A004F0048004E"));
    command("AT+CSCS=\"IRA\""); // only hex goes without quotes
    EXPECT_EQ(response("AT+CPBR=1"), info("+CPBR: 1,\"0123456789\",129,\"JOHN\""));
}

TEST(GsmAlphabetTest, LatinTextsGoBothWays) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"Hello", "Hello"},
        {"a@b$c_d", QByteArray("a\0b\2c\x11"
                               "d",
                               7)},
        {"[x]", "\x1B\x3Cx\x1B\x3E"},
        {"\xE9t\xE9", "\x05t\x05"}, // été
        {"`", "?"},
    };
    for (const auto& [latin1, septets] : cases) {
        EXPECT_EQ(sim::commands::toGsmAlphabet(latin1), septets) << latin1.constData();
        if (septets != "?") {
            EXPECT_EQ(sim::commands::fromGsmAlphabet(septets), latin1);
        }
    }
}

// --- 27.007 and 27.005 commands a client asks at its first steps

TEST_F(SimModemTest, FunctionalityIsReadSetAndReset) {
    const std::pair<const char*, QByteArray> steps[] = {
        {"AT+CFUN?", info("+CFUN: 1")},
        {"AT+CFUN=?", info("+CFUN: (0,1,4),(0-1)")},
        {"AT+CFUN=4", kOk},
        {"AT+CFUN?", info("+CFUN: 4")},
        {"AT+CFUN=2", kError},
        {"AT+CFUN=1,2", kError},
        {"AT+CFUN=1", kOk},
        {"AT+CFUN?", info("+CFUN: 1")},
        {"ATE0", kOk},
    };
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
    EXPECT_EQ(command("AT+CFUN=1,1"), kOk); // restarts on its stored profile
    EXPECT_EQ(command("AT"), "AT\r" + kOk);
}

class PduTest : public SimModemTest {
  protected:
    PduTest() {
        state().serviceCentre = "+31624000000";
        state().messages[1] = {"REC UNREAD", "+31641600986", "02/08/26,19:37:41+08",
                               "How are you?"};
        state().messages[3] = {"STO UNSENT", "0123456789", {}, "Hello"};
        command("AT+CMGF=0");
    }
};

// A received message as an SMS-DELIVER (the example of the well-known PDU
// tutorial at dreamfabric.com/sms, "How are you?" from +31641600986, its zone
// of +8 quarters written in semi-octets as 23.040 has it, "80"), a stored one
// as an SMS-SUBMIT, each behind the service centre.
const QByteArray kDeliverPdu =
    "07911326040000F0040B911346610089F60000208062917314800CC8F71D14969741F977FD07";
const QByteArray kSubmitPdu = "07911326040000F011000A8110325476980000A705C8329BFD06";

TEST_F(PduTest, ListsAndReadsMessagesAsPdus) {
    EXPECT_EQ(response("AT+CMGL=4"),
              info("+CMGL: 1,0,,30\r\n" + kDeliverPdu + "\r\n+CMGL: 3,2,,18\r\n" + kSubmitPdu));
    EXPECT_EQ(state().messages.at(1).status, "REC READ");
    EXPECT_EQ(response("AT+CMGL=1"), info("+CMGL: 1,1,,30\r\n" + kDeliverPdu));
    EXPECT_EQ(response("AT+CMGL"), kOk);            // nothing unread now
    EXPECT_EQ(response("AT+CMGL=\"ALL\""), kError); // PDU mode lists by number
    EXPECT_EQ(response("AT+CMGL=5"), kError);
    EXPECT_EQ(response("AT+CMGL=?"), info("+CMGL: (0-4)"));
    EXPECT_EQ(response("AT+CMGR=3"), info("+CMGR: 2,,18\r\n" + kSubmitPdu));
    EXPECT_EQ(response("AT+CMGR=2"), kOk);
    command("AT+CMGF=1");
    EXPECT_EQ(response("AT+CMGL=4"), kError); // text mode lists by name
    EXPECT_EQ(response("AT+CMGR=3"), info("+CMGR: \"STO UNSENT\",\"0123456789\",\r\nHello"));
}

TEST_F(PduTest, ServiceCentreAndTimeZoneAsThePduWritesThem) {
    state().messages[1].timestamp = "24/01/15,10:30:00-04"; // one hour west
    state().serviceCentre = "";
    EXPECT_EQ(response("AT+CMGR=1"), info("+CMGR: 0,,30\r\n00040B911346610089F6000042105101030048"
                                          "0CC8F71D14969741F977FD07"));
    EXPECT_EQ(sim::commands::packedSeptets("hellohello").toHex().toUpper(), "E8329BFD4697D9EC37");
}

TEST_F(SimModemTest, MessageStorageAnswersAsTheWavecomDoes) {
    command("AT+CMGF=1");
    modem.receiveMessage("+4412", "x", "24/01/15,10:30:00+00");
    const std::pair<const char*, QByteArray> steps[] = {
        {"AT+CPMS=?", info("+CPMS: ((\"SM\"),(\"SM\"),(\"SM\"))")},
        {"AT+CPMS?", info("+CPMS: \"SM\",1,20,\"SM\",1,20,\"SM\",1,20")},
        {"AT+CPMS=\"SM\",\"SM\"", info("+CPMS: 1,20,1,20,1,20")},
        {"AT+CPMS=\"ME\"", kError},
        {"AT+CPBS=?", info("+CPBS: (\"FD\",\"LD\",\"MC\",\"ON\",\"RC\",\"SM\")")},
        {"AT+CPBS=\"LD\"", kOk},
        {"AT+CPBS?", info("+CPBS: \"LD\",0,10")},
        {"AT+CPBR=?", info("+CPBR: (1-10),20,14")},
        {"AT+CIMI", info("001010123456789")},
        {"AT+CGMR", info("SIM100 1.0.0 010124 12:00")},
    };
    for (const auto& [line, expected] : steps)
        EXPECT_EQ(response(line), expected) << line;
}

// --- a slow module, a silent one

// A slow module echoes at once and answers later: its information text and
// result, a prompt, the result of a message typed after it, the outcome of a dial.
TEST_F(SimModemTest, ReplyDelayHoldsEverythingButTheEcho) {
    state().shapes.replyDelaySeconds = 2;
    command("AT+CGSN");
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[0].bytes, "AT+CGSN\r");
    EXPECT_DOUBLE_EQ(deliveries[0].delay, 0.05);
    EXPECT_EQ(deliveries[1].bytes, "\r\n123456789012345\r\n\r\nOK\r\n");
    EXPECT_DOUBLE_EQ(deliveries[1].delay, 2.05);

    command("AT+CMGF=1");
    state().shapes.promptDelay = 1;
    command("AT+CMGS=123");
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[1].bytes, "\r\n> ");
    EXPECT_DOUBLE_EQ(deliveries[1].delay, 3.05);
    sent("Hi\x1a");
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[0].bytes, "Hi");
    EXPECT_DOUBLE_EQ(deliveries[0].delay, 0.05);
    EXPECT_EQ(deliveries[1].bytes, "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    EXPECT_DOUBLE_EQ(deliveries[1].delay, 2.05);

    command("ATD123;");
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[1].bytes, kOk);
    EXPECT_DOUBLE_EQ(deliveries[1].delay, 2.05 + state().network.dialSeconds);
}

TEST(SilenceTest, ReadFromTheToolsWords) {
    struct Case {
        const char* text;
        bool valid;
        sim::Silence silence;
    };
    const Case cases[] = {
        {"now", true, {{}, 0}},
        {"after 3", true, {{}, 3}},
        {"after 2 AT+CPBR=", true, {"AT+CPBR=", 2}},
        {"at AT+CMGS", true, {"AT+CMGS", 1, false}},
        {"within AT+CPBR= 1", true, {"AT+CPBR=", 1, true, 1}},
        {"  within   AT+CPBR=  0 ", true, {"AT+CPBR=", 1, true, 0}},
        {"after 0", false, {}},
        {"after x", false, {}},
        {"at", false, {}},
        {"within AT+CPBR=", false, {}},
        {"soon", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        const auto silence = sim::silenceFromText(c.text);
        ASSERT_EQ(silence.has_value(), c.valid) << c.text;
        if (!c.valid) continue;
        EXPECT_EQ(silence->command, c.silence.command) << c.text;
        EXPECT_EQ(silence->occurrence, c.silence.occurrence) << c.text;
        EXPECT_EQ(silence->echoed, c.silence.echoed) << c.text;
        EXPECT_EQ(silence->lines, c.silence.lines) << c.text;
    }
}

// Where the module falls silent, what it still sends, and that it says
// nothing more: not the rest of an answer, no unsolicited code, no echo.
TEST_F(PhonebookTest, FallsSilentWhereItIsTold) {
    struct Case {
        const char* when;
        std::vector<const char*> lines;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"now", {"AT"}, ""},
        {"after 2", {"AT", "AT+CGSN", "AT"}, "AT\r" + kOk + "AT+CGSN\r" + info("123456789012345")},
        {"after 1 AT+CPBR=",
         {"AT+CPBS?", "AT+CPBR=1", "AT"},
         "AT+CPBS?\r" + info("+CPBS: \"SM\",3,250") + "AT+CPBR=1\r" +
             info("+CPBR: 1,\"0123456789\",129,\"JOHN\"")},
        {"at AT+CPBR=", {"AT", "AT+CPBR=1,5"}, "AT\r" + kOk},
        {"within AT+CPBR= 1",
         {"AT+CPBR=1,5", "AT"},
         "AT+CPBR=1,5\r\r\n+CPBR: 1,\"0123456789\",129,\"JOHN\"\r\n"},
        {"within AT+CPBR= 0", {"AT+CPBR=1,5"}, "AT+CPBR=1,5\r"},
        {"after 1 AT+CMGS",
         {"AT+CMGF=1", "AT+CMGS=123", "Hi\x1a", "AT"},
         "AT+CMGF=1\r" + kOk + "AT+CMGS=123\r\r\n> "},
    };
    for (const Case& c : cases) {
        modem.restart();
        double untilSent = -1;
        modem.onSilence([&untilSent](double delay) { untilSent = delay; });
        clear();
        modem.fallSilent(*sim::silenceFromText(c.when));
        for (const char* line : c.lines)
            modem.receive(QByteArray(line) + (QByteArray(line).endsWith('\x1a') ? "" : "\r"));
        modem.incomingCall("0123456789");
        modem.unsolicited("\r\n+CMTI: \"SM\",1\r\n");
        EXPECT_EQ(output, c.bytes) << c.when;
        EXPECT_TRUE(modem.silent()) << c.when;
        EXPECT_DOUBLE_EQ(untilSent, c.bytes.isEmpty() ? 0 : 0.05) << c.when;
    }
    modem.restart(); // speaks again
    EXPECT_EQ(command("AT"), "AT\r" + kOk);
}

// The standalone tool, on a real pseudo-terminal.
class Tool {
  public:
    explicit Tool(const std::vector<std::string>& args) {
        int out[2], in[2];
        if (pipe(out) != 0 || pipe(in) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(in[0], STDIN_FILENO);
            close(out[0]);
            close(in[1]);
            std::vector<char*> argv{const_cast<char*>(SIM_BINARY)};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(SIM_BINARY, argv.data());
            _exit(127);
        }
        close(out[1]);
        close(in[0]);
        stdout_ = out[0];
        stdin_ = in[1];
    }
    ~Tool() {
        stop();
        if (stdout_ >= 0) close(stdout_);
        if (stdin_ >= 0) close(stdin_);
    }
    // A line typed on the tool's standard input.
    void say(const std::string& line) {
        const std::string text = line + "\n";
        EXPECT_EQ(write(stdin_, text.data(), text.size()), ssize_t(text.size()));
    }
    QByteArray readyLine(int timeoutMs = 5000) {
        QByteArray line;
        char c = 0;
        pollfd p{stdout_, POLLIN, 0};
        while (!line.endsWith('\n') && poll(&p, 1, timeoutMs) > 0 && read(stdout_, &c, 1) == 1)
            line += c;
        return line;
    }
    int stop() {
        int status = -1;
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        return status;
    }

  private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int stdin_ = -1;
};

void setRate(int fd, speed_t speed) {
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    tcsetattr(fd, TCSANOW, &t);
}

void setStopBits(int fd, int stopBits) {
    termios t{};
    tcgetattr(fd, &t);
    if (stopBits == 2)
        t.c_cflag |= CSTOPB;
    else
        t.c_cflag &= ~tcflag_t(CSTOPB);
    tcsetattr(fd, TCSANOW, &t);
}

// Reads until the text ends with `end` or the time is up.
QByteArray readLine(int fd, const QByteArray& end, int timeoutMs) {
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    char buffer[256];
    while (!(end.size() && got.endsWith(end)) && timer.elapsed() < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) > 0) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, int(n));
        }
    }
    return got;
}

// A command line written to the line, and what comes back up to `end`.
QByteArray exchange(int fd, const QByteArray& line, const QByteArray& end) {
    const QByteArray bytes = line + "\r";
    EXPECT_EQ(write(fd, bytes.constData(), bytes.size()), bytes.size());
    return readLine(fd, end, 4000);
}

// The console's end of the tool's COM8 in `path`, at 9600 bit/s; -1 when it cannot be opened.
int openLine(const std::string& path) {
    const int fd = open((path + "/ports/COM8").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) setRate(fd, B9600);
    return fd;
}

TEST(GsmModemSimTool, AnswersOnlyAtItsRate) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    Tool tool({"--dir", path, "--port", "7", "--rate", "19200"});
    EXPECT_TRUE(tool.readyLine().contains("gsm-modem-sim: COM7 -> /dev/pts/"));
    const std::string link = path + "/ports/COM7";
    const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);

    setRate(fd, B9600);
    ASSERT_EQ(write(fd, "AT\r", 3), 3);
    EXPECT_EQ(readLine(fd, {}, 500), "");
    setRate(fd, B19200);
    ASSERT_EQ(write(fd, "AT+IPR=38400\r", 13), 13);
    EXPECT_EQ(readLine(fd, "OK\r\n", 3000), "AT+IPR=38400\r\r\nOK\r\n");
    ASSERT_EQ(write(fd, "AT\r", 3), 3); // the module now runs at its new rate
    EXPECT_EQ(readLine(fd, {}, 500), "");
    setRate(fd, B38400);
    ASSERT_EQ(write(fd, "AT\r", 3), 3);
    EXPECT_EQ(readLine(fd, "OK\r\n", 3000), "AT\r\r\nOK\r\n");
    close(fd);

    const int status = tool.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0); // link removed
}

// A pseudo-terminal keeps the stop bits of the framing (not its data bits or
// parity): the module follows "AT+ICF=" on them, and says on its output how
// its line now runs.
TEST(GsmModemSimTool, FollowsItsFramingAndSaysSo) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    Tool tool({"--dir", path, "--port", "8", "--rate", "9600"});
    EXPECT_TRUE(tool.readyLine().endsWith(" at 9600,N,8,1\n"));
    const int fd = open((path + "/ports/COM8").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    setRate(fd, B9600);
    setStopBits(fd, 1);
    ASSERT_EQ(write(fd, "AT+ICF=4,4\r", 11), 11);
    EXPECT_EQ(readLine(fd, "OK\r\n", 3000), "AT+ICF=4,4\r\r\nOK\r\n");
    EXPECT_EQ(tool.readyLine(), "gsm-modem-sim: COM8 now at 9600,N,7,2\n");
    ASSERT_EQ(write(fd, "AT\r", 3), 3); // one stop bit: lost
    EXPECT_EQ(readLine(fd, {}, 500), "");
    setStopBits(fd, 2);
    ASSERT_EQ(write(fd, "AT+IPR=19200\r", 13), 13);
    EXPECT_EQ(readLine(fd, "OK\r\n", 3000), "AT+IPR=19200\r\r\nOK\r\n");
    EXPECT_EQ(tool.readyLine(), "gsm-modem-sim: COM8 now at 19200,N,7,2\n");
    setRate(fd, B19200);
    ASSERT_EQ(write(fd, "AT\r", 3), 3);
    EXPECT_EQ(readLine(fd, "OK\r\n", 3000), "AT\r\r\nOK\r\n");
    close(fd);
}

// What a newcomer brings about around the module: the outcome of a dial, the
// far end hanging up, an incoming call with its number, arriving messages.
TEST(GsmModemSimTool, OptionsAndInputLinesDriveTheWorldAroundTheModule) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    Tool tool({"--dir", path, "--port", "8", "--latency", "0.01", "--dial-outcome", "busy",
               "--sms-after", "1", "+441632960961", "Hello there"});
    EXPECT_TRUE(tool.readyLine().contains("COM8"));
    const int fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(readLine(fd, "\r\n", 3000), "\r\n+CMTI: \"SM\",2\r\n");

    EXPECT_EQ(exchange(fd, "ATD123;", "BUSY\r\n"), "ATD123;\r\r\nBUSY\r\n");

    tool.say("outcome answered");
    EXPECT_TRUE(tool.readyLine().contains("the next call is answered"));
    EXPECT_EQ(exchange(fd, "ATD123;", "OK\r\n"), "ATD123;\r\r\nOK\r\n");
    tool.say("hangup");
    EXPECT_TRUE(tool.readyLine().contains("the far end hangs up"));
    EXPECT_EQ(readLine(fd, "CARRIER\r\n", 3000), "\r\nNO CARRIER\r\n");

    EXPECT_EQ(exchange(fd, "AT+CLIP=1", "OK\r\n"), "AT+CLIP=1\r\r\nOK\r\n");
    tool.say("call 0123456789");
    EXPECT_TRUE(tool.readyLine().contains("a call from 0123456789"));
    EXPECT_EQ(readLine(fd, "129\r\n", 3000), "\r\nRING\r\n\r\n+CLIP: \"0123456789\",129\r\n");

    tool.say("sms 0207946000 See you at eight");
    EXPECT_TRUE(tool.readyLine().contains("a message from 0207946000 at index 3"));
    EXPECT_EQ(readLine(fd, ",3\r\n", 3000), "\r\n+CMTI: \"SM\",3\r\n");
    EXPECT_EQ(exchange(fd, "AT+CMGF=1", "OK\r\n"), "AT+CMGF=1\r\r\nOK\r\n");
    const QByteArray read = exchange(fd, "AT+CMGR=3", "OK\r\n");
    EXPECT_TRUE(read.contains("\"0207946000\",,")) << read.toStdString();
    EXPECT_TRUE(read.contains("\r\nSee you at eight\r\n")) << read.toStdString();
    close(fd);

    tool.say("nonsense");
    EXPECT_TRUE(tool.readyLine().contains("outcome answered|busy|no-answer|no-carrier"));
}

// The shapes of real modules, chosen on the command line.
TEST(GsmModemSimTool, AnswersInTheShapesItIsGiven) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    Tool tool({"--dir", path, "--port", "8", "--latency", "0.01", "--empty-slot-not-found",
               "--trailing-entry-fields", "--extended-errors", "--prompt-delay", "0.5", "--refuse",
               "+cnmi", "+CMS ERROR: 303"});
    EXPECT_TRUE(tool.readyLine().contains("COM8"));
    const int fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, "AT+CPBR=1", "OK\r\n"),
              "AT+CPBR=1\r\r\n+CPBR: 1,\"0123456789\",129,\"JOHN\",0,\"\"\r\n\r\nOK\r\n");
    EXPECT_EQ(exchange(fd, "AT+CPBR=9", "22\r\n"), "AT+CPBR=9\r\r\n+CME ERROR: 22\r\n");
    EXPECT_EQ(exchange(fd, "AT+CNMI=0,1,0,1,0", "303\r\n"),
              "AT+CNMI=0,1,0,1,0\r\r\n+CMS ERROR: 303\r\n");
    EXPECT_EQ(exchange(fd, "AT+CMGF=1", "OK\r\n"), "AT+CMGF=1\r\r\nOK\r\n");
    EXPECT_EQ(exchange(fd, "AT+CMGS=123", "\r"), "AT+CMGS=123\r"); // no prompt yet
    EXPECT_EQ(readLine(fd, "> ", 3000), "\r\n> ");
    close(fd);
}

} // namespace

namespace {

// What the line brings within `ms` milliseconds, whatever it ends with.
QByteArray readFor(int fd, int ms) {
    return readLine(fd, {}, ms);
}

// What half a second brings after a command line.
QByteArray answerTo(int fd, const QByteArray& line) {
    const QByteArray bytes = line + "\r";
    EXPECT_EQ(write(fd, bytes.constData(), bytes.size()), bytes.size());
    return readFor(fd, 500);
}

} // namespace

// The shapes of the SIM, the dial, the registers, the indicators, the
// registration and the phonebook entries, chosen on the command line.
TEST(GsmModemSimTool, AnswersInTheFurtherShapesItIsGiven) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    Tool tool({"--dir",
               path,
               "--port",
               "8",
               "--latency",
               "0.01",
               "--pin",
               "1234",
               "--unasked-ready-after-pin",
               "--sms-ready-after-pin",
               "0.3",
               "--dial-ok-at-once",
               "--dial-outcome",
               "busy",
               "--unpadded-registers",
               "--indicator-order",
               "motorola",
               "--creg-location-always",
               "--unquoted-location",
               "--access-technology",
               "2",
               "--entry-fields",
               "dates",
               "--unquoted-hex-names",
               "--silent",
               "at AT+CMGS"});
    EXPECT_TRUE(tool.readyLine().contains("COM8"));
    const int fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, "AT+CPIN=1234", "READY\r\n"),
              "AT+CPIN=1234\r\r\nOK\r\n\r\n+CPIN: READY\r\n");
    EXPECT_EQ(readLine(fd, "SMS Ready\r\n", 3000), "\r\nCall Ready\r\n\r\nSMS Ready\r\n");
    EXPECT_EQ(exchange(fd, "ATS0?", "OK\r\n"), "ATS0?\r\r\n0\r\n\r\nOK\r\n");
    EXPECT_EQ(exchange(fd, "AT+CIND?", "OK\r\n"),
              "AT+CIND?\r\r\n+CIND: 0,1,0,0,3,0,0\r\n\r\nOK\r\n");
    EXPECT_EQ(exchange(fd, "AT+CREG?", "OK\r\n"),
              "AT+CREG?\r\r\n+CREG: 0,1,00C3,1A2B,2\r\n\r\nOK\r\n");
    EXPECT_EQ(exchange(fd, "AT+CSCS=\"HEX\"", "OK\r\n"), "AT+CSCS=\"HEX\"\r\r\nOK\r\n");
    EXPECT_EQ(exchange(fd, "AT+CPBR=1", "OK\r\n"),
              "AT+CPBR=1\r\r\n+CPBR: 1,\"0123456789\",129,4A4F484E,\"\",\"\"\r\n\r\nOK\r\n");
    EXPECT_EQ(exchange(fd, "ATD123;", "OK\r\n"), "ATD123;\r\r\nOK\r\n");
    EXPECT_EQ(readLine(fd, "BUSY\r\n", 4000), "\r\nBUSY\r\n");
    EXPECT_EQ(exchange(fd, "AT+CMGF=1", "OK\r\n"), "AT+CMGF=1\r\r\nOK\r\n");
    EXPECT_EQ(answerTo(fd, "AT+CMGS=123"), ""); // silent from here on
    EXPECT_EQ(answerTo(fd, "AT"), "");
    close(fd);
}

// An absent SIM in words; a SIM still being read after the start, told as
// "SIM busy"; a slow module that echoes at once and answers later.
TEST(GsmModemSimTool, TellsTheSimAsItIsGivenAndAnswersLate) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    {
        Tool tool({"--dir", path, "--port", "8", "--latency", "0.01", "--no-sim",
                   "--absent-sim-in-words"});
        EXPECT_TRUE(tool.readyLine().contains("COM8"));
        const int fd = openLine(path);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(exchange(fd, "AT+CPIN?", "OK\r\n"),
                  "AT+CPIN?\r\r\n+CPIN: NOT INSERTED\r\n\r\nOK\r\n");
        close(fd);
    }
    Tool tool({"--dir", path, "--port", "8", "--latency", "0.01", "--sim-not-ready", "2",
               "--sim-busy-error", "--reply-delay", "0.4"});
    QElapsedTimer started;
    started.start();
    EXPECT_TRUE(tool.readyLine().contains("COM8"));
    const int fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, "AT+CMEE=1", "OK\r\n"), "AT+CMEE=1\r\r\nOK\r\n");
    ASSERT_EQ(write(fd, "AT+CPIN?\r", 9), 9);
    EXPECT_EQ(readFor(fd, 250), "AT+CPIN?\r"); // the echo at once, the answer later
    EXPECT_EQ(readLine(fd, "14\r\n", 2000), "\r\n+CME ERROR: 14\r\n");
    ASSERT_LT(started.elapsed(), 2000);
    readFor(fd, int(2300 - started.elapsed()));
    EXPECT_EQ(exchange(fd, "AT+CPIN?", "OK\r\n"), "AT+CPIN?\r\r\n+CPIN: READY\r\n\r\nOK\r\n");
    close(fd);
}

// The module falls silent, or the device goes away, where a flag or a line
// on standard input says: in the middle of a phonebook read, after a number
// of commands, at once; "plug" brings it back.
TEST(GsmModemSimTool, FallsSilentOrGoesAwayAndComesBack) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    Tool tool({"--dir", path, "--port", "8", "--latency", "0.01", "--unplug", "within AT+CPBR= 1"});
    EXPECT_TRUE(tool.readyLine().contains("COM8"));
    int fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, "AT+CPBR=1,10", "\"JOHN\"\r\n"),
              "AT+CPBR=1,10\r\r\n+CPBR: 1,\"0123456789\",129,\"JOHN\"\r\n");
    EXPECT_EQ(tool.readyLine(), "gsm-modem-sim: COM8 unplugged\n");
    char c = 0;
    const ssize_t n = read(fd, &c, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n; // the line has hung up
    close(fd);
    struct stat st {};
    EXPECT_NE(lstat((path + "/ports/COM8").c_str(), &st), 0);

    tool.say("plug");
    EXPECT_TRUE(tool.readyLine().contains("COM8 -> /dev/pts/"));
    fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(exchange(fd, "AT+CPBR=2", "OK\r\n"),
              "AT+CPBR=2\r\r\n+CPBR: 2,\"+441632960961\",145,\"OFFICE\"\r\n\r\nOK\r\n");
    tool.say("silent after 1");
    EXPECT_EQ(tool.readyLine(), "gsm-modem-sim: the module will fall silent\n");
    EXPECT_EQ(exchange(fd, "AT", "OK\r\n"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(answerTo(fd, "AT"), "");
    tool.say("unplug");
    EXPECT_EQ(tool.readyLine(), "gsm-modem-sim: COM8 unplugged\n");
    close(fd);
    tool.say("silent soon");
    EXPECT_TRUE(tool.readyLine().contains("silent [WHEN], unplug [WHEN], plug"));
}

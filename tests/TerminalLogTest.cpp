// The log's finding, cutting and verdict and the readers' shared vocabulary,
// on one table of replies, and the text box that mirrors the log.

#include "link/TerminalLog.h"
#include "link/replies/Calls.h"
#include "link/replies/Reading.h"
#include "platform/Text.h"
#include "tests/Fixture.h"

#include <QPlainTextEdit>

#include <functional>

namespace {

using Reading = std::function<QString(const TerminalLog&)>;

struct Case {
    const char* name;
    QString log;
    Reading read;
    QString expected; // "<throws>" when the reading cannot be made
};

const QString kThrows = "<throws>";

QString describe(TerminalLog::Result result) {
    switch (result) {
    case TerminalLog::Result::Ok:
        return "OK";
    case TerminalLog::Result::Error:
        return "ERROR";
    case TerminalLog::Result::None:
        break;
    }
    return "none";
}

QString describe(std::optional<bool> succeeded) {
    if (!succeeded) return "none";
    return *succeeded ? "OK" : "ERROR";
}

QString readOrThrows(const Reading& read, const TerminalLog& log) {
    try {
        return read(log);
    } catch (const text::CutError&) {
        return kThrows;
    }
}

} // namespace

TEST(TerminalLogTest, ReadingVocabulary) {
    const QString clip = "RING\r\n\r\n+CLIP: \"+441234567\",145\r\n";
    const Case cases[] = {
        // a window of n characters at an offset from a key
        {"window", "AT+VGR?\r\r\n+VGR: 064\r\n\r\nOK\r\n",
         [](const TerminalLog& l) { return replies::window(l.text(), "VGR:", 5, 3); }, "064"},
        {"window, key absent", "\r\nOK\r\n",
         [](const TerminalLog& l) { return replies::window(l.text(), "VGR:", 5, 3); }, ""},
        {"window past the end", "+VGR: 6",
         [](const TerminalLog& l) { return replies::window(l.text(), "VGR:", 5, 3); }, "6"},
        {"window starting past the end",
         "+VGR:", [](const TerminalLog& l) { return replies::window(l.text(), "VGR:", 9, 3); }, ""},
        // the text up to the comma after a key
        {"up to the comma", clip,
         [](const TerminalLog& l) {
             return replies::required(replies::upToComma(l.text(), "+CLIP:", 8, 1), "no comma");
         },
         "+441234567"},
        {"up to the comma, first comma of the log before the key", "1,2\r\n" + clip,
         [](const TerminalLog& l) {
             return replies::required(replies::upToComma(l.text(), "+CLIP:", 8, 1), "no comma");
         },
         "+441234567"},
        {"up to the comma, no comma", "+CLIP: \"123\"\r\n",
         [](const TerminalLog& l) {
             return replies::required(replies::upToComma(l.text(), "+CLIP:", 8, 1), "no comma");
         },
         kThrows},
        {"up to the comma, key absent", "RING\r\n",
         [](const TerminalLog& l) {
             return replies::required(replies::upToComma(l.text(), "+CLIP:", 8, 1), "no comma");
         },
         ""},
        {"up to the comma, empty field", "+CLIP: \"\",129\r\n",
         [](const TerminalLog& l) {
             return replies::required(replies::upToComma(l.text(), "+CLIP:", 8, 1), "no comma");
         },
         ""},
        // one line after a key
        {"line after", "AT+CIND?\r\r\n+CIND: 5,3,1,0,1,0,0\r\n\r\nOK\r\n",
         [](const TerminalLog& l) { return replies::lineAfter(l.text(), "+CIND:"); },
         " 5,3,1,0,1,0,0"},
        {"line after, at the end of the log", "+CSQ: 15,99",
         [](const TerminalLog& l) { return replies::lineAfter(l.text(), "+CSQ:"); }, " 15,99"},
        {"line after, key absent", "OK",
         [](const TerminalLog& l) { return replies::lineAfter(l.text(), "+CSQ:"); }, ""},
        // the line after every occurrence of a key
        {"lines after",
         "AT+CGDCONT?\r\r\n+CGDCONT: 1,\"IP\",\"a\",,0,0\r\n+CGDCONT: 3,\"PPP\",\"b\",,0,0\r\n"
         "\r\nOK\r\n",
         [](const TerminalLog& l) { return replies::linesAfter(l.text(), "+CGDCONT:").join('|'); },
         " 1,\"IP\",\"a\",,0,0| 3,\"PPP\",\"b\",,0,0"},
        {"lines after, the last at the end of the log", "+CSQ: 1\n+CSQ: 2",
         [](const TerminalLog& l) { return replies::linesAfter(l.text(), "+CSQ:").join('|'); },
         " 1| 2"},
        {"lines after, key absent", "OK",
         [](const TerminalLog& l) {
             return QString::number(replies::linesAfter(l.text(), "+CSQ:").size());
         },
         "0"},
        // the comma-separated fields of a line
        {"fields", "+CCFC: 1,7,\"+4412\",145\r\n",
         [](const TerminalLog& l) {
             return replies::fieldsAfter(l.text(), "+CCFC:").value_or(QStringList()).join('|');
         },
         "1|7|\"+4412\"|145"},
        {"fields, empty and quoted comma",
         "+CMGR: \"REC READ\",\"+44\",,\"26/01/15,10:00:00+00\"\r\n",
         [](const TerminalLog& l) {
             return replies::fieldsAfter(l.text(), "+CMGR:").value_or(QStringList()).join('|');
         },
         "\"REC READ\"|\"+44\"||\"26/01/15,10:00:00+00\""},
        {"fields, no comma", "+CREG: 1\r\n",
         [](const TerminalLog& l) {
             return replies::fieldsAfter(l.text(), "+CREG:").value_or(QStringList()).join('|');
         },
         "1"},
        {"fields, key absent", "OK\r\n",
         [](const TerminalLog& l) {
             return QString::number(
                 replies::fieldsAfter(l.text(), "+CREG:").value_or(QStringList()).size());
         },
         "0"},
        // what follows the echo of a command
        {"after the echo", "AT+CGSN\r\r\n123456789012345\r\n\r\nOK\r\n",
         [](const TerminalLog& l) { return l.afterEcho("AT+CGSN"); },
         "\r\n123456789012345\r\n\r\nOK\r\n"},
        {"after the echo, not echoed", "\r\n123456789012345\r\n\r\nOK\r\n",
         [](const TerminalLog& l) { return l.afterEcho("AT+CGSN"); },
         "\r\n123456789012345\r\n\r\nOK\r\n"},
        // the reply to one command: after its own echo, up to the next command's
        {"reply, up to the next command's echo", "AT+A\r\r\n+A: 1\r\n\r\nOK\r\nAT+B\r\r\nERROR\r\n",
         [](const TerminalLog& l) { return l.replyTo("AT+A").value_or("none"); },
         "\r\n+A: 1\r\n\r\nOK\r\n"},
        {"reply, after the last echo of the command", "AT+A\r\r\nERROR\r\nAT+A\r\r\nOK\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded("AT+A", TerminalLog::Judged::Final));
         },
         "OK"},
        {"reply, an echo that only begins with the command is another's", "AT+CPBR=10\r\r\nOK\r\n",
         [](const TerminalLog& l) { return l.replyTo("AT+CPBR=1").value_or("none"); }, "none"},
        {"reply, none when the echo is gone and another command's stands",
         "AT+CPBW=4,0655,,\" A\"\r\r\nOK\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded("AT+CPBR=6", TerminalLog::Judged::Final));
         },
         "none"},
        {"reply, a modem that does not echo answers on the emptied log", "\r\nOK\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded("ATE1", TerminalLog::Judged::Final));
         },
         "OK"},
        // the final result of an exchange
        {"result OK", "AT\r\r\nOK\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded("AT", TerminalLog::Judged::Final));
         },
         "OK"},
        {"result ERROR", "AT+CPIN?\r\r\nERROR\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded("AT+CPIN?", TerminalLog::Judged::Final));
         },
         "ERROR"},
        {"result, extended error", "AT+CPIN?\r\r\n+CME ERROR: 10\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded(QString(), TerminalLog::Judged::Final));
         },
         "ERROR"},
        {"result none", "AT+CMGS=\"123\"\r\r\n> ",
         [](const TerminalLog& l) {
             return describe(l.succeeded("AT+CMGS=\"123\"", TerminalLog::Judged::Final));
         },
         "none"},
        {"result, OK then ERROR", "\r\nOK\r\n\r\nERROR\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded(QString(), TerminalLog::Judged::Final));
         },
         "ERROR"},
        {"result, ERROR then OK", "\r\nERROR\r\n\r\nOK\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded(QString(), TerminalLog::Judged::Final));
         },
         "OK"},
        {"result, OK typed into the echo", "AT+CPBW=1,\"1\",129,\"OK\"\r\r\nERROR\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded("AT+CPBW=1,\"1\",129,\"OK\"", TerminalLog::Judged::Final));
         },
         "ERROR"},
        {"result, OK inside a word", "AT+CPBR=1\r\r\n+CPBR: 1,\"1\",129,\"BOOK\"\r\n",
         [](const TerminalLog& l) {
             return describe(l.succeeded("AT+CPBR=1", TerminalLog::Judged::Final));
         },
         "none"},
        {"succeeded, as each window weighs OK and ERROR", "AT+X\r\r\nERROR\r\n\r\nOK\r\n",
         [](const TerminalLog& l) {
             const auto show = [](std::optional<bool> s) {
                 return s ? QString::number(*s) : QString("none");
             };
             using J = TerminalLog::Judged;
             return show(l.succeeded("AT+X", J::OkFirst)) +
                    show(l.succeeded("AT+X", J::ErrorWins)) + show(l.succeeded("AT+X", J::Final));
         },
         "101"},
        {"succeeded, no verdict yet", "AT+X\r\r\n+X: 1\r\n",
         [](const TerminalLog& l) {
             return QString::number(
                 l.succeeded("AT+X", TerminalLog::Judged::ErrorWins).has_value());
         },
         "0"},
        {"succeeded, an extended error is a refusal however it is weighed",
         "AT+CNMI=0,1,0,1,0\r\r\n+CMS ERROR: 303\r\n",
         [](const TerminalLog& l) {
             using J = TerminalLog::Judged;
             QString shown;
             for (J judged : {J::OkFirst, J::ErrorWins, J::Final})
                 shown += QString::number(*l.succeeded("AT+CNMI=0,1,0,1,0", judged));
             return shown + QString::number((l.succeeded("AT+CNMI=0,1,0,1,0",
                                                         TerminalLog::Judged::ErrorWins) == false));
         },
         "0001"},
        {"refusals", "AT+X\r\r\n+CME ERROR: 3\r\n",
         [](const TerminalLog& l) {
             TerminalLog other;
             other.setText("AT+X\r\r\n+CMGS: 5\r\n\r\nOK\r\n");
             return QString("%1%2")
                 .arg((l.succeeded("AT+X", TerminalLog::Judged::ErrorWins) == false))
                 .arg((other.succeeded("AT+X", TerminalLog::Judged::ErrorWins) == false));
         },
         "10"},
        {"both lines, as two independent tests", "\r\nOK\r\n\r\nERROR\r\n",
         [](const TerminalLog& l) {
             return QString("%1%2")
                 .arg(l.succeeded(QString(), TerminalLog::Judged::OkFirst).value_or(false))
                 .arg(l.succeeded(QString(), TerminalLog::Judged::ErrorWins) == false);
         },
         "11"},
        // the last line that reads a word: a text may hold the word itself
        {"last line", "+CMGR: \"REC READ\"\r\nBOOK OK\r\nOK\r\nbye\r\n\r\nOK\r\n",
         [](const TerminalLog& l) { return QString::number(l.lastLine("OK")); }, "40"},
        {"last line at the end of the log", "text\r\nOK",
         [](const TerminalLog& l) { return QString::number(l.lastLine("OK")); }, "7"},
        {"last line, only inside words", "BOOK\r\nOKAY\r\n",
         [](const TerminalLog& l) { return QString::number(l.lastLine("OK")); }, "0"},
        {"last line at the start of the log", "OK\r\nOK \r\n",
         [](const TerminalLog& l) { return QString::number(l.lastLine("OK")); }, "1"},
        {"result, a line of a message body is no verdict",
         "AT+CMGS=\"1\"\r\r\n> hi\nOK\n\r\n+CMS ERROR: 500\r\n",
         [](const TerminalLog& l) {
             return QString("%1 %2")
                 .arg(l.succeeded("AT+CMGS=\"1\"", TerminalLog::Judged::OkFirst).value_or(false))
                 .arg(describe(l.succeeded(QString(), TerminalLog::Judged::Final)));
         },
         "0 ERROR"},
        // keys where they begin a line, outside user data
        {"line start, the echo at the start of the log", "ATI0\r\r\nX\r\n",
         [](const TerminalLog& l) { return QString::number(l.findLine("ATI0")); }, "1"},
        {"line start, not inside a line", "X ATI0\r\nATI0",
         [](const TerminalLog& l) { return QString::number(l.findLine("ATI0")); }, "9"},
        {"line start, not inside an entry or a message",
         "+CPBR: 1,\"1\",129,\"A\r\nRING\"\r\n\r\nOK\r\n+CMGR: \"REC READ\",\"1\"\r\nRING\r\n",
         [](const TerminalLog& l) { return QString::number(l.findLine("RING")); }, "0"},
        {"line start, past the entry's final result",
         "+CPBR: 1,\"1\",129,\"RING\"\r\n\r\nOK\r\nRING\r\n",
         [](const TerminalLog& l) { return QString::number(l.findLine("RING")); }, "32"},
        {"line start, a message line that reads OK does not end the message",
         "AT+CMGR=1\r\r\n+CMGR: \"REC READ\",\"1\"\r\nhi\rOK\rRING\r\n\r\nOK\r\n",
         [](const TerminalLog& l) {
             return QString("%1 %2 %3")
                 .arg(l.findLine("RING"))
                 .arg(describe(l.succeeded("AT+CMGR=1", TerminalLog::Judged::Final)))
                 .arg(replies::userData(l.text(), "+CMGR:"));
         },
         "0 OK +CMGR: \"REC READ\",\"1\"\r\nhi\rOK\rRING"},
        {"line start, a list of messages up to its final result, a code after it",
         "+CMGL: 1,\"REC READ\",\"1\"\r\nOK\r\n+CMGL: 2,\"REC READ\",\"2\"\r\nRING\r\n\r\nOK\r\n"
         "\r\nRING\r\n",
         [](const TerminalLog& l) { return QString::number(l.findLine("RING")); }, "69"},
        {"user data, an entry with trailing fields",
         "AT+CPBR=1\r\r\n+CPBR: 1,\"0612345678\",129,\"Alice\",0,\"\"\r\n\r\nOK\r\n",
         [](const TerminalLog& l) { return replies::userData(l.text(), "+CPBR:"); },
         "+CPBR: 1,\"0612345678\",129,\"Alice\",0,\"\""},
        {"user data, an entry with a line break in its name",
         "AT+CPBR=1\r\r\n+CPBR: 1,\"1\",129,\"A\r\nB\"\r\n\r\nOK\r\n",
         [](const TerminalLog& l) { return replies::userData(l.text(), "+CPBR:"); },
         "+CPBR: 1,\"1\",129,\"A\r\nB\""},
        {"user data, none", "AT+CPBR=1\r\r\nOK\r\n",
         [](const TerminalLog& l) { return replies::userData(l.text(), "+CPBR:"); }, ""},
        {"outcome, the result line and not a word holding OK", "ATI0\r\r\nNOKIA\r\n\r\nOK\r\n",
         [](const TerminalLog& l) {
             const TerminalLog::Outcome o = l.outcomeAfter(1);
             return describe(o.result) + QString::number(o.at);
         },
         "OK17"},
        {"outcome, none yet", "ATI0\r\r\nNOKIA\r\n",
         [](const TerminalLog& l) { return describe(l.outcomeAfter(1).result); }, "none"},
        {"quoted number", "+CLIP: \"+4412\",145,,,,0\r\n",
         [](const TerminalLog& l) {
             return replies::required(replies::quotedNumber(l.lineAt(1)), "no quoted number");
         },
         "+4412"},
        {"quoted number, without its type", "+CLIP: \"+4412\"\r\n,1",
         [](const TerminalLog& l) {
             return replies::required(replies::quotedNumber(l.lineAt(1)), "no quoted number");
         },
         kThrows},
        {"quoted number, not quoted", "+CCWA: 1,1\r\n",
         [](const TerminalLog& l) {
             return replies::required(replies::quotedNumber(l.lineAt(1)), "no quoted number");
         },
         kThrows},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TerminalLog log;
        log.setText(c.log);
        EXPECT_EQ(readOrThrows(c.read, log), c.expected);
    }
}

// Numbers read from modem text: plain decimal digits, blanks around them
// aside; anything else, and what an int cannot hold, is not a number.
TEST(TextTest, NumbersArePlainDecimalDigits) {
    const std::pair<const char*, double> numbers[] = {
        {"0", 0}, {" 15 ", 15}, {"\t99\r\n", 99}, {"007", 7}, {"2147483647", 2147483647},
    };
    for (const auto& [textual, value] : numbers)
        EXPECT_EQ(text::number(textual), value) << textual;
    for (const char* notNumber : {"", " ", "1e10", "nan", "inf", "0x1f", "-1", "+5", "1.5", "1 2",
                                  "2147483648", "99999999999999999999", "١"})
        EXPECT_THROW(text::number(QString::fromUtf8(notNumber)), text::CutError) << notNumber;
}

TEST(TerminalLogTest, TheOldestTextIsDroppedAtTheBound) {
    TerminalLog log;
    log.append(QString(TerminalLog::kMaxChars, QLatin1Char('a')));
    log.append("newest");
    EXPECT_EQ(log.text().size(), TerminalLog::kMaxChars);
    EXPECT_TRUE(log.text().endsWith("newest"));
}

// The box shows the end of the log once events have been handled, however
// the log got there: appended in pieces, emptied, grown past the box's share.
TEST_F(ConsoleTest, TheMirrorFollowsTheEndOfTheLog) {
    QPlainTextEdit box;
    TerminalLog log;
    log.setMirror(&box);
    const auto shown = [&] {
        run(TerminalLog::kMirrorRefreshMs / 1000.0);
        return box.toPlainText();
    };
    // A text box breaks lines at a carriage return, a line feed or the pair.
    const auto asShown = [](QString text) {
        return text.replace("\r\n", "\n").replace('\r', '\n');
    };
    log.append("AT\r");
    log.append("\r\nOK");
    EXPECT_EQ(shown(), "AT\n\nOK");
    log.clear();
    log.append("RING");
    EXPECT_EQ(shown(), "RING");
    const QString line = QString(63, 'x') + '\n';
    for (int i = 0; i < 4 * TerminalLog::kMirrorChars / line.size(); ++i)
        log.append(line);
    const QString tail = shown();
    EXPECT_LE(tail.size(), 2 * TerminalLog::kMirrorChars);
    EXPECT_TRUE(asShown(log.text()).endsWith(tail));
}

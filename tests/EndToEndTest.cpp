// The real console binary against the standalone simulated modem on a
// pseudo-terminal, in real time, from a fresh program folder.

#include "tests/Fixture.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits up to `seconds` for the condition, checking every tenth of a second.
bool waitFor(const std::function<bool()>& condition, double seconds) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > seconds * 1000) return false;
        QThread::msleep(100);
    }
    return true;
}

// What a screen reader finds of one object of the console's windows.
struct Seen {
    QString window; // the window's title, or the first name inside it
    QString role;
    QString name; // or the text it holds, line ends as "\\n"
    bool showing = false;
    bool enabled = false;
    QRect box; // on the screen
};

// A virtual X display with keyboard and mouse input to it, and a session bus
// with the accessibility bus on it, for pressing the console's buttons and
// reading its windows as a user and a screen reader would.
class Display {
  public:
    Display() {
        for (const char* tool : {"Xvfb", "xdotool", "dbus-daemon", "openbox"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) return;
        if (!QFile::exists(kBusLauncher)) return;
        // Room for every window beside the others.
        server_.start("Xvfb",
                      {"-displayfd", "1", "-screen", "0", "2560x1600x24", "-nolisten", "tcp"});
        if (!server_.waitForReadyRead(10000)) return;
        const QString display = ":" + QString::fromLatin1(server_.readLine().trimmed());
        bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!bus_.waitForReadyRead(10000)) return;
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("DISPLAY", display);
        env_.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromLatin1(bus_.readLine().trimmed()));
        // Qt answers on the accessibility bus when it is there at its start.
        env_.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        accessibility_.setProcessEnvironment(env_);
        accessibility_.start(kBusLauncher, {"--launch-immediately"});
        if (!accessibility_.waitForStarted(10000)) return;
        // A window manager places the windows apart and gives a clicked
        // window the keyboard, as a desktop does.
        windowManager_.setProcessEnvironment(env_);
        windowManager_.start("openbox", {});
        if (!windowManager_.waitForStarted(10000)) return;
        QThread::sleep(1);
        name_ = display;
    }
    ~Display() {
        for (QProcess* process : {&windowManager_, &accessibility_, &bus_, &server_}) {
            process->terminate();
            process->waitForFinished(3000);
        }
    }
    const QString& name() const { return name_; }
    const QProcessEnvironment& environment() const { return env_; }

    // Runs xdotool on this display; its output.
    QByteArray xdotool(const QStringList& arguments) {
        QProcess tool;
        tool.setProcessEnvironment(env_);
        tool.start("xdotool", arguments);
        tool.waitForFinished(20000);
        return tool.readAllStandardOutput().trimmed();
    }
    // Gives the keyboard to the window with this title and types the keys.
    bool press(const QString& title, const QString& keys) {
        const QByteArray id =
            xdotool({"search", "--sync", "--onlyvisible", "--name", "^" + title + "$"})
                .split('\n')
                .value(0);
        if (id.isEmpty()) return false;
        xdotool({"windowfocus", "--sync", QString::fromLatin1(id)});
        type(keys);
        return true;
    }
    bool isShown(const QString& title) {
        return !xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}).isEmpty();
    }

    // Everything of the console's windows a screen reader finds now.
    std::vector<Seen> read() {
        QProcess reader;
        reader.setProcessEnvironment(env_);
        reader.start(SCREEN_READER, {"GSM-APPLICATION"});
        reader.waitForFinished(30000);
        std::vector<Seen> seen;
        for (const QByteArray& line : reader.readAllStandardOutput().split('\n')) {
            const QStringList f = QString::fromUtf8(line).split('\t');
            if (f.size() != 9) continue;
            seen.push_back({f[0], f[1], f[2], f[3] == "1", f[4] == "1",
                            QRect(f[5].toInt(), f[6].toInt(), f[7].toInt(), f[8].toInt())});
        }
        return seen;
    }
    // The object of this role and name that shows in the window, if one does.
    std::optional<Seen> showing(const QString& window, const QString& role, const QString& name) {
        for (const Seen& s : read())
            if (s.window == window && s.role == role && s.name == name && s.showing) return s;
        return std::nullopt;
    }
    bool shows(const QString& window, const QString& role, const QString& name) {
        return showing(window, role, name).has_value();
    }
    // A mouse click on the middle of what the screen reader finds so, once
    // the window manager has placed its window (it stands still).
    bool click(const QString& window, const QString& role, const QString& name) {
        std::optional<Seen> target;
        const bool placed = waitFor(
            [&] {
                const std::optional<Seen> before = showing(window, role, name);
                QThread::msleep(300);
                target = showing(window, role, name);
                return before && target && before->box == target->box;
            },
            10);
        if (!placed) return false;
        const QPoint middle = target->box.center();
        xdotool({"mousemove", "--sync", QString::number(middle.x()), QString::number(middle.y())});
        xdotool({"click", "1"});
        return true;
    }
    // Keys typed to the window that has the keyboard: "alt+v", "1 2 3 4".
    void type(const QString& keys) {
        xdotool(QStringList{"key", "--clearmodifiers"} + keys.split(' ', Qt::SkipEmptyParts));
    }

  private:
    static constexpr const char* kBusLauncher = "/usr/libexec/at-spi-bus-launcher";
    QProcess server_;
    QProcess bus_;
    QProcess accessibility_;
    QProcess windowManager_;
    QProcessEnvironment env_;
    QString name_;
};

// A fresh installation: the console alone in a folder, COM.txt with one empty line.
class Installation {
  public:
    Installation() {
        QFile::copy(CONSOLE_BINARY, path("gsmconsole"));
        QFile(path("gsmconsole"))
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile com(path("COM.txt"));
        com.open(QIODevice::WriteOnly);
        com.write("\r\n");
    }
    ~Installation() {
        for (QProcess* process : {&console, &simulator}) {
            process->terminate();
            if (!process->waitForFinished(3000)) process->kill();
            process->waitForFinished(3000);
        }
    }
    QString path(const QString& name) const { return folder.filePath(name); }

    bool startSimulator(const QStringList& extra) {
        simulator.start(SIM_BINARY, QStringList{"--dir", folder.path(), "--port", "3", "--record",
                                                path("received.bin")} +
                                        extra);
        return simulator.waitForReadyRead(10000) &&
               simulator.readLine().startsWith("gsm-modem-sim: COM3 -> ");
    }
    // Without a display the console draws offscreen.
    void startConsole(const Display* display = nullptr) {
        QProcessEnvironment env =
            display ? display->environment() : QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", display ? "xcb" : "offscreen");
        console.setProcessEnvironment(env);
        console.setWorkingDirectory(QDir::tempPath()); // it finds its own folder
        console.start(path("gsmconsole"), {});
        console.waitForStarted(10000);
    }
    QByteArray received() const { return readAll(path("received.bin")); }
    // Tells the simulator what happens around the module ("call NUMBER").
    void happens(const QByteArray& event) {
        simulator.write(event + "\n");
        simulator.waitForBytesWritten(3000);
    }
    // Waits for the initialisation's last reply, which ends the start-up two
    // or three seconds later.
    bool startedUp() {
        if (!waitFor([&] { return received().contains("AT+ICF?\r"); }, 150)) return false;
        QThread::sleep(6);
        return true;
    }

    QTemporaryDir folder;
    QProcess simulator;
    QProcess console;
};

// The simulated SIM's entries, at 1, 2 and 4, as the copy holds them.
const QStringList kSimulatedEntries = {"1|0123456789|JOHN", "2|+441632960961|OFFICE",
                                       "4|0207946000|HOME"};

// The rows of the phonebook copy's table DATA, as "Index|Number|Name".
QStringList phonebookRows(const QString& file) {
    QStringList rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* select = nullptr;
        const char* sql = "SELECT \"Index\", Number, Name FROM DATA ORDER BY rowid";
        if (sqlite3_prepare_v2(db, sql, -1, &select, nullptr) == SQLITE_OK) {
            while (sqlite3_step(select) == SQLITE_ROW) {
                QStringList values;
                for (int column = 0; column < 3; ++column)
                    values << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(select, column)));
                rows << values.join('|');
            }
        }
        sqlite3_finalize(select);
    }
    sqlite3_close(db);
    return rows;
}

} // namespace

TEST(EndToEndTest, FreshConsoleFindsTheModemAtItsRateAndSavesThePort) {
    Installation installation;
    ASSERT_TRUE(installation.startSimulator({"--rate", "9600"}));
    installation.startConsole();
    // Saved once the modem has answered the model query of the initialisation.
    const bool saved =
        waitFor([&] { return readAll(installation.path("COM.txt")) == "9600,N,8,1 3\r\n"; }, 120);
    const QByteArray received = installation.received();
    EXPECT_TRUE(saved) << readAll(installation.path("COM.txt")).toStdString();
    // Only what went out at 9600 bit/s reached the modem: the lower rates of
    // the search were tried first and were not understood.
    EXPECT_TRUE(received.startsWith("AT+CGSN\rAT\rAT+CPIN?\r")) << received.toStdString();
    EXPECT_TRUE(received.contains("AT+CMEE=0\rAT+CRC=0\rAT+CLIP=1\rAT+WIND=0\rAT+CMGF=1\r"));
    EXPECT_TRUE(installation.console.state() == QProcess::Running);
}

TEST(EndToEndTest, StartUpEndsWithTheFeatureButtonsEnabled) {
    Display display;
    if (display.name().isEmpty()) GTEST_SKIP() << "no virtual X display (Xvfb, xdotool)";
    Installation installation;
    ASSERT_TRUE(installation.startSimulator({"--rate", "19200"}));
    installation.startConsole(&display);
    ASSERT_TRUE(installation.startedUp());

    // "&Model " was disabled until the end of the initialisation.
    ASSERT_TRUE(display.press("GSM-APPLICATION", "alt+m"));
    EXPECT_TRUE(waitFor([&] { return installation.received().contains("AT+ICF?\rAT\r"); }, 10))
        << installation.received().toStdString();
    EXPECT_TRUE(waitFor([&] { return display.isShown("GSM-Model Details"); }, 10));
    EXPECT_EQ(readAll(installation.path("COM.txt")), "19200,N,8,1 3\r\n");
    EXPECT_TRUE(readAll(installation.path("Model.txt")).startsWith("123456789012345\r\n"));
}

// A module that answers as many do: an empty phonebook place read as "not
// found", entries with fields after the name, errors kept extended. The
// simulator's SIM holds its entries at 1, 2 and 4: the call window's first
// opening copies every one of them, with their names alone.
TEST(EndToEndTest, TheCallWindowCopiesEveryEntryOfAModuleInItsOwnShapes) {
    Display display;
    if (display.name().isEmpty()) GTEST_SKIP() << "no virtual X display (Xvfb, xdotool)";
    Installation installation;
    ASSERT_TRUE(installation.startSimulator({"--rate", "9600", "--empty-slot-not-found",
                                             "--trailing-entry-fields", "--extended-errors"}));
    installation.startConsole(&display);
    ASSERT_TRUE(installation.startedUp());

    ASSERT_TRUE(display.press("GSM-APPLICATION", "alt+v"));
    EXPECT_TRUE(waitFor([&] { return installation.received().contains("AT+CPBR=4\r"); }, 60))
        << installation.received().toStdString();
    EXPECT_TRUE(waitFor(
        [&] { return phonebookRows(installation.path("PhoneBook.mdb")) == kSimulatedEntries; }, 20))
        << phonebookRows(installation.path("PhoneBook.mdb")).join(", ").toStdString();
}

// A module that confirms a right PIN with an unasked "+CPIN: READY" after the
// OK, as SIMCom's do: the PIN typed once closes the PIN window, the modem is
// initialised once, and the console goes on running.
TEST(EndToEndTest, APinConfirmedByAnUnaskedReadyClosesThePinWindow) {
    Display display;
    if (display.name().isEmpty()) GTEST_SKIP() << "no virtual desktop (Xvfb, openbox, AT-SPI)";
    Installation installation;
    ASSERT_TRUE(installation.startSimulator(
        {"--rate", "9600", "--pin", "1234", "--unasked-ready-after-pin"}));
    installation.startConsole(&display);
    ASSERT_TRUE(waitFor([&] { return display.shows("SIM PIN", "push button", "Ok"); }, 90));

    ASSERT_TRUE(display.click("SIM PIN", "password text", "Enter SIM PIN"));
    display.type("1 2 3 4");
    ASSERT_TRUE(display.click("SIM PIN", "push button", "Ok"));
    EXPECT_TRUE(waitFor([&] { return !display.shows("SIM PIN", "push button", "Ok"); }, 30))
        << installation.received().toStdString();
    ASSERT_TRUE(installation.startedUp());

    const QByteArray received = installation.received();
    EXPECT_EQ(received.count("AT+CPIN=1234\r"), 1) << received.toStdString();
    EXPECT_EQ(received.count("AT+CMGF=1\r"), 1) << received.toStdString();
    EXPECT_TRUE(display.shows("GSM-APPLICATION", "list item", "PIN Accepted"));
    EXPECT_TRUE(installation.console.state() == QProcess::Running);
}

// A module that reports its SIM missing in words ("+CPIN: NOT INSERTED"):
// the console says so and initialises what it can without a SIM.
TEST(EndToEndTest, ASimReportedMissingInWordsIsAskedToBeInserted) {
    Display display;
    if (display.name().isEmpty()) GTEST_SKIP() << "no virtual desktop (Xvfb, openbox, AT-SPI)";
    Installation installation;
    ASSERT_TRUE(
        installation.startSimulator({"--rate", "9600", "--no-sim", "--absent-sim-in-words"}));
    installation.startConsole(&display);
    EXPECT_TRUE(waitFor(
        [&] {
            return display.shows("GSM-APPLICATION", "list item",
                                 "SIM Not Found !.Insert SIM Properly");
        },
        120));
    QThread::sleep(10);
    EXPECT_TRUE(installation.console.state() == QProcess::Running);
}

// A module of the kind many are: phonebook entries with a phone's date and
// time after the name, and a voice dial answered OK at once with BUSY a few
// seconds later. The copy holds every entry with its name alone, and the call
// window shows the busy line rather than a connected call.
TEST(EndToEndTest, AModuleThatSaysOkAtOnceAndBusyLaterShowsTheBusyLine) {
    Display display;
    if (display.name().isEmpty()) GTEST_SKIP() << "no virtual desktop (Xvfb, openbox, AT-SPI)";
    Installation installation;
    ASSERT_TRUE(installation.startSimulator({"--rate", "9600", "--entry-fields", "dates",
                                             "--dial-ok-at-once", "--dial-outcome", "busy"}));
    installation.startConsole(&display);
    ASSERT_TRUE(installation.startedUp());

    ASSERT_TRUE(display.press("GSM-APPLICATION", "alt+v"));
    EXPECT_TRUE(waitFor(
        [&] { return phonebookRows(installation.path("PhoneBook.mdb")) == kSimulatedEntries; }, 60))
        << phonebookRows(installation.path("PhoneBook.mdb")).join(", ").toStdString();
    QThread::sleep(3); // the download's last step

    ASSERT_TRUE(display.click("GSM-Call", "text", "Number To Dial"));
    display.type("0 6 1 2 3 4 5 6 7 8");
    ASSERT_TRUE(display.click("GSM-Call", "push button", "Dial"));
    EXPECT_TRUE(waitFor([&] { return installation.received().contains("ATD0612345678;\r"); }, 10))
        << installation.received().toStdString();
    EXPECT_TRUE(
        waitFor([&] { return display.shows("GSM-Call", "label", "Busy.Plz Disconnect"); }, 30));
    QThread::sleep(4); // the dial's watch looks again
    EXPECT_TRUE(display.shows("GSM-Call", "label", "Busy.Plz Disconnect"));
}

// A module of u-blox's kind: "call" the sixth indicator, registers unpadded,
// the registration with its cell. The network window names the registration,
// and the incoming-call window can answer, and goes when the caller hangs up.
TEST(EndToEndTest, TheIncomingCallWindowFollowsACallUnderAnotherIndicatorOrder) {
    Display display;
    if (display.name().isEmpty()) GTEST_SKIP() << "no virtual desktop (Xvfb, openbox, AT-SPI)";
    Installation installation;
    ASSERT_TRUE(installation.startSimulator({"--rate", "9600", "--indicator-order", "ublox",
                                             "--unpadded-registers", "--creg-location-always",
                                             "--access-technology", "0"}));
    installation.startConsole(&display);
    ASSERT_TRUE(installation.startedUp());
    EXPECT_TRUE(display.shows("GSM-N/W", "label", "Registered/Home Network"));

    installation.happens("call 0612345678");
    ASSERT_TRUE(
        waitFor([&] { return display.shows("Call Received.....", "push button", "Answer"); }, 20));
    EXPECT_TRUE(display.showing("Call Received.....", "push button", "Answer")->enabled);
    QThread::sleep(5); // the call watch looks at the indicators while it rings
    EXPECT_TRUE(display.shows("Call Received.....", "push button", "Answer"));

    installation.happens("hangup");
    EXPECT_TRUE(
        waitFor([&] { return !display.shows("Call Received.....", "push button", "Answer"); }, 20));
    EXPECT_TRUE(installation.console.state() == QProcess::Running);
}

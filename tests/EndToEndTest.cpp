// The real console binary against the standalone simulated modem on a
// pseudo-terminal, in real time, from a fresh program folder.

#include "tests/Fixture.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

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
    void startConsole(const QString& display = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", display.isEmpty() ? "offscreen" : "xcb");
        if (!display.isEmpty()) env.insert("DISPLAY", display);
        console.setProcessEnvironment(env);
        console.setWorkingDirectory(QDir::tempPath()); // it finds its own folder
        console.start(path("gsmconsole"), {});
        console.waitForStarted(10000);
    }
    QByteArray received() const { return readAll(path("received.bin")); }

    QTemporaryDir folder;
    QProcess simulator;
    QProcess console;
};

// A virtual X display and keyboard input to it, for pressing the console's
// buttons as a user would.
class Display {
  public:
    Display() {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
            QStandardPaths::findExecutable("xdotool").isEmpty())
            return;
        server_.start("Xvfb",
                      {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        if (server_.waitForReadyRead(10000))
            name_ = ":" + QString::fromLatin1(server_.readLine().trimmed());
    }
    ~Display() {
        server_.terminate();
        server_.waitForFinished(3000);
    }
    const QString& name() const { return name_; }

    // Runs xdotool on this display; its output.
    QByteArray xdotool(const QStringList& arguments) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", name_);
        tool.setProcessEnvironment(env);
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
        xdotool({"key", "--clearmodifiers", keys});
        return true;
    }
    bool isShown(const QString& title) {
        return !xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}).isEmpty();
    }

  private:
    QProcess server_;
    QString name_;
};

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
    installation.startConsole(display.name());
    ASSERT_TRUE(waitFor([&] { return installation.received().contains("AT+ICF?\r"); }, 150));
    QThread::sleep(6); // the framing reply completes the start-up, two or three seconds later

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
    installation.startConsole(display.name());
    ASSERT_TRUE(waitFor([&] { return installation.received().contains("AT+ICF?\r"); }, 150));
    QThread::sleep(6); // the framing reply completes the start-up

    ASSERT_TRUE(display.press("GSM-APPLICATION", "alt+v"));
    EXPECT_TRUE(waitFor([&] { return installation.received().contains("AT+CPBR=4\r"); }, 60))
        << installation.received().toStdString();
    const QStringList expected = {"1|0123456789|JOHN", "2|+441632960961|OFFICE",
                                  "4|0207946000|HOME"};
    EXPECT_TRUE(
        waitFor([&] { return phonebookRows(installation.path("PhoneBook.mdb")) == expected; }, 20))
        << phonebookRows(installation.path("PhoneBook.mdb")).join(", ").toStdString();
}

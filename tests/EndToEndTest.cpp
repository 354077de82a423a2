// The real console binary against the standalone simulated modem on a
// pseudo-terminal, in real time, from a fresh program folder.

#include "tests/Fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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
    void startConsole() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
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

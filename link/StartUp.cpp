// Start-up: the saved port in COM.txt, the search for a port on which a modem
// answers, and taking the port found into use.

#include "link/Log.h"
#include "link/ModemLink.h"
#include "link/replies/Identity.h"
#include "platform/Files.h"
#include "platform/Services.h"

namespace {

const QString kPortFile = QStringLiteral("COM.txt");
const QString kSerialQuery = QStringLiteral("AT+CGSN");
// The settings the search tries on every candidate port: each standard rate,
// slowest first, with no parity, 8 data bits and 1 stop bit.
QStringList searchSettings() {
    QStringList settings;
    for (const QString& rate : LineSettings::standardRates())
        settings << rate + QStringLiteral(",n,8,1");
    return settings;
}

// Ends the start-up: there is no port to search.
struct NoCandidatePort : Failure {
    NoCandidatePort() : Failure("no port to search") {}
};

// A saved line the start-up cannot use.
struct UnusableLine : Failure {
    using Failure::Failure;
};

bool isPortHeld(const CommError& e) {
    return e.description() == QLatin1String("Port already open");
}

// The port part of a saved line, as a 16-bit whole number.
int savedPortNumber(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toShort(&ok);
    if (!ok) throw UnusableLine("port number");
    return port;
}

// Closes every file the program holds; one that could not take the old
// one's place is told, and keeps the old one.
void closeAllFilesTelling() {
    try {
        Files::instance().closeAll();
    } catch (const Files::Error& e) {
        Services::instance().message(e.description());
    }
}

} // namespace

void ModemLink::StartUp() {
    try {
        try {
            readSavedPorts();
        } catch (const CommError& e) {
            if (!isPortHeld(e)) throw;
            view_.enablePortSettings();
            buildPortList();
            view_.note(QStringLiteral("Port Selected Already Open in Other Application"));
            startSearch();
        }
    } catch (const Failure& failure) {
        // Anything else ends the start-up quietly.
        failures::logFailure(lcLink, failure);
    } catch (const std::exception& fault) {
        failures::reportFault(lcLink, fault.what());
    }
    // Whatever ended it, the start-up no longer holds COM.txt open.
    Files::instance().closeAll();
}

void ModemLink::readSavedPorts() {
    Files& files = Files::instance();
    const int number = files.freeNumber();
    files.openForInput(number, kPortFile);
    while (!files.atEnd(number)) {
        const QString line = files.readLine(number);
        view_.enablePortSettings();
        if (line.isEmpty()) {
            buildPortList();
            startSearch();
            continue;
        }
        const int blank = line.indexOf(QLatin1Char(' '));
        if (blank < 0) throw UnusableLine("saved line without a blank");
        const QString settings = line.left(blank).trimmed();
        MSComm1().openAt(savedPortNumber(line.mid(blank + 1)), settings);
        view_.showWindow();
        if (!modemAnswers()) {
            MSComm1().setPortOpen(false);
            buildPortList();
            startSearch();
            continue;
        }
        takePortIntoUse(settings);
    }
}

void ModemLink::buildPortList() {
    candidates_.clear();
    for (int port = 1; port <= 16; ++port)
        if (PortEnvironment::instance().exists(port)) candidates_ << QString::number(port);
    view_.setCandidatePorts(candidates_);
    view_.showWindow();
    if (candidates_.isEmpty()) {
        const QStringList freePorts = ListFreePorts();
        candidates_ = freePorts;
        view_.setCandidatePorts(candidates_);
        if (freePorts.isEmpty())
            Services::instance().message(QStringLiteral("No Comm Ports Present"), kMessageTitle);
    }
    if (candidates_.isEmpty()) throw NoCandidatePort();
    view_.selectCandidatePort(0);
    portCount = static_cast<int>(candidates_.size());
}

void ModemLink::startSearch() {
    view_.note(QStringLiteral("Checking For Available Communication Ports"));
    view_.note(QStringLiteral("Found  ") + QString::number(candidates_.size()) +
               QStringLiteral(" Ports"));
    view_.note(QStringLiteral("Detecting Modem Present.."));
    scanCount = portCount;
    scanIndex = QStringLiteral("0");
    FindModemPort();
}

QStringList ModemLink::ListFreePorts() {
    // Listed anew: a second start-up would otherwise try every free port twice.
    QStringList freePorts;
    for (int port = 1; port <= 32; ++port)
        if (PortEnvironment::instance().canOpenExclusively(port))
            freePorts << QStringLiteral(" ") + QString::number(port);
    view_.setFreePorts(freePorts);
    return freePorts;
}

void ModemLink::FindModemPort() {
    while (scanIndex != QString::number(scanCount)) {
        try {
            if (tryCandidate()) return;
        } catch (const CommError& e) {
            if (!isPortHeld(e)) {
                Services::instance().message(e.description());
                return;
            }
        } catch (const Failure& e) {
            Services::instance().message(QString::fromLocal8Bit(e.what()));
            return;
        } catch (const std::exception& fault) {
            failures::reportFault(lcLink, fault.what());
            return;
        }
        nextCandidate();
    }
}

bool ModemLink::tryCandidate() {
    const int index = scanIndex.toInt();
    view_.selectCandidatePort(index);
    const QString entry = candidates_.value(index);
    MSComm1().setCommPort(entry.trimmed().toInt());
    view_.setStatus(QStringLiteral("Scanning Port  ") + entry);
    for (const QString& settings : searchSettings()) {
        if (!MSComm1().PortOpen()) MSComm1().setPortOpen(true);
        MSComm1().setSettings(settings);
        if (MSComm1().Settings() == settings) {
            if (modemAnswers()) {
                takePortIntoUse(settings);
                return true;
            }
        }
        MSComm1().setPortOpen(false);
    }
    return false;
}

bool ModemLink::modemAnswers() {
    link().sendCommand(kSerialQuery, 1);
    return Text1().contains(QStringLiteral("OK"));
}

void ModemLink::nextCandidate() {
    if (MSComm1().PortOpen()) MSComm1().setPortOpen(false);
    scanIndex = QString::number(scanIndex.toInt() + 1);
    // Also when the last candidate was held by another program: the search
    // ends as one without result.
    if (scanIndex.toInt() == candidates_.size()) {
        view_.setStatus(QStringLiteral("No Modem Device Found.Set The Comm Ports"));
        view_.enablePortSettings();
    }
}

void ModemLink::takePortIntoUse(const QString& settings) {
    MSComm1().setSettings(settings);
    takeSerialNumber();
    ShowPortStatus();
    SavePortAndCheckSIM();
    Text1().clear();
}

void ModemLink::takeSerialNumber() {
    // After the echo when the modem echoes.
    actions_.console.serialNumber(replies::serialNumber(Text1().afterEcho(kSerialQuery)));
}

void ModemLink::SavePortAndCheckSIM() {
    ShowPortStatus();
    view_.showWindow();
    CheckSIM();
    actions_.console.showSignalWindow();
    Files& files = Files::instance();
    try {
        files.openForOutput(1, kPortFile);
    } catch (const Files::Error& e) {
        // Still open for reading by the start-up: the file keeps its line.
        closeAllFilesTelling();
        if (e.description() != QLatin1String("File already open"))
            Services::instance().message(e.description());
        return;
    }
    try {
        files.write(1, view_.portSettingsLine() + QLatin1Char(' ') +
                           QString::number(MSComm1().CommPort()) + QStringLiteral("\r\n"));
    } catch (const Files::Error& e) {
        Services::instance().message(e.description());
    }
    closeAllFilesTelling();
}

void ModemLink::ProbePortAfterSettings() {
    ShowPortStatus();
    view_.showWindow();
    if (!modemAnswers()) {
        view_.setStatus(QStringLiteral("Check If Modem Is Connected Properly"));
        view_.note(QStringLiteral("Check If Modem Is Connected Properly."));
        return;
    }
    takePortIntoUse(view_.portSettingsLine());
}

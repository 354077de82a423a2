// Start-up: the saved port in COM.txt, the search for a port on which a modem
// answers, and taking the port found into use.

#include "console/Form1.h"
#include "console/Form2.h"
#include "console/Form7.h"
#include "platform/Clock.h"
#include "platform/FeatureWindow.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "platform/Services.h"
#include "ui_Form1.h"

#include <QRegularExpression>

namespace {

const QString kPortFile = QStringLiteral("COM.txt");
const QString kSerialQuery = QStringLiteral("AT+CGSN");
constexpr int kSerialNumberLength = 15;

// The serial number: the first line of the reply, after the echo when the
// modem echoes, short of the final result.
QString serialNumber(const TerminalLog& log) {
    const QString reply = log.afterEcho(kSerialQuery);
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    const QStringList lines = reply.split(lineBreaks, Qt::SkipEmptyParts);
    return lines.isEmpty() || lines.first().trimmed() == QLatin1String("OK")
               ? QString()
               : lines.first().left(kSerialNumberLength);
}

// The rates the search tries on every candidate port, slowest first.
const QStringList kSearchSettings = {
    QStringLiteral("300,n,8,1"),    QStringLiteral("600,n,8,1"),   QStringLiteral("1200,n,8,1"),
    QStringLiteral("2400,n,8,1"),   QStringLiteral("4800,n,8,1"),  QStringLiteral("9600,n,8,1"),
    QStringLiteral("19200,n,8,1"),  QStringLiteral("38400,n,8,1"), QStringLiteral("57600,n,8,1"),
    QStringLiteral("115200,n,8,1"),
};

// Ends the start-up: there is no port to search.
struct NoCandidatePort : std::runtime_error {
    NoCandidatePort() : std::runtime_error("no port to search") {}
};

bool isPortHeld(const CommError& e) {
    return e.description() == QLatin1String("Port already open");
}

// The port part of a saved line, as a 16-bit whole number.
int savedPortNumber(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toShort(&ok);
    if (!ok) throw std::invalid_argument("port number");
    return port;
}

} // namespace

void Form1::Form_Load() {
    Services::instance().enterProgramFolder();
    ui->Label9->setText(QStringLiteral("System Started  ") +
                        Clock::instance().now().toString(QStringLiteral("dd/MM/yyyy,HH:mm:ss")));
    ui->List1->addItem(QString(22, QLatin1Char(' ')) +
                       QStringLiteral("Welcome To Kovalt Telecom Application"));
    try {
        try {
            readSavedPorts();
        } catch (const CommError& e) {
            if (!isPortHeld(e)) throw;
            ui->Command7->setEnabled(true);
            buildPortList();
            ui->List1->addItem(QStringLiteral("Port Selected Already Open in Other Application"));
            startSearch();
        }
    } catch (const std::exception&) {
        // Anything else ends the start-up quietly.
    }
    // Whatever ended it, the start-up no longer holds COM.txt open.
    Files::instance().closeAll();
}

void Form1::readSavedPorts() {
    Files& files = Files::instance();
    const int number = files.freeNumber();
    files.openForInput(number, kPortFile);
    while (!files.atEnd(number)) {
        const QString line = files.readLine(number);
        ui->Command7->setEnabled(true);
        if (line.isEmpty()) {
            buildPortList();
            startSearch();
            continue;
        }
        const int blank = line.indexOf(QLatin1Char(' '));
        if (blank < 0) throw std::invalid_argument("saved line without a blank");
        const QString settings = line.left(blank).trimmed();
        MSComm1().setCommPort(savedPortNumber(line.mid(blank + 1)));
        MSComm1().setSettings(settings);
        MSComm1().setRThreshold(1);
        MSComm1().setSThreshold(1);
        MSComm1().setInputMode(1);
        MSComm1().setPortOpen(true);
        Show();
        link().sendCommand(kSerialQuery, 1);
        if (!Text1().contains(QStringLiteral("OK"))) {
            MSComm1().setPortOpen(false);
            buildPortList();
            startSearch();
            continue;
        }
        takePortIntoUse(settings);
    }
}

void Form1::buildPortList() {
    ui->Combo1->clear();
    for (int port = 1; port <= 16; ++port)
        if (PortEnvironment::instance().exists(port)) ui->Combo1->addItem(QString::number(port));
    Show();
    if (ui->Combo1->count() == 0) {
        ListFreePorts();
        for (int i = 0; i < ui->Combo2->count(); ++i)
            ui->Combo1->addItem(ui->Combo2->itemText(i));
        if (ui->Combo2->count() == 0)
            Services::instance().message(QStringLiteral("No Comm Ports Present"), kMessageTitle);
    }
    if (ui->Combo1->count() == 0) throw NoCandidatePort();
    ui->Combo1->setCurrentIndex(0);
    portCount = ui->Combo1->count();
}

void Form1::startSearch() {
    ui->List1->addItem(QStringLiteral("Checking For Available Communication Ports"));
    ui->List1->addItem(QStringLiteral("Found  ") + QString::number(ui->Combo1->count()) +
                       QStringLiteral(" Ports"));
    ui->List1->addItem(QStringLiteral("Detecting Modem Present.."));
    scanCount = portCount;
    scanIndex = QStringLiteral("0");
    FindModemPort();
}

void Form1::ListFreePorts() {
    // Emptied first: a second start-up would otherwise try every free port twice.
    ui->Combo2->clear();
    for (int port = 1; port <= 32; ++port)
        if (PortEnvironment::instance().canOpenExclusively(port))
            ui->Combo2->addItem(QStringLiteral(" ") + QString::number(port));
}

void Form1::FindModemPort() {
    while (scanIndex != QString::number(scanCount)) {
        try {
            if (tryCandidate()) return;
        } catch (const CommError& e) {
            if (!isPortHeld(e)) {
                Services::instance().message(e.description());
                return;
            }
        } catch (const std::exception& e) {
            Services::instance().message(QString::fromLocal8Bit(e.what()));
            return;
        }
        nextCandidate();
    }
}

bool Form1::tryCandidate() {
    const int index = scanIndex.toInt();
    ui->Combo1->setCurrentIndex(index);
    const QString entry = ui->Combo1->itemText(index);
    MSComm1().setCommPort(entry.trimmed().toInt());
    ui->Label5->setText(QStringLiteral("Scanning Port  ") + entry);
    for (const QString& settings : kSearchSettings) {
        if (!MSComm1().PortOpen()) MSComm1().setPortOpen(true);
        MSComm1().setSettings(settings);
        if (MSComm1().Settings() == settings) {
            link().sendCommand(kSerialQuery, 1);
            if (Text1().contains(QStringLiteral("OK"))) {
                takePortIntoUse(settings);
                return true;
            }
        }
        MSComm1().setPortOpen(false);
    }
    return false;
}

void Form1::nextCandidate() {
    if (MSComm1().PortOpen()) MSComm1().setPortOpen(false);
    scanIndex = QString::number(scanIndex.toInt() + 1);
    // Also when the last candidate was held by another program: the search
    // ends as one without result.
    if (scanIndex.toInt() == ui->Combo1->count()) {
        ui->Label5->setText(QStringLiteral("No Modem Device Found.Set The Comm Ports"));
        ui->Command7->setEnabled(true);
    }
}

void Form1::takePortIntoUse(const QString& settings) {
    MSComm1().setSettings(settings);
    takeSerialNumber();
    ShowPortStatus();
    SavePortAndCheckSIM();
    Text1().clear();
}

void Form1::takeSerialNumber() {
    form<Form2>().ShowSerialNumber(serialNumber(Text1()));
}

void Form1::SavePortAndCheckSIM() {
    ShowPortStatus();
    Show();
    CheckSIM();
    form<Form7>().Show();
    Files& files = Files::instance();
    try {
        files.openForOutput(1, kPortFile);
    } catch (const Files::Error& e) {
        // Still open for reading by the start-up: the file keeps its line.
        files.closeAll();
        if (e.description() != QLatin1String("File already open"))
            Services::instance().message(e.description());
        return;
    }
    try {
        files.write(1, ui->Label3->text() + QLatin1Char(' ') +
                           QString::number(MSComm1().CommPort()) + QStringLiteral("\r\n"));
    } catch (const Files::Error& e) {
        Services::instance().message(e.description());
    }
    files.closeAll();
}

void Form1::Form_Resize() {
    followWithCompanion(*this);
}

void Form1::Form_Unload() {
    if (MSComm1().PortOpen()) {
        link().write(QStringLiteral("AT&W\r"));
        Pause(1);
    }
    if (Forms::instance().isLoaded<Form7>()) form<Form7>().hide();
    Services::instance().endProgram();
}

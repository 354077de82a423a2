#include "link/frmSettings.h"

#include "link/Log.h"

#include "ui_frmSettings.h"

#include "link/MainLines.h"
#include "platform/Forms.h"
#include "platform/MSComm.h"
#include "platform/Services.h"
#include "platform/Widgets.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace {

const QString kNoPort = QStringLiteral("<none>");
const QString kHeldMark = QStringLiteral(" - Not Available");
constexpr int kLastPort = 32;
constexpr int kOk = 0;

// The section of the settings store is the control's name followed by its
// index in its control array. The main window's serial control belongs to no
// array, so its section is the empty text: the store keeps its values at its
// top level.
const QString kStoreSection;

// The codes behind the options, by option index.
const std::array<QString, 3> kParityLetters = {QStringLiteral("E"), QStringLiteral("O"),
                                               QStringLiteral("N")};
const std::array<int, 2> kDataBits = {7, 8};
const std::array<int, 2> kStopBits = {1, 2};
const std::array<int, 4> kHandshakes = {NoHandshaking, XonXoff, RtsCts, RtsCtsXonXoff};

// Selects the option that stands for `code`; a code without an option selects nothing.
template <class Code, size_t N>
void selectByCode(const std::array<QRadioButton*, N>& options, const std::array<Code, N>& codes,
                  const Code& code) {
    for (size_t i = 0; i < N; ++i) {
        if (codes[i] == code) {
            selectOption(options[i]);
            return;
        }
    }
}

// The code of the selected option; the last code when none of the others is selected.
template <class Code, size_t N>
Code chosenCode(const std::array<QRadioButton*, N>& options, const std::array<Code, N>& codes) {
    for (size_t i = 0; i + 1 < N; ++i)
        if (options[i]->isChecked()) return codes[i];
    return codes[N - 1];
}

// A property the control refuses keeps its previous value; the dialog goes on.
template <class Step> void skipIfRefused(Step step) {
    try {
        step();
    } catch (const CommError&) {
    }
}

struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

void closePort(MSComm& port) {
    while (port.PortOpen()) {
        port.setPortOpen(false);
        QCoreApplication::processEvents();
    }
}

} // namespace

frmSettings::frmSettings() : ui(std::make_unique<Ui::frmSettings>()) {
    setLayer(lcLink);
    ui->setupUi(this);
    parity_ = {ui->optParity0, ui->optParity1, ui->optParity2};
    dataBits_ = {ui->optDataBits0, ui->optDataBits1};
    stopBits_ = {ui->optStopBits0, ui->optStopBits1};
    handshake_ = {ui->optHandshake0, ui->optHandshake1, ui->optHandshake2, ui->optHandshake3};
    action_ = {ui->cmdAction0, ui->cmdAction1};
    for (QRadioButton* option : dataBits_)
        connect(option, &QRadioButton::clicked, this, [this] { optDataBits_Click(); });
    for (int i = 0; i < static_cast<int>(handshake_.size()); ++i)
        connect(optHandshake(i), &QRadioButton::clicked, this,
                [this, i] { optHandshake_Click(i); });
    for (int i = 0; i < static_cast<int>(action_.size()); ++i)
        connect(cmdAction(i), &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    setBorder(Border::Fixed);
    setClientTwips(4935, 3405);
}

frmSettings::~frmSettings() = default;

void frmSettings::CommSettings(MSComm* ctl, const QString& title) {
    if (!ctl) {
        Services::instance().message(QStringLiteral("No serial communications control specified."),
                                     kMessageTitle, Services::Icon::Critical);
        if (Forms::instance().isLoaded<frmSettings>()) form<frmSettings>().close();
        return;
    }
    // Taken afresh at every opening: a port left closed at an earlier opening
    // says nothing about this one.
    const bool wasClosed = !ctl->PortOpen();
    closePort(*ctl);
    frmSettings& dialog = form<frmSettings>();
    dialog.m_CommCtl = ctl;
    dialog.m_PortWasClosed = wasClosed;
    dialog.SetTopMost(true);
    dialog.showWhileScanning();
    dialog.fill(title);
}

// The dialog's first use in an opening: it comes up with the scanning
// caption and its buttons disabled while the port scan runs. Touching the
// dialog any other way leaves it hidden in its design state.
void frmSettings::showWhileScanning() {
    setWindowTitle(QStringLiteral("Scanning available comm hardware..."));
    cmdAction(0)->setEnabled(false);
    cmdAction(1)->setEnabled(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move((screen->size().width() - width()) / 2, (screen->size().height() - height()) / 2);
    show();
    repaint();
    ui->cboBaud->addItems(LineSettings::standardRates());
}

// OK, Cancel and the close box all leave through here.
void frmSettings::Form_Unload() {
    if (m_CommCtl && !m_PortWasClosed && !m_CommCtl->PortOpen())
        skipIfRefused([this] { m_CommCtl->setPortOpen(true); });
    mainwindow::show();
}

void frmSettings::SetTopMost(bool topMost) {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (shown) show();
}

void frmSettings::fill(const QString& title) {
    {
        BusyCursor busy;
        buildPortList();
        takeControlState();
        presetChoices();
    }
    setWindowTitle(title);
    cmdAction(0)->setEnabled(true);
    cmdAction(1)->setEnabled(true);
}

void frmSettings::buildPortList() {
    ui->cboPort->clear();
    ui->cboPort->addItem(kNoPort);
    const PortEnvironment& ports = PortEnvironment::instance();
    for (int port = 1; port <= kLastPort; ++port) {
        const QString entry = QStringLiteral(" ") + QString::number(port);
        if (ports.canOpenExclusively(port))
            ui->cboPort->addItem(entry);
        else if (ports.isRefused(port))
            ui->cboPort->addItem(entry + kHeldMark);
    }
}

void frmSettings::takeControlState() {
    m_Port = m_PortWasClosed ? QStringLiteral("0") : QString::number(m_CommCtl->CommPort());
    const QStringList parts = m_CommCtl->Settings().split(QLatin1Char(','));
    m_Baud = parts.value(0, m_Baud);
    m_Parity = parts.value(1, m_Parity);
    m_DataBits = parts.value(2, QString::number(m_DataBits)).toInt();
    m_StopBits = parts.value(3, QString::number(m_StopBits)).toInt();
    m_Handshake = m_CommCtl->Handshaking();
}

void frmSettings::presetChoices() {
    presetPort();
    presetRate();
    selectByCode(parity_, kParityLetters, m_Parity.toUpper());
    selectByCode(dataBits_, kDataBits, m_DataBits);
    selectByCode(stopBits_, kStopBits, m_StopBits);
    selectByCode(handshake_, kHandshakes, m_Handshake);
}

// The port in use, or "<none>" when it is not listed or was closed.
void frmSettings::presetPort() {
    for (int i = 0; i < ui->cboPort->count(); ++i) {
        if (ui->cboPort->itemText(i).trimmed() == m_Port) {
            ui->cboPort->setCurrentIndex(i);
            return;
        }
    }
    ui->cboPort->setCurrentIndex(0);
}

// The rate in use, or the last one when it is not listed.
void frmSettings::presetRate() {
    const int at = ui->cboBaud->findText(m_Baud);
    ui->cboBaud->setCurrentIndex(at >= 0 ? at : ui->cboBaud->count() - 1);
}

void frmSettings::cmdAction_Click(int index) {
    if (index == kOk && !applyChoices()) return;
    close();
}

bool frmSettings::applyChoices() {
    closePort(*m_CommCtl);
    const QString entry = ui->cboPort->currentText();
    if (entry.contains(QLatin1String("none"))) {
        Services::instance().saveSetting(kStoreSection, QStringLiteral("Port"),
                                         QStringLiteral("0"));
        m_PortWasClosed = true;
        return true;
    }
    if (entry.contains(kHeldMark)) {
        Services::instance().message(
            QStringLiteral("Port") + entry.left(entry.indexOf(kHeldMark)) +
                QStringLiteral(" is already open by another process. Please select a different "
                               "Comm port."),
            kMessageTitle);
        return false;
    }
    readChoices();
    const ControlState before{m_CommCtl->CommPort(), m_CommCtl->Settings(),
                              m_CommCtl->Handshaking()};
    try {
        applyToControl();
        openWithChoices();
    } catch (const CommError& refused) {
        // The port cannot run the chosen line: nothing of it is kept or
        // stored, and the user chooses again.
        restore(before);
        Services::instance().message(refused.description(), kMessageTitle,
                                     Services::Icon::Critical);
        return false;
    }
    saveToStore();
    m_PortWasClosed = false;
    return true;
}

void frmSettings::readChoices() {
    m_DataBits = chosenCode(dataBits_, kDataBits);
    m_StopBits = chosenCode(stopBits_, kStopBits);
    m_Parity = chosenCode(parity_, kParityLetters);
    m_Baud = ui->cboBaud->currentText();
    m_Port = ui->cboPort->currentText().trimmed();
}

void frmSettings::applyToControl() {
    const QString settings = m_Baud + QLatin1Char(',') + m_Parity + QLatin1Char(',') +
                             QString::number(m_DataBits) + QLatin1Char(',') +
                             QString::number(m_StopBits);
    skipIfRefused([this] { m_CommCtl->setCommPort(m_Port.toInt()); });
    m_CommCtl->setSettings(settings);
    skipIfRefused([this] { m_CommCtl->setHandshaking(m_Handshake); });
}

// Only the open port tells whether the device runs the line: a line it
// refuses is passed on. A port that fails to open otherwise (another program
// took it meanwhile) keeps the choices and stays closed.
void frmSettings::openWithChoices() {
    try {
        m_CommCtl->setPortOpen(true);
    } catch (const CommError& e) {
        if (e.number() == CommError::invalidPropertyValue().number()) throw;
    }
}

void frmSettings::restore(const ControlState& state) {
    skipIfRefused([&] { m_CommCtl->setCommPort(state.port); });
    skipIfRefused([&] { m_CommCtl->setSettings(state.settings); });
    skipIfRefused([&] { m_CommCtl->setHandshaking(state.handshaking); });
}

// What the control took, read back from it.
void frmSettings::saveToStore() {
    Services& store = Services::instance();
    store.saveSetting(kStoreSection, QStringLiteral("Settings"), m_CommCtl->Settings());
    store.saveSetting(kStoreSection, QStringLiteral("Port"),
                      QString::number(m_CommCtl->CommPort()));
    store.saveSetting(kStoreSection, QStringLiteral("Handshaking"),
                      QString::number(m_CommCtl->Handshaking()));
}

// Two stop bits only go with seven data bits.
void frmSettings::optDataBits_Click() {
    const bool eightBits = optDataBits(1)->isChecked();
    if (eightBits) selectOption(optStopBits(0));
    optStopBits(1)->setEnabled(!eightBits);
}

void frmSettings::optHandshake_Click(int index) {
    if (optHandshake(index)->isChecked()) m_Handshake = kHandshakes.at(static_cast<size_t>(index));
}

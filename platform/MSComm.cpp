#include "platform/MSComm.h"

#include "platform/TypedText.h"

#include <QMetaObject>
#include <QStringList>

const QStringList& LineSettings::standardRates() {
    static const QStringList rates = {QStringLiteral("300"),   QStringLiteral("600"),
                                      QStringLiteral("1200"),  QStringLiteral("2400"),
                                      QStringLiteral("4800"),  QStringLiteral("9600"),
                                      QStringLiteral("19200"), QStringLiteral("38400"),
                                      QStringLiteral("57600"), QStringLiteral("115200")};
    return rates;
}

std::optional<LineSettings> LineSettings::parse(const QString& text) {
    static const QList<int> rates = {110,   300,   600,   1200,  2400,  4800,   9600,   14400,
                                     19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000};
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    LineSettings s;
    bool ok = false;
    s.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || !rates.contains(s.baud)) return std::nullopt;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NEOMS").contains(parity)) return std::nullopt;
    s.parity = parity[0].toLatin1();
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 4 || s.dataBits > 8) return std::nullopt;
    const QString stop = parts[3].trimmed();
    if (stop != QLatin1String("1") && stop != QLatin1String("1.5") && stop != QLatin1String("2"))
        return std::nullopt;
    s.stopBits = stop.toDouble();
    return s;
}

MSComm::MSComm(QObject* parent) : QObject(parent) {}

MSComm::~MSComm() {
    if (backend_) backend_->close();
}

void MSComm::setCommPort(int port) {
    if (PortOpen()) throw CommError::portAlreadyOpen();
    if (port < 1 || port > 16383) throw CommError::invalidPortNumber();
    port_ = port;
}

// A value is taken only once the device runs it: a refused one leaves the
// property, and the line, as they were.
void MSComm::setSettings(const QString& settings) {
    const auto parsed = LineSettings::parse(settings);
    if (!parsed || !parsed->isRunnable()) throw CommError::invalidPropertyValue();
    if (backend_) backend_->configure(*parsed, handshaking_);
    settings_ = settings;
    line_ = *parsed;
}

void MSComm::setHandshaking(int handshaking) {
    if (handshaking < NoHandshaking || handshaking > RtsCtsXonXoff)
        throw CommError::invalidPropertyValue();
    if (backend_) backend_->configure(line_, handshaking);
    handshaking_ = handshaking;
}

void MSComm::raiseEveryEvent() {
    setRThreshold(1);
    setSThreshold(1);
    setInputMode(1);
}

void MSComm::openAt(int port, const QString& settings) {
    setCommPort(port);
    setSettings(settings);
    raiseEveryEvent();
    setPortOpen(true);
}

void MSComm::setPortOpen(bool open) {
    if (open == PortOpen()) {
        if (open) throw CommError::portAlreadyOpen();
        return;
    }
    if (!open) {
        auto backend = std::move(backend_);
        backend->close();
        input_.clear();
        return;
    }
    auto backend = PortEnvironment::instance().backend(port_);
    backend->received = [this](const QByteArray& bytes) { bytesArrived(bytes); };
    backend->sent = [this] {
        if (sThreshold_ > 0) raise(comEvSend);
    };
    backend->error = [this](int event) { lineError(event); };
    backend->open(line_, handshaking_);
    backend_ = std::move(backend);
}

QByteArray MSComm::Input() {
    QByteArray taken;
    taken.swap(input_);
    return taken;
}

void MSComm::setOutput(const QString& text) {
    if (!backend_) throw CommError::portNotOpen();
    if (!typed::isLineText(text)) throw CommError::invalidPropertyValue();
    backend_->write(text.toLatin1());
}

void MSComm::bytesArrived(const QByteArray& bytes) {
    input_.append(bytes);
    // One receive event stands for everything buffered until its handler reads it.
    if (rThreshold_ <= 0 || receivePending_) return;
    receivePending_ = true;
    raise(comEvReceive);
}

void MSComm::lineError(int event) {
    if (!isDeviceLost(event)) {
        raise(event);
        return;
    }
    // The errors that keep coming until the port is closed are not passed on.
    if (closingLostDevice_) return;
    closingLostDevice_ = true;
    // Closed from the event loop, not from inside the device's own notification.
    QMetaObject::invokeMethod(
        this,
        [this, event, lost = backend_.get()] {
            closingLostDevice_ = false;
            if (backend_.get() != lost) return; // closed, or opened anew, meanwhile
            setPortOpen(false);
            raise(event);
        },
        Qt::QueuedConnection);
}

void MSComm::raise(int event) {
    // Events reach the handler from the event loop, never from inside the device's
    // own notification, so that arrivals during a handler's wait nest inside it.
    QMetaObject::invokeMethod(
        this,
        [this, event] {
            if (event == comEvReceive) receivePending_ = false;
            event_ = event;
            emit OnComm();
        },
        Qt::QueuedConnection);
}

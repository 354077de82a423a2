#include "link/ModemLink.h"
#include "link/Log.h"
#include "link/Modem.h"
#include "link/replies/Calls.h"

#include "platform/Clock.h"
#include "platform/Handlers.h"
#include "platform/Text.h"

#include <QPointer>
#include <QScopeGuard>

#include <stdexcept>
#include <utility>

namespace {

std::function<ModemLink&()>& provider() {
    static std::function<ModemLink&()> installed;
    return installed;
}

} // namespace

ModemLink::ModemLink(ConsoleView& view, LinkActions actions, QObject* parent)
    : QObject(parent), Timer2(this, 2000, false), view_(view), actions_(actions) {
    // A search that starts before any saved port was opened needs every
    // received character too.
    MSComm1().raiseEveryEvent();
    link_.setDispatcher([this](const QString& received) { ProcessModemData(received); });
    link_.setDeviceLostHandler([this] { ShowModemDisconnected(); });
    connect(&Timer2, &Timer::tick, this, &ModemLink::Timer2_Timer);
}

ModemLink::~ModemLink() = default;

void ModemLink::setProvider(std::function<ModemLink&()> linkProvider) {
    provider() = std::move(linkProvider);
}

ModemLink& ModemLink::reach() {
    if (!provider()) throw std::logic_error("no modem link");
    return provider()();
}

int ModemLink::getCountOf(const QString& text, const QString& find) {
    if (find.isEmpty()) return 0;
    int count = 0;
    for (qsizetype at = text.indexOf(find); at >= 0; at = text.indexOf(find, at + 1))
        ++count;
    return count;
}

QString ModemLink::StrDel(QString& text, const QString& find) {
    const qsizetype at = find.isEmpty() ? -1 : text.indexOf(find);
    if (at < 0) return QString();
    text.remove(at, find.size());
    return text;
}

void ModemLink::LogResponse(const QString& reply) {
    Text1().append(QStringLiteral("Response Received\r\n") + reply +
                   QStringLiteral("\r\nEnd of Reponse\r\n"));
    Text1().moveCaretToEnd();
}

void ModemLink::ShowPortStatus() {
    view_.setPortLines(MSComm1().PortOpen() ? QStringLiteral("Open") : QStringLiteral("Closed"),
                       QStringLiteral("Port ") + QString::number(MSComm1().CommPort()),
                       MSComm1().Settings().toUpper());
}

void ModemLink::ShowModemDisconnected() {
    view_.setPortState(QStringLiteral("Closed"));
    view_.setStatus(QStringLiteral("Modem Disconnected.Connect It And Press REFRESH"));
}

void ModemLink::networkset() {
    runGuarded(lcLink, [&] {
        actions_.console.showSignalWindow();
        actions_.console.clearSignalReadings();
        link().sendCommand(QStringLiteral("AT"), 1, SerialLink::LogFirst::Keep);
        if (!Text1().contains(QStringLiteral("OK"))) return;
        link().sendCommand(QStringLiteral("AT+CSQ"), 1);
        link().sendCommand(QStringLiteral("AT+CREG?"), 1, SerialLink::LogFirst::Keep);
    });
}

// An exchange as any other: nothing else starts while it waits.
void ModemLink::SaveProfile() {
    if (!MSComm1().PortOpen()) return;
    link().cancelTextEntry();
    link().sendCommand(QStringLiteral("AT&W"), 1, SerialLink::LogFirst::Keep);
}

// Asked once, the first time the call watch needs them.
replies::CallIndicators ModemLink::callIndicators() {
    if (callIndicators_) return *callIndicators_;
    const QString query = QStringLiteral("AT+CIND=?");
    link().sendCommand(query, 1, SerialLink::LogFirst::Keep, exchange::Waiting::Yields::Yes);
    callIndicators_ =
        replies::callIndicators(modem::reply(query)).value_or(replies::CallIndicators());
    return *callIndicators_;
}

void ModemLink::Timer2_Timer() {
    // A tick outlasts the interval: the dispatcher collects its reply for two
    // seconds. The next tick then asks as soon as this one is over, so that
    // ticks never pile up inside each other.
    if (watchQuery_) {
        watchDue_ = true;
        return;
    }
    // Emptying the log at the end of the tick would throw away a reply that
    // another exchange is waiting for: wait for the next tick instead. What
    // still arrives for the watch's own last query does not count.
    if (link().isBusyApartFrom(lastWatchQuery_)) return;
    lastWatchQuery_ = watchQuery_ = link().lastCommand() + 1;
    const auto done = qScopeGuard([this] {
        watchQuery_ = 0;
        if (!std::exchange(watchDue_, false)) return;
        Clock& clock = Clock::instance();
        clock.schedule(clock.seconds(), [self = QPointer<ModemLink>(this)] {
            if (self && self->Timer2.Enabled()) self->Timer2_Timer();
        });
    });
    runGuarded(lcLink, [&] {
        // The query gives way: a person may answer or end the call meanwhile.
        // Only its own reply counts: neither a refusal that another exchange
        // left in the log nor a line an earlier tick could not read.
        const QString query = QStringLiteral("AT+CIND?");
        link().sendCommand(query, 1, SerialLink::LogFirst::Keep, exchange::Waiting::Yields::Yes);
        if (Text1().succeeded(query, TerminalLog::Judged::ErrorWins) == false)
            Timer2.setEnabled(false);
        const QString reply = modem::reply(query);
        if (reply.contains(QStringLiteral("+CIND:"))) {
            const std::optional<bool> call = replies::callInProgress(reply, callIndicators());
            // Cannot be read: the log stays and the next tick asks again.
            if (!call) throw text::CutError("no call indicator");
            if (!*call) {
                actions_.calls.hideIncomingCall();
                Timer2.setEnabled(false);
            }
        }
        Text1().clear();
    });
}

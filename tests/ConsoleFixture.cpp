#include "tests/ConsoleFixture.h"

ConnectedConsole::ConnectedConsole() : modem_(&ports().attachModem(3, 9600)) {
    main().MSComm1().openAt(3, "9600,n,8,1");
}

QByteArray ConnectedConsole::sent() {
    const QByteArray all = modem().received();
    const QByteArray fresh = all.mid(consumed_);
    consumed_ = all.size();
    return fresh;
}

std::vector<double> ConnectedConsole::waitsOf(const std::function<void()>& press) {
    constexpr double kLongerThanAnyHandler = 60;
    const size_t first = ports().writes(3).size();
    const double latency = modem().latency();
    const int sendThreshold = main().MSComm1().SThreshold();
    modem().setLatency(kLongerThanAnyHandler);
    main().MSComm1().setSThreshold(0);
    press();
    const double end = clock().seconds();
    modem().setLatency(latency);
    main().MSComm1().setSThreshold(sendThreshold);
    const auto& writes = ports().writes(3);
    std::vector<double> waits;
    for (size_t i = first; i < writes.size(); ++i)
        waits.push_back((i + 1 < writes.size() ? writes[i + 1].seconds : end) - writes[i].seconds);
    return waits;
}

#include "platform/Failure.h"

Q_LOGGING_CATEGORY(lcPlatform, "gsm.platform", QtWarningMsg)

namespace failures {

namespace {
std::function<void(const QString&)>& faultHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}
} // namespace

void logFailure(Layer layer, const std::exception& failure) {
    qCDebug(layer) << "a handler ended at its error exit:" << failure.what();
}

void reportFault(Layer layer, const char* what) {
    const QString description = QString::fromUtf8(what);
    qCCritical(layer) << "a handler ended on a fault of the program:" << description;
    if (faultHandler()) faultHandler()(description);
}

void setFaultHandler(std::function<void(const QString&)> handler) {
    faultHandler() = std::move(handler);
}

} // namespace failures

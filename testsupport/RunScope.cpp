#include "testsupport/RunScope.h"

#include "platform/Files.h"
#include "platform/Forms.h"

#include <QCoreApplication>
#include <QDir>

RunScope::RunScope(TestServices::Folder folder)
    : RunScope(std::make_unique<VirtualClock>(), std::make_unique<SimPorts>(), folder) {}

RunScope::RunScope(std::unique_ptr<Clock> clock, std::unique_ptr<PortEnvironment> ports,
                   TestServices::Folder folder)
    : previousFolder_(QDir::currentPath()), clock_(clock.get()), ports_(ports.get()) {
    auto services = std::make_unique<TestServices>(folder);
    services_ = services.get();
    previousClock_ = Clock::install(std::move(clock));
    previousServices_ = Services::install(std::move(services));
    previousPorts_ = PortEnvironment::install(std::move(ports));
    services_->enterProgramFolder();
}

RunScope::~RunScope() {
    // What waits for the end of an action that is over runs in this run, on
    // its windows and its modem, not in the next one.
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    Forms::instance().clear();
    try {
        Files::instance().closeAll();
    } catch (const Files::Error&) {
        // A file that could not be put in place keeps its old content.
    }
    QDir::setCurrent(previousFolder_);
    PortEnvironment::install(std::move(previousPorts_));
    Services::install(std::move(previousServices_));
    Clock::install(std::move(previousClock_));
}

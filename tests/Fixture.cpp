#include "tests/Fixture.h"

#include "platform/Files.h"

#include <QDir>
#include <QFile>

ConsoleTest::ConsoleTest() {
    auto clock = std::make_unique<VirtualClock>();
    auto services = std::make_unique<TestServices>();
    auto ports = std::make_unique<SimPorts>();
    clock_ = clock.get();
    services_ = services.get();
    ports_ = ports.get();
    previousClock_ = Clock::install(std::move(clock));
    previousServices_ = Services::install(std::move(services));
    previousPorts_ = PortEnvironment::install(std::move(ports));
    services_->enterProgramFolder();
}

ConsoleTest::~ConsoleTest() {
    Forms::instance().clear();
    Files::instance().closeAll();
    QDir::setCurrent(QDir::tempPath());
    PortEnvironment::install(std::move(previousPorts_));
    Services::install(std::move(previousServices_));
    Clock::install(std::move(previousClock_));
}

void ConsoleTest::writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(services_->path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ConsoleTest::readFile(const QString& name) const {
    QFile file(services_->path(name));
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"';
    for (char c : bytes) {
        if (c == '\r')
            *out << "\\r";
        else if (c == '\n')
            *out << "\\n";
        else if (static_cast<unsigned char>(c) < 32)
            *out << "\\x" << std::hex << int(c) << std::dec;
        else
            *out << c;
    }
    *out << '"';
}

void PrintTo(const QString& text, std::ostream* out) {
    PrintTo(text.toLatin1(), out);
}

void PrintTo(const QStringList& list, std::ostream* out) {
    *out << "{";
    for (const QString& item : list) {
        PrintTo(item, out);
        *out << (&item == &list.last() ? "" : ", ");
    }
    *out << "}";
}

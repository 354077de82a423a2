#include "tests/Fixture.h"

#include <QFile>

void ConsoleTest::writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(services().path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ConsoleTest::readFile(const QString& name) const {
    QFile file(services().path(name));
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

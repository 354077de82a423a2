#include "platform/Files.h"

#include <QDir>
#include <QFile>

Files& Files::instance() {
    static Files files;
    return files;
}

int Files::freeNumber() const {
    int number = 1;
    while (isOpen(number))
        ++number;
    return number;
}

void Files::openForInput(int number, const QString& name) {
    if (isOpen(number)) throw Error(QStringLiteral("File already open"));
    QFile file(QDir::current().filePath(name));
    if (!file.open(QIODevice::ReadOnly)) throw Error(QStringLiteral("File not found"));
    open_[number] = {file.fileName(), false, file.readAll(), 0};
}

void Files::openForOutput(int number, const QString& name) {
    if (isOpen(number)) throw Error(QStringLiteral("File already open"));
    QFile file(QDir::current().filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("Path/File access error"));
    open_[number] = {file.fileName(), true, {}, 0};
}

Files::OpenFile& Files::get(int number) {
    auto found = open_.find(number);
    if (found == open_.end()) throw Error(QStringLiteral("Bad file name or number"));
    return found->second;
}

const Files::OpenFile& Files::get(int number) const {
    return const_cast<Files*>(this)->get(number);
}

bool Files::atEnd(int number) const {
    const OpenFile& file = get(number);
    return file.position >= file.content.size();
}

QString Files::readLine(int number) {
    OpenFile& file = get(number);
    if (file.output || file.position >= file.content.size())
        throw Error(QStringLiteral("Input past end of file"));
    const QByteArray& text = file.content;
    qsizetype end = file.position;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    const QString line = QString::fromLatin1(text.mid(file.position, end - file.position));
    // A line ends at a carriage return, a line feed, or the pair.
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    file.position = end;
    return line;
}

void Files::write(int number, const QString& text) {
    OpenFile& file = get(number);
    if (!file.output) throw Error(QStringLiteral("Bad file mode"));
    QFile out(file.path);
    if (!out.open(QIODevice::Append)) throw Error(QStringLiteral("Path/File access error"));
    out.write(text.toLatin1());
}

void Files::closeAll() {
    open_.clear();
}

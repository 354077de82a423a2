#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString describe(QFileDevice::FileError error) {
    return error == QFileDevice::ResourceError ? QStringLiteral("Disk full")
                                               : QStringLiteral("Device I/O error");
}

// An existing file is refused as opening it for writing would refuse it: the
// new one takes its place only once written, and a rename would not ask.
bool mayWrite(const QString& path) {
    if (!QFileInfo::exists(path)) return true;
    QFile existing(path);
    return existing.open(QIODevice::WriteOnly | QIODevice::Append);
}

} // namespace

Files& Files::instance() {
    static Files files;
    return files;
}

Files::Files() = default;
Files::~Files() = default;

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
    OpenFile input;
    input.path = file.fileName();
    input.content = file.readAll();
    open_.emplace(number, std::move(input));
}

void Files::openForOutput(int number, const QString& name) {
    if (isOpen(number)) throw Error(QStringLiteral("File already open"));
    OpenFile output;
    output.path = QDir::current().filePath(name);
    output.output = true;
    output.replacement = std::make_unique<QSaveFile>(output.path);
    if (!mayWrite(output.path) || !output.replacement->open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Path/File access error"));
    open_.emplace(number, std::move(output));
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
    QSaveFile& out = *file.replacement;
    const QByteArray bytes = text.toLatin1();
    // Stored at once, so that a full disk is told here, not when closing.
    if (file.failure.isEmpty() && out.write(bytes) == bytes.size() && out.flush()) return;
    if (file.failure.isEmpty()) {
        file.failure = describe(out.error());
        out.cancelWriting();
    }
    throw Error(file.failure);
}

void Files::closeAll() {
    std::map<int, OpenFile> closing;
    closing.swap(open_);
    QString failure;
    for (auto& [number, file] : closing) {
        // One whose write failed keeps the old file; that failure was told then.
        if (!file.output || !file.failure.isEmpty() || file.replacement->commit()) continue;
        if (failure.isEmpty()) failure = describe(file.replacement->error());
    }
    if (!failure.isEmpty()) throw Error(failure);
}

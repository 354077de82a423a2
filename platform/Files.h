#pragma once

#include "platform/Failure.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <stdexcept>

class QSaveFile;

// The program's text files, held open under small file numbers. Opening a
// number that is in use fails with "File already open"; closing all files
// closes every one of them, whoever opened it.
//
// A file opened for output is written beside itself and takes the old one's
// place, whole, when the files are closed: a write that fails (a full disk)
// leaves the old file as it was, never a part of the new one.
class Files {
  public:
    class Error : public Failure {
      public:
        explicit Error(const QString& description)
            : Failure(description.toStdString()), description_(description) {}
        const QString& description() const { return description_; }

      private:
        QString description_;
    };

    static Files& instance();
    Files();
    ~Files();
    Files(const Files&) = delete;
    Files& operator=(const Files&) = delete;

    int freeNumber() const;
    void openForInput(int number, const QString& name);
    // Creates or replaces the file once the files are closed; until then the
    // old file stays. Fails with "Path/File access error" when the file or
    // its folder may not be written.
    void openForOutput(int number, const QString& name);
    bool isOpen(int number) const { return open_.count(number) > 0; }
    bool atEnd(int number) const;
    // The next line, without its carriage return or line feed.
    QString readLine(int number);
    // Fails with "Disk full" (or "Device I/O error") when the text cannot be
    // stored; the file then keeps its old content, whatever else is written.
    void write(int number, const QString& text);
    // Closes every file, putting each file written in place of the old one.
    // Fails when one of them could not be put in place (that one keeps its old
    // content); every file is closed all the same.
    void closeAll();

  private:
    struct OpenFile {
        QString path;
        bool output = false;
        QByteArray content; // what an input file held when opened
        qsizetype position = 0;
        std::unique_ptr<QSaveFile> replacement; // what an output file is to hold
        QString failure;                        // why a write failed: the old file then stays
    };
    OpenFile& get(int number);
    const OpenFile& get(int number) const;

    std::map<int, OpenFile> open_;
};

#pragma once

#include "platform/Failure.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <stdexcept>

// The program's text files, held open under small file numbers. Opening a
// number that is in use fails with "File already open"; closing all files
// closes every one of them, whoever opened it.
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

    int freeNumber() const;
    void openForInput(int number, const QString& name);
    void openForOutput(int number, const QString& name); // creates or empties the file
    bool isOpen(int number) const { return open_.count(number) > 0; }
    bool atEnd(int number) const;
    // The next line, without its carriage return or line feed.
    QString readLine(int number);
    void write(int number, const QString& text);
    void closeAll();

  private:
    struct OpenFile {
        QString path;
        bool output = false;
        QByteArray content; // what an input file held when opened
        qsizetype position = 0;
    };
    OpenFile& get(int number);
    const OpenFile& get(int number) const;

    std::map<int, OpenFile> open_;
};

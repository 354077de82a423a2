#pragma once

// The ways a phonebook file comes to take no write, each made with the
// kernel's or the engine's own means for a test's scope and undone again.

#include "tests/FileSystems.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

struct sqlite3;

// Another program's connection to the phonebook, holding the engine's own lock.
class OtherProgram {
  public:
    // "BEGIN IMMEDIATE" keeps writers out; "BEGIN EXCLUSIVE" readers too.
    OtherProgram(const QString& path, const char* begin);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    void release();

  private:
    sqlite3* handle_ = nullptr;
};

// The phonebook at `path` made anew by another program with a Number field
// that is no text (INTEGER), holding 0655555555 (DORA) and +33698765432
// (PIERRE), which the engine keeps as 655555555 and 33698765432.
void makeNumbersIntegers(const QString& path);
// The rows the engine holds for `sql`, each as its values and their types
// joined by "|", as in "655555555 integer".
QStringList rawRows(const QString& path, const char* sql);

class UnwritablePhoneBook {
  public:
    struct Condition {
        const char* what;
        std::function<void()> make;
        std::function<void()> undo;
    };

    // For the phonebook file at `path` (a relative path is taken from the
    // current folder when a condition is made).
    explicit UnwritablePhoneBook(QString path);
    ~UnwritablePhoneBook();

    // A read-only file or folder, a full disk, another program's lock held
    // longer than the wait (waited for a second, in real time).
    const std::vector<Condition>& conditions() const { return conditions_; }
    // The same, and a field of the file's own that must be filled, which the
    // program does not know: its table DATA made anew with it.
    std::vector<Condition> withFieldOfItsOwn() const;

  private:
    QString folder() const;

    QString path_;
    std::vector<Condition> conditions_;
    std::optional<PermissionsCount> permissions_;
    std::optional<FileSizeLimit> limit_;
    std::optional<OtherProgram> other_;
    QElapsedTimer waited_;
};

#include "tests/UnwritablePhoneBook.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include <utility>

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

void runOn(const QString& path, const char* sql) {
    sqlite3* handle = nullptr;
    sqlite3_open_v2(encoded(path).constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    EXPECT_EQ(sqlite3_exec(handle, sql, nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(handle);
    sqlite3_close(handle);
}

} // namespace

void makeNumbersIntegers(const QString& path) {
    runOn(path, "DROP TABLE DATA;"
                "CREATE TABLE DATA (\"Index\" TEXT, Number INTEGER, Name TEXT);"
                "INSERT INTO DATA VALUES ('1', '0655555555', 'DORA'), "
                "('2', '+33698765432', 'PIERRE');");
}

QStringList rawRows(const QString& path, const char* sql) {
    sqlite3* handle = nullptr;
    sqlite3_open_v2(encoded(path).constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr), SQLITE_OK)
        << sqlite3_errmsg(handle);
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList values;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const int type = sqlite3_column_type(statement, c);
            values << QString::fromUtf8(
                          reinterpret_cast<const char*>(sqlite3_column_text(statement, c))) +
                          (type == SQLITE_INTEGER ? " integer"
                           : type == SQLITE_TEXT  ? " text"
                                                  : "");
        }
        rows << values.join('|');
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return rows;
}

OtherProgram::OtherProgram(const QString& path, const char* begin) {
    sqlite3_open_v2(encoded(path).constData(), &handle_, SQLITE_OPEN_READWRITE, nullptr);
    EXPECT_EQ(sqlite3_exec(handle_, begin, nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(handle_);
}

OtherProgram::~OtherProgram() {
    release();
    sqlite3_close(handle_);
}

void OtherProgram::release() {
    sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
}

UnwritablePhoneBook::UnwritablePhoneBook(QString path) : path_(std::move(path)) {
    conditions_ = {
        {"read-only file",
         [this] {
             chmod(encoded(path_).constData(), 0444);
             permissions_.emplace();
         },
         [this] {
             permissions_.reset();
             chmod(encoded(path_).constData(), 0644);
         }},
        {"read-only folder",
         [this] {
             chmod(encoded(folder()).constData(), 0555);
             permissions_.emplace();
         },
         [this] {
             permissions_.reset();
             chmod(encoded(folder()).constData(), 0755);
         }},
        {"full disk", [this] { limit_.emplace(1); }, [this] { limit_.reset(); }},
        {"lock held by another program",
         [this] {
             other_.emplace(path_, "BEGIN IMMEDIATE");
             waited_.start();
         },
         [this] {
             EXPECT_GE(waited_.elapsed(), 900);
             EXPECT_LT(waited_.elapsed(), 10000);
             other_.reset();
         }},
    };
}

UnwritablePhoneBook::~UnwritablePhoneBook() = default;

QString UnwritablePhoneBook::folder() const {
    return QFileInfo(path_).path();
}

std::vector<UnwritablePhoneBook::Condition> UnwritablePhoneBook::withFieldOfItsOwn() const {
    std::vector<Condition> all = conditions_;
    all.push_back({"a field of the file's own that must be filled",
                   [this] {
                       runOn(path_, "ALTER TABLE DATA RENAME TO Kept;"
                                    "CREATE TABLE DATA (\"Index\" TEXT, Number TEXT, Name TEXT, "
                                    "\"Group\" TEXT NOT NULL);"
                                    "INSERT INTO DATA SELECT \"Index\", Number, Name, 'FAMILY' "
                                    "FROM Kept; DROP TABLE Kept;");
                   },
                   [this] { runOn(path_, "ALTER TABLE DATA DROP COLUMN \"Group\";"); }});
    return all;
}

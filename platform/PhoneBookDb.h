#pragma once

#include <QString>

#include "platform/Failure.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

// Record-set access to the phonebook file, shaped after the data controls the
// window handlers were written against: a control names a file and a record
// source, Refresh reads the records, and the record set is walked, searched
// and changed record by record. The file is an SQLite database; every value is
// a text. Nothing a user or the modem supplies is ever put into SQL text:
// searches are evaluated here on the loaded records and written values are
// bound parameters.
namespace db {

// The phonebook's one file name; every spelling of it reaches this file.
inline constexpr char kPhoneBookFile[] = "PhoneBook.mdb";

// What the console tells the user of a phonebook file it cannot read, and of
// one it cannot write.
inline const QString kUnreadableText = QStringLiteral("Phone Book File Cannot Be Read");
inline const QString kUnwritableText = QStringLiteral("Phone Book File Cannot Be Written");

// Any failure of the engine or of a record operation. Handlers let it reach
// their error exit. A write that cannot be done (a read-only file or folder,
// a full disk, a constraint of the file's own, another program's lock held
// longer than a second) fails with it and leaves the file as it was.
class DbError : public Failure {
  public:
    using Failure::Failure;
};

// Creates an empty phonebook (tables DATA and Details) at `path` unless a file
// is already there. Returns true when it created one.
bool createPhoneBookIfMissing(const QString& path);

// Where a bare database name is found: in the current folder, with the
// phonebook's name taken without regard to case.
QString resolveDatabasePath(const QString& name);

class Connection;

// A search condition for FindFirst. Values are compared as texts without
// regard to case or trailing blanks, so "ALICE " finds "alice".
class Criterion {
  public:
    // field = value
    static Criterion equals(const QString& field, const QString& value);
    // right(field, count) = value; the value is cut the same way, so a whole
    // twelve-digit number may be passed for its last ten digits.
    static Criterion lastCharsEqual(const QString& field, int count, const QString& value);

    const QString& field() const { return field_; }
    bool matches(const QString& fieldValue) const;

  private:
    Criterion(const QString& field, const QString& value, int tailLength);

    QString field_;
    QString value_;
    int tailLength_; // 0: the whole value
};

class Recordset;

// One field of the current record, or of the pending new or edited record.
class Field {
  public:
    QString Value() const;
    // Only between AddNew or Edit and Update.
    void setValue(const QString& value);

  private:
    friend class Recordset;
    Field(Recordset& set, int column) : set_(set), column_(column) {}

    Recordset& set_;
    int column_;
};

class Recordset {
  public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Both are true when the set is empty.
    bool isEOF() const;
    bool isBOF() const;
    int RecordCount() const { return static_cast<int>(rows_.size()); }

    void MoveFirst();
    void MoveNext();

    // Makes the first matching record current; NoMatch tells whether none did,
    // in which case the current record is left as it was.
    void FindFirst(const Criterion& criterion);
    bool NoMatch() const { return noMatch_; }

    // AddNew or Edit, then field writes, then Update. AddNew appends a record
    // and leaves the current record as it was; Edit rewrites the current one.
    void AddNew();
    void Edit();
    void Update();
    // Removes the current record; there is no current record until the next move.
    void Delete();

    // Field names are matched without regard to case.
    Field Fields(const QString& name);

  private:
    friend class DataControl;
    friend class Field;
    struct Row {
        qint64 rowId;
        std::vector<QString> values;
    };
    enum class Pending { None, Adding, Editing };

    void load(std::shared_ptr<Connection> connection, const QString& source);
    void requireTextFields() const;
    void close();
    bool isOpen() const { return connection_ != nullptr; }
    bool hasCurrent() const;
    const Row& currentRow() const;
    int columnOf(const QString& name) const;
    QString valueAt(int column) const;
    void setValueAt(int column, const QString& value);
    void requireUpdatable() const;
    void discardPending();
    void insertPending();
    void rewriteCurrent();
    std::vector<int> pendingColumns() const;

    std::shared_ptr<Connection> connection_;
    QString table_; // empty when the source is an SQL text (read only)
    std::vector<QString> columns_;
    std::vector<Row> rows_;
    int cursor_ = 0; // rows_.size() is the end
    bool currentDeleted_ = false;
    bool noMatch_ = false;
    Pending pending_ = Pending::None;
    std::vector<std::optional<QString>> buffer_;
};

// A window's data control: a database file and a record source, either a
// table name ("DATA", "Details") or an SQL text ("select * from data").
class DataControl {
  public:
    explicit DataControl(const QString& databaseName = kPhoneBookFile,
                         const QString& recordSource = QString());

    const QString& DatabaseName() const { return databaseName_; }
    void setDatabaseName(const QString& name) { databaseName_ = name; }
    // Takes effect at the next Refresh.
    const QString& RecordSource() const { return recordSource_; }
    void setRecordSource(const QString& source) { recordSource_ = source; }

    // Re-reads the record set from the current database name and record source.
    // A table of the phonebook that lacks one of its fields cannot be read, nor
    // can a record set of the phonebook with a field that is not a text (a
    // column declared INTEGER, say, which would have changed 0655 into 655).
    void Refresh();
    // The record set, read at first use like a control opened with its window.
    // The same object across refreshes.
    db::Recordset& Recordset();

  private:
    QString databaseName_;
    QString recordSource_;
    db::Recordset recordset_;
};

// Reads the control's record set anew; false when the file cannot be read (it
// is not a database, a table or a field of the phonebook is missing or not a
// text, or another program has held it locked for longer than the wait).
bool isReadable(DataControl& control);

// A database opened for bulk statements.
class Database {
  public:
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;

    // Runs one fixed statement, such as "delete from data".
    void Execute(const QString& sql);
    void Close();

  private:
    friend Database OpenDatabase(const QString& name);
    explicit Database(std::shared_ptr<Connection> connection);

    std::shared_ptr<Connection> connection_;
};

// Opens a database by bare name, creating an empty phonebook when it is the
// phonebook's file and missing.
Database OpenDatabase(const QString& name);

// ---- writing a whole copy

// Whether the phonebook can be written now: its tables have the program's
// fields, all texts, and a row of them can be written to each table (taken
// back at once). False for a read-only file or folder, a full disk, a field
// of the file's own that must be filled, or another program's lock held for
// longer than the wait. Cheap enough to ask before the SIM is changed, so that
// a window can tell the user first; a write can still fail afterwards (the
// disk may fill meanwhile), with DbError as ever. A missing phonebook is
// created first, as every opening creates it; inside an open Transaction the
// check is made inside it.
bool isWritable(const QString& databaseName = kPhoneBookFile);

// A transaction over one database file, as a workspace's BeginTrans,
// CommitTrans and Rollback: what is written while it is open is kept only
// when Commit succeeds, and otherwise not at all. While it is open, every
// data control, record set and database of this program on that file, opened
// before or during it, reads and writes inside it (a record set read before
// writes into it too), so the windows' own writes can be gathered into one:
//
//     db::Transaction copy;                     // the phonebook
//     db::OpenDatabase("phonebook.mdb").Execute("delete from data");
//     ... AddNew/Update through the windows' data controls ...
//     copy.Commit();                            // or a DbError: the old copy stays
//
// It begins at once (another program's lock is waited for as every write
// waits for it), and fails with DbError when the file cannot be written now.
// One at a time per file: a second one on the same file fails. A write that
// fails inside it fails as ever and leaves the rest of the transaction open;
// one that makes the engine roll the whole transaction back (a full disk)
// fails every later write and the Commit. Ending without Commit (a handler's
// error exit) rolls back. Record sets keep the records they read or wrote
// meanwhile: after a rollback, Refresh them.
class Transaction {
  public:
    explicit Transaction(const QString& databaseName = kPhoneBookFile);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Keeps everything written; on a failure (DbError) keeps nothing of it.
    // Either way the transaction has ended.
    void Commit();
    // Takes back everything written; nothing when it has ended.
    void Rollback();

  private:
    std::shared_ptr<Connection> end();

    std::shared_ptr<Connection> connection_; // none once ended
};

// One entry of the SIM phonebook as the copy holds it.
struct PhonebookEntry {
    QString index;
    QString number;
    QString name;
};

// Replaces the whole phonebook copy in one transaction: both tables emptied,
// the counts row (TotalIndex = capacity, UsedIndex = used) and the entries
// written in their order. Either all of it is stored, or (DbError) the old
// copy stays untouched. For a download that gathers the entries first; one
// that writes each entry as it arrives opens a Transaction around its writes.
void replacePhonebook(const QString& capacity, const QString& used,
                      const std::vector<PhonebookEntry>& entries);

} // namespace db

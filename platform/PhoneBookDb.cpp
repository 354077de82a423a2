#include "platform/PhoneBookDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringList>

#include <map>

#include <sqlite3.h>

namespace db {

namespace {

const char kPhoneBookSchema[] =
    "BEGIN;"
    "CREATE TABLE \"DATA\" (\"Index\" TEXT, \"Number\" TEXT, \"Name\" TEXT);"
    "CREATE TABLE \"Details\" (\"TotalIndex\" TEXT, \"UsedIndex\" TEXT);"
    "COMMIT;";

[[noreturn]] void fail(const QString& message) {
    throw DbError(message.toStdString());
}

bool isPhoneBookName(const QString& fileName) {
    return fileName.compare(QLatin1String(kPhoneBookFile), Qt::CaseInsensitive) == 0;
}

// Identifiers come from the program or from the file's own schema, never from input.
QString quoted(const QString& identifier) {
    return '"' + QString(identifier).replace('"', QLatin1String("\"\"")) + '"';
}

QString quotedList(const QStringList& identifiers, const QString& suffix) {
    QStringList parts;
    for (const QString& identifier : identifiers)
        parts << quoted(identifier) + suffix;
    return parts.join(QLatin1String(", "));
}

bool isSqlText(const QString& source) {
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s"),
                                           QRegularExpression::CaseInsensitiveOption);
    return select.match(source).hasMatch();
}

// The fields of the phonebook's tables, by table; a file whose table lacks one
// is not a phonebook the program can use.
const std::map<QString, QStringList>& phoneBookFields() {
    static const std::map<QString, QStringList> fields = {
        {QStringLiteral("DATA"),
         {QStringLiteral("Index"), QStringLiteral("Number"), QStringLiteral("Name")}},
        {QStringLiteral("DETAILS"), {QStringLiteral("TotalIndex"), QStringLiteral("UsedIndex")}},
    };
    return fields;
}

// A declared type that stores what is written as a text, as the engine tells
// a column's affinity: "INTEGER" would keep 0655 as 655, and a column without
// a type would keep whatever another program put in it.
bool hasTextAffinity(const QString& declaredType) {
    const QString type = declaredType.toUpper();
    if (type.contains(QLatin1String("INT"))) return false;
    return type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
           type.contains(QLatin1String("TEXT"));
}

QString withoutTrailingBlanks(const QString& text) {
    qsizetype length = text.size();
    while (length > 0 && text.at(length - 1) == ' ')
        --length;
    return text.left(length);
}

QString comparable(const QString& text, int tailLength) {
    const QString trimmed = withoutTrailingBlanks(text);
    return tailLength > 0 ? trimmed.right(tailLength) : trimmed;
}

} // namespace

// How long a statement waits for another program's lock on the file before
// it fails. The engine waits in real time, whatever the console's clock, so
// the wait is kept short.
constexpr int kBusyMilliseconds = 1000;

// One open database file.
class Connection {
  public:
    Connection(const QString& path, int flags) : file_(fileKey(path)) {
        const int rc =
            sqlite3_open_v2(QFile::encodeName(path).constData(), &handle_, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString reason = handle_ ? sqlite3_errmsg(handle_) : sqlite3_errstr(rc);
            sqlite3_close(handle_);
            db::fail(QStringLiteral("cannot open %1: %2").arg(path, reason));
        }
        sqlite3_busy_timeout(handle_, kBusyMilliseconds);
    }
    ~Connection() { sqlite3_close(handle_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return handle_; }
    // The file, however its name was spelt.
    const QString& file() const { return file_; }
    bool inTransaction() const { return !sqlite3_get_autocommit(handle_); }
    [[noreturn]] void raise(const QString& context) const {
        db::fail(context + QLatin1String(": ") + QString::fromUtf8(sqlite3_errmsg(handle_)));
    }
    // Runs statements whose failure there is nothing left to do about.
    void runQuietly(const char* sql) const {
        sqlite3_exec(handle_, sql, nullptr, nullptr, nullptr);
    }

    static QString fileKey(const QString& path) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
    }

  private:
    QString file_;
    sqlite3* handle_ = nullptr;
};

namespace {

// One prepared statement; rejects anything but exactly one statement.
class Statement {
  public:
    Statement(const Connection& connection, const QString& sql) : connection_(connection) {
        const QByteArray text = sql.toUtf8();
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(connection.handle(), text.constData(), int(text.size()), &stmt_,
                               &tail) != SQLITE_OK)
            connection.raise(sql);
        if (!stmt_ || !QByteArray(tail).trimmed().isEmpty()) {
            sqlite3_finalize(stmt_);
            db::fail(QStringLiteral("not a single statement: ") + sql);
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int position, const QString& value) {
        const QByteArray text = value.toUtf8();
        if (sqlite3_bind_text(stmt_, position, text.constData(), int(text.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK)
            connection_.raise(QStringLiteral("bind"));
    }
    void bind(int position, qint64 value) {
        if (sqlite3_bind_int64(stmt_, position, value) != SQLITE_OK)
            connection_.raise(QStringLiteral("bind"));
    }
    // True while there is a result row to read.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            connection_.raise(QString::fromUtf8(sqlite3_sql(stmt_)));
        return rc == SQLITE_ROW;
    }
    int columnCount() const { return sqlite3_column_count(stmt_); }
    QString columnName(int column) const {
        return QString::fromUtf8(sqlite3_column_name(stmt_, column));
    }
    // The stored text as it is, to its last byte.
    QString text(int column) const {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return value ? QString::fromUtf8(value, sqlite3_column_bytes(stmt_, column)) : QString();
    }

    qint64 integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    int changes() const { return sqlite3_changes(connection_.handle()); }

  private:
    const Connection& connection_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The declared type of every field of the phonebook's tables the file has,
// by upper-case name ("" for a field declared without one).
std::map<QString, QString> declaredTypes(const Connection& connection) {
    std::map<QString, QString> types;
    for (const auto& [table, fields] : phoneBookFields()) {
        Statement info(connection, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
        info.bind(1, table);
        while (info.step())
            if (fields.contains(info.text(0), Qt::CaseInsensitive))
                types[info.text(0).toUpper()] = info.text(1);
    }
    return types;
}

// The transactions open in this program, by file: everything the program
// reads from or writes to such a file goes through the transaction's
// connection, so that it takes part in the transaction.
std::map<QString, std::shared_ptr<Connection>>& openTransactions() {
    static std::map<QString, std::shared_ptr<Connection>> open;
    return open;
}

std::shared_ptr<Connection> transactionOn(const QString& file) {
    const auto found = openTransactions().find(file);
    return found == openTransactions().end() ? nullptr : found->second;
}

std::shared_ptr<Connection> openConnection(const QString& name) {
    const QString path = resolveDatabasePath(name);
    if (isPhoneBookName(QFileInfo(path).fileName())) createPhoneBookIfMissing(path);
    if (auto joined = transactionOn(Connection::fileKey(path))) return joined;
    return std::make_shared<Connection>(path, SQLITE_OPEN_READWRITE);
}

// Where a write to the file of `own` goes: into the file's open transaction,
// if it has one, else through `own`. A transaction the engine has rolled back
// by itself (on a full disk, say) takes no further write: alone, it would be
// kept while what came before it is gone.
const Connection& writerFor(const std::shared_ptr<Connection>& own) {
    const std::shared_ptr<Connection> transaction = transactionOn(own->file());
    if (!transaction) return *own;
    if (!transaction->inTransaction()) fail(QStringLiteral("the transaction has been rolled back"));
    return *transaction;
}

// Writes a row of the program's fields to each table of the phonebook and
// takes them back.
void probeWrite(const Connection& connection) {
    Statement(connection, QStringLiteral("SAVEPOINT probe")).step();
    const auto takeBack =
        qScopeGuard([&] { connection.runQuietly("ROLLBACK TO probe; RELEASE probe"); });
    for (const auto& [table, fields] : phoneBookFields()) {
        const QStringList placeholders(fields.size(), QStringLiteral("?"));
        Statement insert(connection, "INSERT INTO " + quoted(table) + " (" +
                                         quotedList(fields, QString()) + ") VALUES (" +
                                         placeholders.join(QLatin1String(", ")) + ")");
        for (int i = 0; i < fields.size(); ++i)
            insert.bind(i + 1, QString());
        insert.step();
    }
}

} // namespace

QString resolveDatabasePath(const QString& name) {
    const QFileInfo given(QDir::current(), name);
    if (!isPhoneBookName(given.fileName())) return given.absoluteFilePath();
    // The file as it stands in the folder, whatever the case of its name.
    const QDir folder = given.dir();
    for (const QString& present : folder.entryList(QDir::Files))
        if (isPhoneBookName(present)) return folder.absoluteFilePath(present);
    return folder.absoluteFilePath(QLatin1String(kPhoneBookFile));
}

bool createPhoneBookIfMissing(const QString& path) {
    if (QFileInfo::exists(path)) return false;
    try {
        Connection connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (sqlite3_exec(connection.handle(), kPhoneBookSchema, nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            connection.raise(QStringLiteral("cannot create ") + path);
    } catch (const DbError&) {
        QFile::remove(path); // no half-made phonebook left behind
        throw;
    }
    return true;
}

// ---- Criterion ----

Criterion::Criterion(const QString& field, const QString& value, int tailLength)
    : field_(field), value_(comparable(value, tailLength)), tailLength_(tailLength) {}

Criterion Criterion::equals(const QString& field, const QString& value) {
    return Criterion(field, value, 0);
}

Criterion Criterion::lastCharsEqual(const QString& field, int count, const QString& value) {
    if (count < 1) fail(QStringLiteral("right() needs a length of at least 1"));
    return Criterion(field, value, count);
}

bool Criterion::matches(const QString& fieldValue) const {
    return comparable(fieldValue, tailLength_).compare(value_, Qt::CaseInsensitive) == 0;
}

// ---- Field ----

QString Field::Value() const {
    return set_.valueAt(column_);
}

void Field::setValue(const QString& value) {
    set_.setValueAt(column_, value);
}

// ---- Recordset ----

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::close() {
    connection_.reset();
    table_.clear();
    columns_.clear();
    rows_.clear();
    cursor_ = 0;
    currentDeleted_ = false;
    noMatch_ = false;
    discardPending();
}

void Recordset::load(std::shared_ptr<Connection> connection, const QString& source) {
    close();
    const bool isTable = !isSqlText(source);
    Statement select(*connection, isTable ? "SELECT rowid, * FROM " + quoted(source) : source);
    const int first = isTable ? 1 : 0; // the row id is not a field
    std::vector<QString> columns;
    for (int column = first; column < select.columnCount(); ++column)
        columns.push_back(select.columnName(column));
    std::vector<Row> rows;
    while (select.step()) {
        Row row{isTable ? select.integer(0) : 0, {}};
        for (int column = first; column < select.columnCount(); ++column)
            row.values.push_back(select.text(column));
        rows.push_back(std::move(row));
    }
    connection_ = std::move(connection);
    table_ = isTable ? source : QString();
    columns_ = std::move(columns);
    rows_ = std::move(rows);
}

// A field of the phonebook the record set reads that is not a text makes the
// file not this program's, as a missing field does. The type is the one the
// field's table declares for it, whether the set reads the table or an SQL
// text over it.
void Recordset::requireTextFields() const {
    const std::map<QString, QString> types = declaredTypes(*connection_);
    for (const QString& column : columns_) {
        const auto declared = types.find(column.toUpper());
        if (declared != types.end() && !hasTextAffinity(declared->second))
            fail(QStringLiteral("the field %1 is not a text").arg(column));
    }
}

bool Recordset::isEOF() const {
    return cursor_ >= RecordCount();
}

bool Recordset::isBOF() const {
    return rows_.empty();
}

bool Recordset::hasCurrent() const {
    return !currentDeleted_ && cursor_ < RecordCount();
}

const Recordset::Row& Recordset::currentRow() const {
    if (!hasCurrent()) fail(QStringLiteral("no current record"));
    return rows_[cursor_];
}

void Recordset::MoveFirst() {
    discardPending();
    if (rows_.empty()) fail(QStringLiteral("no current record"));
    cursor_ = 0;
    currentDeleted_ = false;
}

void Recordset::MoveNext() {
    discardPending();
    if (currentDeleted_) { // the next record has already moved into the deleted one's place
        currentDeleted_ = false;
        return;
    }
    if (isEOF()) fail(QStringLiteral("no current record"));
    ++cursor_;
}

void Recordset::FindFirst(const Criterion& criterion) {
    discardPending();
    const int column = columnOf(criterion.field());
    for (int row = 0; row < RecordCount(); ++row) {
        if (criterion.matches(rows_[row].values[column])) {
            cursor_ = row;
            currentDeleted_ = false;
            noMatch_ = false;
            return;
        }
    }
    noMatch_ = true;
}

void Recordset::AddNew() {
    requireUpdatable();
    discardPending();
    pending_ = Pending::Adding;
    buffer_.assign(columns_.size(), std::nullopt);
}

void Recordset::Edit() {
    requireUpdatable();
    currentRow();
    discardPending();
    pending_ = Pending::Editing;
    buffer_.assign(columns_.size(), std::nullopt);
}

void Recordset::Update() {
    switch (pending_) {
    case Pending::None:
        fail(QStringLiteral("Update without AddNew or Edit"));
    case Pending::Adding:
        insertPending();
        break;
    case Pending::Editing:
        rewriteCurrent();
        break;
    }
    discardPending();
}

void Recordset::Delete() {
    requireUpdatable();
    const qint64 rowId = currentRow().rowId;
    discardPending();
    Statement remove(writerFor(connection_), "DELETE FROM " + quoted(table_) + " WHERE rowid = ?");
    remove.bind(1, rowId);
    remove.step();
    if (remove.changes() == 0) fail(QStringLiteral("the record has already been deleted"));
    rows_.erase(rows_.begin() + cursor_);
    currentDeleted_ = true;
}

Field Recordset::Fields(const QString& name) {
    return Field(*this, columnOf(name));
}

int Recordset::columnOf(const QString& name) const {
    for (size_t column = 0; column < columns_.size(); ++column) {
        if (columns_[column].compare(name, Qt::CaseInsensitive) == 0) return int(column);
    }
    fail(QStringLiteral("no field named ") + name);
}

QString Recordset::valueAt(int column) const {
    if (pending_ != Pending::None && buffer_[column]) return *buffer_[column];
    if (pending_ == Pending::Adding) return QString();
    return currentRow().values[column];
}

void Recordset::setValueAt(int column, const QString& value) {
    if (pending_ == Pending::None) fail(QStringLiteral("field written without AddNew or Edit"));
    buffer_[column] = value;
}

void Recordset::requireUpdatable() const {
    if (!isOpen()) fail(QStringLiteral("the record set is not open"));
    if (table_.isEmpty())
        fail(QStringLiteral("a record set read by an SQL text cannot be changed"));
}

void Recordset::discardPending() {
    pending_ = Pending::None;
    buffer_.clear();
}

std::vector<int> Recordset::pendingColumns() const {
    std::vector<int> written;
    for (size_t column = 0; column < buffer_.size(); ++column) {
        if (buffer_[column]) written.push_back(int(column));
    }
    return written;
}

void Recordset::insertPending() {
    const std::vector<int> written = pendingColumns();
    QStringList names;
    QStringList placeholders;
    for (int column : written) {
        names << columns_[column];
        placeholders << QStringLiteral("?");
    }
    const QString sql = written.empty() ? "INSERT INTO " + quoted(table_) + " DEFAULT VALUES"
                                        : "INSERT INTO " + quoted(table_) + " (" +
                                              quotedList(names, QString()) + ") VALUES (" +
                                              placeholders.join(QLatin1String(", ")) + ")";
    const Connection& writer = writerFor(connection_);
    Statement insert(writer, sql);
    for (size_t i = 0; i < written.size(); ++i)
        insert.bind(int(i) + 1, *buffer_[written[i]]);
    insert.step();

    Row row{sqlite3_last_insert_rowid(writer.handle()), {}};
    for (const std::optional<QString>& value : buffer_)
        row.values.push_back(value.value_or(QString()));
    const bool atEnd = isEOF();
    rows_.push_back(std::move(row));
    if (atEnd && !currentDeleted_)
        cursor_ = RecordCount(); // the current record stays as it was: none
}

void Recordset::rewriteCurrent() {
    const std::vector<int> written = pendingColumns();
    if (written.empty()) return;
    QStringList names;
    for (int column : written)
        names << columns_[column];
    Statement update(writerFor(connection_), "UPDATE " + quoted(table_) + " SET " +
                                                 quotedList(names, QStringLiteral(" = ?")) +
                                                 " WHERE rowid = ?");
    for (size_t i = 0; i < written.size(); ++i)
        update.bind(int(i) + 1, *buffer_[written[i]]);
    update.bind(int(written.size()) + 1, rows_[cursor_].rowId);
    update.step();
    if (update.changes() == 0) fail(QStringLiteral("the record has been deleted"));
    for (int column : written)
        rows_[cursor_].values[column] = *buffer_[column];
}

// ---- DataControl ----

DataControl::DataControl(const QString& databaseName, const QString& recordSource)
    : databaseName_(databaseName), recordSource_(recordSource) {}

void DataControl::Refresh() {
    recordset_.load(openConnection(databaseName_), recordSource_);
    if (!isPhoneBookName(QFileInfo(databaseName_).fileName())) return;
    try {
        recordset_.requireTextFields();
        const auto table = phoneBookFields().find(recordSource_.toUpper());
        if (table == phoneBookFields().end()) return;
        for (const QString& field : table->second)
            recordset_.columnOf(field); // throws when the field is missing
    } catch (const DbError&) {
        recordset_.close();
        throw;
    }
}

bool isReadable(DataControl& control) {
    try {
        control.Refresh();
        return true;
    } catch (const DbError&) {
        return false;
    }
}

db::Recordset& DataControl::Recordset() {
    if (!recordset_.isOpen()) Refresh();
    return recordset_;
}

// ---- Database ----

Database::Database(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

void Database::Execute(const QString& sql) {
    if (!connection_) fail(QStringLiteral("the database is closed"));
    Statement statement(writerFor(connection_), sql);
    while (statement.step()) {
    }
}

void Database::Close() {
    connection_.reset();
}

Database OpenDatabase(const QString& name) {
    return Database(openConnection(name));
}

// ---- writing a whole copy ----

bool isWritable(const QString& databaseName) {
    try {
        for (const auto& [table, fields] : phoneBookFields()) {
            DataControl control(databaseName, table);
            control.Refresh(); // the program's fields, all texts
        }
        probeWrite(writerFor(openConnection(databaseName)));
        return true;
    } catch (const DbError&) {
        return false;
    }
}

Transaction::Transaction(const QString& databaseName) {
    std::shared_ptr<Connection> connection = openConnection(databaseName);
    if (transactionOn(connection->file()))
        fail(QStringLiteral("a transaction is already open on ") + databaseName);
    Statement(*connection, QStringLiteral("BEGIN IMMEDIATE")).step();
    openTransactions()[connection->file()] = connection;
    connection_ = std::move(connection);
}

Transaction::~Transaction() {
    Rollback();
}

std::shared_ptr<Connection> Transaction::end() {
    std::shared_ptr<Connection> connection = std::move(connection_);
    if (connection) openTransactions().erase(connection->file());
    return connection;
}

void Transaction::Commit() {
    const std::shared_ptr<Connection> connection = end();
    if (!connection) fail(QStringLiteral("the transaction has ended"));
    if (!connection->inTransaction()) fail(QStringLiteral("the transaction has been rolled back"));
    try {
        Statement(*connection, QStringLiteral("COMMIT")).step();
    } catch (const DbError&) {
        // Not kept in part: what the transaction wrote is taken back whole.
        if (connection->inTransaction()) connection->runQuietly("ROLLBACK");
        throw;
    }
}

void Transaction::Rollback() {
    const std::shared_ptr<Connection> connection = end();
    if (connection && connection->inTransaction()) connection->runQuietly("ROLLBACK");
}

void replacePhonebook(const QString& capacity, const QString& used,
                      const std::vector<PhonebookEntry>& entries) {
    Transaction copy(kPhoneBookFile);
    Database database = OpenDatabase(kPhoneBookFile);
    database.Execute(QStringLiteral("delete from data"));
    database.Execute(QStringLiteral("delete from details"));
    DataControl details(kPhoneBookFile, QStringLiteral("Details"));
    Recordset& counts = details.Recordset();
    counts.AddNew();
    counts.Fields(QStringLiteral("TotalIndex")).setValue(capacity);
    counts.Fields(QStringLiteral("UsedIndex")).setValue(used);
    counts.Update();
    DataControl data(kPhoneBookFile, QStringLiteral("DATA"));
    Recordset& rows = data.Recordset();
    for (const PhonebookEntry& entry : entries) {
        rows.AddNew();
        rows.Fields(QStringLiteral("Index")).setValue(entry.index);
        rows.Fields(QStringLiteral("Number")).setValue(entry.number);
        rows.Fields(QStringLiteral("Name")).setValue(entry.name);
        rows.Update();
    }
    copy.Commit();
}

} // namespace db

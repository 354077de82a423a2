#include "platform/PhoneBookDb.h"
#include "tests/FileSystems.h"
#include "tests/UnwritablePhoneBook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using db::Criterion;
using db::DataControl;
using db::DbError;

using Rows = std::vector<QStringList>;

// Reads and writes the file beside the layer under test, so that each test
// checks what really is stored.
class RawFile {
  public:
    RawFile() { sqlite3_open_v2(db::kPhoneBookFile, &handle_, SQLITE_OPEN_READWRITE, nullptr); }
    ~RawFile() { sqlite3_close(handle_); }

    Rows query(const char* sql, const QStringList& params = {}) {
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(handle_, sql, -1, &stmt, nullptr), SQLITE_OK)
            << sqlite3_errmsg(handle_);
        for (int i = 0; i < params.size(); ++i)
            sqlite3_bind_text(stmt, i + 1, params[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
        Rows rows;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                row << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
            rows.push_back(row);
        }
        sqlite3_finalize(stmt);
        return rows;
    }

  private:
    sqlite3* handle_ = nullptr;
};

class PhoneBookDbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        previous_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(folder_.path()));
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    // A phonebook as a download leaves it: entries, and the counts row.
    void seedPhoneBook(const Rows& entries, const QStringList& counts = {"250", "3"}) {
        db::createPhoneBookIfMissing(db::kPhoneBookFile);
        RawFile file;
        for (const QStringList& entry : entries)
            file.query("INSERT INTO DATA (\"Index\", Number, Name) VALUES (?, ?, ?)", entry);
        file.query("INSERT INTO Details (TotalIndex, UsedIndex) VALUES (?, ?)", counts);
    }

    static Rows stored(const char* table) {
        const std::string sql = std::string("SELECT * FROM ") + table + " ORDER BY rowid";
        return RawFile().query(sql.c_str());
    }

    static QStringList filesHere() { return QDir().entryList(QDir::Files); }

  private:
    QTemporaryDir folder_;
    QString previous_;
};

const Rows kEntries = {
    {"1", "919876543210", "ALICE"}, // twelve digits, country code first
    {"2", "0123456789", "O'BRIEN"}, // ten digits; apostrophe in the name
    {"3", "55'5", "BOB  "},         // apostrophe in the number; name padded with blanks
};

TEST_F(PhoneBookDbTest, MissingPhoneBookIsCreatedWithBothTablesEmpty) {
    DataControl data1(db::kPhoneBookFile, "DATA");
    DataControl data2("PhoneBook.mdb", "Details");
    data1.Refresh();
    data2.Refresh();

    EXPECT_EQ(filesHere(), QStringList{"PhoneBook.mdb"});
    for (DataControl* control : {&data1, &data2}) {
        EXPECT_TRUE(control->Recordset().isEOF());
        EXPECT_TRUE(control->Recordset().isBOF());
    }
    EXPECT_EQ(RawFile().query("SELECT name FROM pragma_table_info('DATA')"),
              (Rows{{"Index"}, {"Number"}, {"Name"}}));
    EXPECT_EQ(RawFile().query("SELECT name FROM pragma_table_info('Details')"),
              (Rows{{"TotalIndex"}, {"UsedIndex"}}));
}

TEST_F(PhoneBookDbTest, CreatingLeavesAnExistingFileAlone) {
    EXPECT_TRUE(db::createPhoneBookIfMissing("PhoneBook.mdb"));
    seedPhoneBook({kEntries[0]});

    EXPECT_FALSE(db::createPhoneBookIfMissing("PhoneBook.mdb"));
    EXPECT_EQ(stored("DATA").size(), 1u);
}

TEST_F(PhoneBookDbTest, EverySpellingOfTheNameReachesOneFile) {
    seedPhoneBook(kEntries);
    for (const char* spelling : {"PhoneBook.mdb", "phonebook.mdb", "PHONEBOOK.MDB"}) {
        SCOPED_TRACE(spelling);
        DataControl control(spelling, "DATA");
        control.Refresh();
        EXPECT_EQ(control.Recordset().RecordCount(), 3);
    }

    db::Database database = db::OpenDatabase("phonebook.mdb");
    database.Execute("delete from data");
    database.Close();

    EXPECT_TRUE(stored("DATA").empty());
    EXPECT_EQ(filesHere(), QStringList{"PhoneBook.mdb"});
}

TEST_F(PhoneBookDbTest, FindFirstMakesTheFirstMatchCurrent) {
    struct Case {
        const char* what;
        Criterion criterion;
        QString expectedIndex; // empty: no match
    };
    const std::vector<Case> cases = {
        {"caller's last ten digits, stored 12 digits",
         Criterion::lastCharsEqual("number", 10, "9876543210 "), "1"},
        {"caller's last ten digits, stored 10 digits",
         Criterion::lastCharsEqual("number", 10, "0123456789 "), "2"},
        {"whole 12-digit caller number", Criterion::lastCharsEqual("number", 10, "440123456789"),
         "2"},
        {"unknown caller", Criterion::lastCharsEqual("number", 10, "1111111111 "), ""},
        {"apostrophe in the number", Criterion::lastCharsEqual("number", 10, "55'5 "), "3"},
        {"listed name with blank, other case", Criterion::equals("name", "alice "), "1"},
        {"apostrophe in the name", Criterion::equals("name", "O'BRIEN "), "2"},
        {"padded stored name", Criterion::equals("name", "BOB "), "3"},
        {"start of a name is not the name", Criterion::equals("name", "O'"), ""},
        {"quotes do not widen the search", Criterion::equals("name", "x' or ''='"), ""},
        {"index as text", Criterion::equals("INDEX", "2"), "2"},
        {"index is compared whole", Criterion::equals("INDEX", "12"), ""},
    };
    seedPhoneBook(kEntries);
    DataControl data1("PhoneBook.mdb", "DATA");
    data1.Refresh();
    db::Recordset& set = data1.Recordset();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        set.MoveFirst();
        set.MoveNext(); // a miss must leave this record current
        set.FindFirst(c.criterion);
        EXPECT_EQ(set.NoMatch(), c.expectedIndex.isEmpty());
        EXPECT_EQ(set.Fields("Index").Value(), c.expectedIndex.isEmpty() ? "2" : c.expectedIndex);
    }
}

TEST_F(PhoneBookDbTest, WalkReadsEveryRecordInTableOrder) {
    seedPhoneBook(kEntries);
    DataControl data1("PhoneBook.mdb", "DATA");
    db::Recordset& set = data1.Recordset(); // read at first use
    ASSERT_FALSE(set.isEOF() || set.isBOF());

    Rows read;
    for (set.MoveFirst(); !set.isEOF(); set.MoveNext())
        read.push_back({set.Fields("index").Value(), set.Fields("NUMBER").Value(),
                        set.Fields("Name").Value()});

    EXPECT_EQ(read, kEntries);
}

TEST_F(PhoneBookDbTest, AddNewAppendsAndRefreshShowsIt) {
    seedPhoneBook({kEntries[0]});
    DataControl data1("PhoneBook.mdb", "DATA");
    data1.Refresh();
    db::Recordset& set = data1.Recordset();

    set.AddNew();
    set.Fields("Index").setValue("2");
    set.Fields("Number").setValue("0123456789");
    set.Fields("Name").setValue("O'BRIEN");
    EXPECT_EQ(set.Fields("name").Value(), "O'BRIEN"); // the pending record reads back
    set.Update();

    EXPECT_EQ(stored("DATA"), (Rows{kEntries[0], kEntries[1]}));
    EXPECT_EQ(set.Fields("Index").Value(), "1"); // the current record is unchanged
    data1.Refresh();
    EXPECT_EQ(data1.Recordset().RecordCount(), 2);
}

TEST_F(PhoneBookDbTest, AddNewOnAnEmptyCountsTableWritesTheOneRow) {
    db::createPhoneBookIfMissing("PhoneBook.mdb");
    DataControl data2("PhoneBook.mdb", "Details");
    db::Recordset& set = data2.Recordset();

    set.AddNew();
    set.Fields("TotalIndex").setValue("250");
    set.Fields("UsedIndex").setValue("3");
    set.Update();

    EXPECT_EQ(stored("Details"), (Rows{{"250", "3"}}));
}

TEST_F(PhoneBookDbTest, EditRewritesTheFoundRecordOnly) {
    seedPhoneBook({}, {"250", "5"});
    RawFile().query("INSERT INTO Details VALUES ('100', '7')");
    DataControl data2("PhoneBook.mdb", "Details");
    db::Recordset& set = data2.Recordset();

    set.FindFirst(Criterion::equals("USEDINDEX", "5"));
    ASSERT_FALSE(set.NoMatch());
    set.Edit();
    set.Fields("TotalIndex").setValue("250");
    set.Fields("UsedIndex").setValue("6");
    set.Update();

    EXPECT_EQ(stored("Details"), (Rows{{"250", "6"}, {"100", "7"}}));
    EXPECT_EQ(set.Fields("UsedIndex").Value(), "6");
}

TEST_F(PhoneBookDbTest, DeleteRemovesTheCurrentRecordAndNextMovesOn) {
    seedPhoneBook(kEntries);
    DataControl data1("PhoneBook.mdb", "DATA");
    db::Recordset& set = data1.Recordset();

    set.FindFirst(Criterion::equals("INDEX", "2"));
    set.Delete();

    EXPECT_EQ(stored("DATA"), (Rows{kEntries[0], kEntries[2]}));
    EXPECT_THROW(set.Fields("Index").Value(), DbError);
    set.MoveNext();
    EXPECT_EQ(set.Fields("Index").Value(), "3");
    set.Delete();
    set.MoveFirst();
    set.Delete();
    EXPECT_TRUE(set.isEOF() && set.isBOF());
}

TEST_F(PhoneBookDbTest, RefreshRereadsWithTheCurrentRecordSource) {
    seedPhoneBook({kEntries[0]});
    DataControl data1("PhoneBook.mdb", "DATA");
    db::Recordset& set = data1.Recordset();
    RawFile().query("INSERT INTO DATA VALUES ('2', '0123456789', 'O''BRIEN')");
    EXPECT_EQ(set.RecordCount(), 1);

    data1.setRecordSource("select name from data");
    EXPECT_EQ(set.Fields("number").Value(), "919876543210"); // still the table until Refresh
    data1.Refresh();

    EXPECT_EQ(&data1.Recordset(), &set);
    EXPECT_EQ(set.RecordCount(), 2);
    EXPECT_EQ(set.Fields("name").Value(), "ALICE");
    EXPECT_THROW(set.Fields("number"), DbError);
}

TEST_F(PhoneBookDbTest, BulkDeletesEmptyBothTables) {
    seedPhoneBook(kEntries);

    db::Database database = db::OpenDatabase("phonebook.mdb");
    database.Execute("delete from data");
    database.Execute("delete from details");
    database.Close();

    EXPECT_TRUE(stored("DATA").empty());
    EXPECT_TRUE(stored("Details").empty());
    EXPECT_THROW(database.Execute("delete from data"), DbError);
}

TEST_F(PhoneBookDbTest, EngineFailuresThrow) {
    struct Case {
        const char* what;
        QString database;
        QString source;
        std::function<void(DataControl&)> action;
    };
    const auto refresh = [](DataControl& c) { c.Refresh(); };
    const std::vector<Case> cases = {
        {"missing table", "PhoneBook.mdb", "Nowhere", refresh},
        {"bad SQL source", "PhoneBook.mdb", "select from", refresh},
        {"missing other database", "Other.mdb", "DATA", refresh},
        {"move on an empty set", "PhoneBook.mdb", "Details",
         [](DataControl& c) { c.Recordset().MoveFirst(); }},
        {"read without a current record", "PhoneBook.mdb", "Details",
         [](DataControl& c) { c.Recordset().Fields("UsedIndex").Value(); }},
        {"edit without a current record", "PhoneBook.mdb", "Details",
         [](DataControl& c) { c.Recordset().Edit(); }},
        {"delete without a current record", "PhoneBook.mdb", "Details",
         [](DataControl& c) { c.Recordset().Delete(); }},
        {"update without AddNew or Edit", "PhoneBook.mdb", "Details",
         [](DataControl& c) { c.Recordset().Update(); }},
        {"write without AddNew or Edit", "PhoneBook.mdb", "Details",
         [](DataControl& c) { c.Recordset().Fields("UsedIndex").setValue("1"); }},
        {"unknown field", "PhoneBook.mdb", "Details",
         [](DataControl& c) { c.Recordset().FindFirst(Criterion::equals("Nothing", "1")); }},
        {"change through an SQL text", "PhoneBook.mdb", "select * from data",
         [](DataControl& c) { c.Recordset().AddNew(); }},
    };
    db::createPhoneBookIfMissing("PhoneBook.mdb");

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataControl control(c.database, c.source);
        EXPECT_THROW(c.action(control), DbError);
    }
    EXPECT_THROW(db::OpenDatabase("phonebook.mdb").Execute("delete from nowhere"), DbError);
}

} // namespace

TEST_F(PhoneBookDbTest, AnExistingFileIsFoundWhateverTheCaseOfItsName) {
    ASSERT_TRUE(db::createPhoneBookIfMissing(QDir::current().filePath("phonebook.mdb")));
    DataControl control("PhoneBook.mdb", "DATA");
    control.Refresh();
    control.Recordset().AddNew();
    control.Recordset().Fields("Name").setValue("KEPT");
    control.Recordset().Update();
    EXPECT_EQ(filesHere(), QStringList{"phonebook.mdb"});
    DataControl again("PHONEBOOK.MDB", "DATA");
    again.Refresh();
    EXPECT_EQ(again.Recordset().RecordCount(), 1);
}

namespace {

// A phonebook made with the given tables, as another program may have made it.
void createRawPhoneBook(const char* schema) {
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db::kPhoneBookFile, &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                    nullptr);
    EXPECT_EQ(sqlite3_exec(handle, schema, nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(handle);
    sqlite3_close(handle);
}

bool readable(const QString& source) {
    DataControl control(db::kPhoneBookFile, source);
    return db::isReadable(control);
}

} // namespace

// A field that is not a text would not keep what the download stores (a
// number column keeps 0655555555 as 655555555): such a file is not this
// program's, as one with a missing field is not.
TEST_F(PhoneBookDbTest, AFieldThatIsNotATextMakesTheFileUnreadable) {
    struct Case {
        const char* schema;
        bool data;    // DATA readable
        bool details; // Details readable
        bool names;   // "select name from data" readable
    };
    const Case cases[] = {
        {"CREATE TABLE DATA (\"Index\" TEXT, Number INTEGER, Name TEXT);"
         "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT);",
         false, true, true},
        {"CREATE TABLE DATA (\"Index\" NUMERIC, Number TEXT, Name TEXT);"
         "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT);",
         false, true, true},
        {"CREATE TABLE DATA (\"Index\" TEXT, Number TEXT, Name);" // no type at all
         "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT);",
         false, true, false},
        {"CREATE TABLE DATA (\"Index\" TEXT, Number TEXT, Name REAL);"
         "CREATE TABLE Details (TotalIndex TEXT, UsedIndex INT);",
         false, false, false},
        {"CREATE TABLE DATA (\"Index\" VARCHAR(3), Number NVARCHAR(20), Name CLOB, Notes INTEGER);"
         "CREATE TABLE Details (TotalIndex CHARACTER(3), UsedIndex text);",
         true, true, true}, // text types of other names, and a field the program has not
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.schema);
        QFile::remove(db::kPhoneBookFile);
        createRawPhoneBook(c.schema);
        EXPECT_EQ(readable("DATA"), c.data);
        EXPECT_EQ(readable("Details"), c.details);
        EXPECT_EQ(readable("select name from data"), c.names);
        EXPECT_EQ(readable("select * from data"), c.data);
    }
}

TEST_F(PhoneBookDbTest, ValuesReadBackAsTheTextsWritten) {
    const QStringList values = {"0655555555", "007",       "1.50",
                                "1e3",        "+44 (0)20", "  ",
                                "",           "Zo\u00eb",  QString("a") + QChar(0) + "b"};
    db::createPhoneBookIfMissing(db::kPhoneBookFile);
    {
        DataControl data1(db::kPhoneBookFile, "DATA");
        db::Recordset& set = data1.Recordset();
        for (const QString& value : values) {
            set.AddNew();
            set.Fields("Index").setValue(value);
            set.Fields("Number").setValue(value);
            set.Update();
        }
    }
    DataControl data1(db::kPhoneBookFile, "DATA");
    db::Recordset& set = data1.Recordset();
    QStringList read;
    for (set.MoveFirst(); !set.isEOF(); set.MoveNext()) {
        EXPECT_EQ(set.Fields("Index").Value(), set.Fields("Number").Value());
        read << set.Fields("Number").Value();
    }
    EXPECT_EQ(read, values);
    EXPECT_EQ(RawFile().query("SELECT DISTINCT typeof(Number) FROM DATA"), (Rows{{"text"}}));
}

namespace {

// The writes the windows and the download make, each on record sets read
// from the file as it is.
struct Write {
    const char* what;
    std::function<void(DataControl& data1, DataControl& data2)> run;
};
const std::vector<Write> kWrites = {{"AddNew",
                                     [](DataControl& data1, DataControl&) {
                                         db::Recordset& set = data1.Recordset();
                                         set.AddNew();
                                         set.Fields("Index").setValue("4");
                                         set.Fields("Number").setValue("0655555555");
                                         set.Fields("Name").setValue("DORA");
                                         set.Update();
                                     }},
                                    {"Edit",
                                     [](DataControl&, DataControl& data2) {
                                         db::Recordset& set = data2.Recordset();
                                         set.MoveFirst();
                                         set.Edit();
                                         set.Fields("TotalIndex").setValue("250");
                                         set.Fields("UsedIndex").setValue("4");
                                         set.Update();
                                     }},
                                    {"Delete",
                                     [](DataControl& data1, DataControl&) {
                                         data1.Recordset().FindFirst(
                                             Criterion::equals("Index", "2"));
                                         data1.Recordset().Delete();
                                     }},
                                    {"Execute", [](DataControl&, DataControl&) {
                                         db::Database database = db::OpenDatabase("phonebook.mdb");
                                         database.Execute("delete from data");
                                     }}};

// A phonebook as a download leaves it, and the ways it can come to be one
// that takes no write.
class UnwritablePhoneBookTest : public PhoneBookDbTest {
  protected:
    void SetUp() override {
        PhoneBookDbTest::SetUp();
        seedPhoneBook(kEntries);
    }

    using Condition = UnwritablePhoneBook::Condition;
    const std::vector<Condition>& conditions() const { return unwritable_.conditions(); }

    // What a failed write must have left: the file and no journal beside it.
    void expectTheOldCopy() {
        EXPECT_EQ(stored("DATA"), kEntries);
        EXPECT_EQ(stored("Details"), (Rows{{"250", "3"}}));
        EXPECT_EQ(filesHere(), QStringList{"PhoneBook.mdb"});
    }

  private:
    UnwritablePhoneBook unwritable_{db::kPhoneBookFile};
};

} // namespace

TEST_F(UnwritablePhoneBookTest, EveryWriteFailsAndLeavesTheFileAsItWas) {
    for (const Condition& condition : conditions()) {
        for (const Write& write : kWrites) {
            SCOPED_TRACE(std::string(condition.what) + ", " + write.what);
            condition.make();
            DataControl data1(db::kPhoneBookFile, "DATA");
            DataControl data2(db::kPhoneBookFile, "Details");
            data1.Refresh();
            data2.Refresh();
            EXPECT_THROW(write.run(data1, data2), DbError);
            condition.undo();
            expectTheOldCopy();
            EXPECT_EQ(data1.Recordset().RecordCount(), 3);
        }
    }
}

TEST_F(UnwritablePhoneBookTest, AnExclusiveLockKeepsReadersOutAsWell) {
    OtherProgram other(db::kPhoneBookFile, "BEGIN EXCLUSIVE");
    DataControl data1(db::kPhoneBookFile, "DATA");
    EXPECT_FALSE(db::isReadable(data1));
    other.release();
    EXPECT_TRUE(db::isReadable(data1));
    EXPECT_EQ(data1.Recordset().RecordCount(), 3);
}

TEST_F(UnwritablePhoneBookTest, ALockReleasedWithinTheWaitLetsTheWriteThrough) {
    OtherProgram other(db::kPhoneBookFile, "BEGIN IMMEDIATE");
    DataControl data1(db::kPhoneBookFile, "DATA");
    data1.Refresh();
    std::thread releasing([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.release();
    });
    kWrites[0].run(data1, data1);
    releasing.join();
    EXPECT_EQ(stored("DATA").size(), 4u);
}

// A field of the file's own that must be filled, which the program does not know.
TEST_F(PhoneBookDbTest, ARowTheFileRefusesIsNotWritten) {
    createRawPhoneBook(
        "CREATE TABLE DATA (\"Index\" TEXT, Number TEXT, Name TEXT, \"Group\" TEXT NOT NULL);"
        "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT);"
        "INSERT INTO DATA VALUES ('1', '919876543210', 'ALICE', 'FAMILY');");
    DataControl data1(db::kPhoneBookFile, "DATA");
    data1.Refresh();
    EXPECT_THROW(kWrites[0].run(data1, data1), DbError);
    EXPECT_EQ(stored("DATA"), (Rows{{"1", "919876543210", "ALICE", "FAMILY"}}));
    EXPECT_EQ(data1.Recordset().RecordCount(), 1);
}

TEST_F(PhoneBookDbTest, APhoneBookOnAFullDiskTakesNoWrite) {
    SmallDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no file system can be mounted here";
    const QString folder = QDir::currentPath();
    QDir::setCurrent(disk.path());
    seedPhoneBook(kEntries);
    disk.fill();
    for (const Write& write : kWrites) {
        SCOPED_TRACE(write.what);
        DataControl data1(db::kPhoneBookFile, "DATA");
        DataControl data2(db::kPhoneBookFile, "Details");
        data1.Refresh();
        data2.Refresh();
        EXPECT_THROW(write.run(data1, data2), DbError);
        EXPECT_EQ(stored("DATA"), kEntries);
    }
    EXPECT_FALSE(db::isWritable());
    EXPECT_THROW(db::replacePhonebook("100", "1", {{"1", "0655555555", "DORA"}}), DbError);
    EXPECT_EQ(stored("DATA"), kEntries);
    EXPECT_EQ(stored("Details"), (Rows{{"250", "3"}}));
    QDir::setCurrent(folder);
}

// ---- whether the copy can be written, and writing it whole

TEST_F(UnwritablePhoneBookTest, TheCheckTellsAFileThatTakesNoWriteAndChangesNothing) {
    EXPECT_TRUE(db::isWritable());
    expectTheOldCopy();
    for (const Condition& condition : conditions()) {
        SCOPED_TRACE(condition.what);
        condition.make();
        EXPECT_FALSE(db::isWritable());
        condition.undo();
        expectTheOldCopy();
    }
    EXPECT_TRUE(db::isWritable("phonebook.mdb"));
}

TEST_F(PhoneBookDbTest, TheCheckTellsAFileWhoseFieldsAreNotTheProgramsOwn) {
    const char* kSchemas[] = {
        // a field of the file's own that must be filled
        "CREATE TABLE DATA (\"Index\" TEXT, Number TEXT, Name TEXT, \"Group\" TEXT NOT NULL);"
        "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT);",
        "CREATE TABLE DATA (\"Index\" TEXT, Number TEXT, Name TEXT);"
        "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT, Stamp TEXT NOT NULL);",
        // a field that is not a text, and a missing one
        "CREATE TABLE DATA (\"Index\" TEXT, Number INTEGER, Name TEXT);"
        "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT);",
        "CREATE TABLE DATA (\"Index\" TEXT, Name TEXT);"
        "CREATE TABLE Details (TotalIndex TEXT, UsedIndex TEXT);",
        "CREATE TABLE DATA (\"Index\" TEXT, Number TEXT, Name TEXT);",
    };
    for (const char* schema : kSchemas) {
        SCOPED_TRACE(schema);
        QFile::remove(db::kPhoneBookFile);
        createRawPhoneBook(schema);
        EXPECT_FALSE(db::isWritable());
        EXPECT_TRUE(stored("DATA").empty());
    }
}

const std::vector<db::PhonebookEntry> kDownload = {
    {"1", "0655555555", "DORA"}, {"2", "+441234", "O'HARA"}, {"4", "112", "EMERGENCY  "}};

TEST_F(UnwritablePhoneBookTest, AWholeCopyReplacesTheOldOneInOneStep) {
    db::replacePhonebook("100", "3", kDownload);
    EXPECT_EQ(stored("DATA"), (Rows{{"1", "0655555555", "DORA"},
                                    {"2", "+441234", "O'HARA"},
                                    {"4", "112", "EMERGENCY  "}}));
    EXPECT_EQ(stored("Details"), (Rows{{"100", "3"}}));
    db::replacePhonebook("100", "0", {});
    EXPECT_TRUE(stored("DATA").empty());
    EXPECT_EQ(stored("Details"), (Rows{{"100", "0"}}));
}

TEST_F(UnwritablePhoneBookTest, ACopyThatCannotBeWrittenLeavesTheOldOneUntouched) {
    for (const Condition& condition : conditions()) {
        SCOPED_TRACE(condition.what);
        condition.make();
        EXPECT_THROW(db::replacePhonebook("100", "3", kDownload), DbError);
        condition.undo();
        expectTheOldCopy();
    }
    // A row the file refuses, after both tables were emptied and some rows written.
    const std::vector<db::PhonebookEntry> refused = {kDownload[0], {"2", "0123", "TOO LONG"}};
    RawFile().query("CREATE TRIGGER longNames BEFORE INSERT ON DATA WHEN length(NEW.Name) > 6 "
                    "BEGIN SELECT RAISE(ABORT, 'name too long'); END");
    EXPECT_THROW(db::replacePhonebook("100", "2", refused), DbError);
    expectTheOldCopy();
}

// The windows' own writes gathered into one transaction: record sets read
// before it and during it write into it, the file shows nothing of it to
// other programs until the commit, and ending it without one keeps nothing.
TEST_F(UnwritablePhoneBookTest, WritesInsideATransactionAreKeptOnlyWhenItCommits) {
    DataControl data1(db::kPhoneBookFile, "DATA");
    data1.Refresh(); // read before the transaction
    for (bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "committed" : "ended without a commit");
        {
            db::Transaction copy;
            db::Database database = db::OpenDatabase("phonebook.mdb");
            database.Execute("delete from data");
            database.Execute("delete from details");
            kWrites[0].run(data1, data1); // adds DORA at 4
            DataControl data2(db::kPhoneBookFile, "Details");
            data2.Recordset().AddNew();
            data2.Recordset().Fields("UsedIndex").setValue("1");
            data2.Recordset().Update();
            DataControl inside(db::kPhoneBookFile, "DATA");
            EXPECT_EQ(inside.Recordset().RecordCount(), 1); // this program sees its writes
            EXPECT_EQ(stored("DATA"), kEntries);            // another one does not yet
            if (commit) copy.Commit();
        }
        if (!commit) expectTheOldCopy();
    }
    EXPECT_EQ(stored("DATA"), (Rows{{"4", "0655555555", "DORA"}}));
    EXPECT_EQ(stored("Details"), (Rows{{"", "1"}}));
}

TEST_F(UnwritablePhoneBookTest, ACommitThatCannotBeStoredKeepsNothing) {
    db::Transaction copy;
    db::OpenDatabase(db::kPhoneBookFile).Execute("delete from data");
    {
        const FileSizeLimit limit(1);
        EXPECT_THROW(copy.Commit(), DbError);
    }
    expectTheOldCopy();
    EXPECT_THROW(copy.Commit(), DbError); // it has ended
    EXPECT_TRUE(db::isWritable());
}

// A write the engine cannot store at all ends the whole transaction: the
// later writes and the commit fail too, rather than be kept alone.
TEST_F(UnwritablePhoneBookTest, AWriteThatRollsTheTransactionBackFailsEveryLaterOne) {
    db::Transaction copy;
    {
        const FileSizeLimit limit(1);
        EXPECT_THROW(db::OpenDatabase(db::kPhoneBookFile).Execute("delete from data"), DbError);
    }
    DataControl data2(db::kPhoneBookFile, "Details");
    EXPECT_THROW(kWrites[1].run(data2, data2), DbError);
    EXPECT_THROW(copy.Commit(), DbError);
    expectTheOldCopy();
}

TEST_F(UnwritablePhoneBookTest, OneTransactionAtATimeAndTheCheckWorksInsideIt) {
    {
        db::Transaction copy;
        EXPECT_THROW(db::Transaction("PHONEBOOK.MDB"), DbError);
        EXPECT_TRUE(db::isWritable());
        db::OpenDatabase(db::kPhoneBookFile).Execute("delete from details");
        EXPECT_TRUE(db::isWritable());
        copy.Commit();
    }
    EXPECT_EQ(stored("DATA"), kEntries);
    EXPECT_TRUE(stored("Details").empty());
    db::Transaction again;
    again.Rollback();
    again.Rollback();
}

#include "platform/PhoneBookDb.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <string>
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

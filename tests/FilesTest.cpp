// The program's text files under their numbers, and what a failed write
// leaves: the old file, whole.

#include "platform/Files.h"
#include "tests/FileSystems.h"
#include "tests/Fixture.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <functional>

namespace {

const QByteArray kOldModel = "123456789012345\r\nWAVECOM MODEM\r\n\r\nMULTIBAND  900E  1800\r\n";

class FilesTest : public ConsoleTest {
  protected:
    Files& files() { return Files::instance(); }

    // Files in the current folder, where the program's files are opened.
    static void put(const QString& name, const QByteArray& bytes) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray contents(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QStringList filesIn(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }

    // The description a step fails with; empty when it does not fail.
    static QString failure(const std::function<void()>& step) {
        try {
            step();
        } catch (const Files::Error& e) {
            return e.description();
        }
        return QString();
    }
};

} // namespace

TEST_F(FilesTest, AFileWrittenTakesTheOldOnesPlaceWholeWhenTheFilesAreClosed) {
    put("COM.txt", "2400,N,8,1 5\r\n");
    files().openForOutput(1, "COM.txt");
    files().openForOutput(2, "Model.txt"); // not there yet
    files().write(1, "9600,N,8,1 3");
    files().write(1, "\r\n");
    files().write(2, QString::fromLatin1(kOldModel));
    EXPECT_EQ(contents("COM.txt"), "2400,N,8,1 5\r\n"); // the old one stays until then
    EXPECT_FALSE(QFile::exists("Model.txt"));

    files().closeAll();
    EXPECT_EQ(contents("COM.txt"), "9600,N,8,1 3\r\n");
    EXPECT_EQ(contents("Model.txt"), kOldModel);
    EXPECT_EQ(filesIn("."), (QStringList{"COM.txt", "Model.txt"})); // nothing left beside them
}

TEST_F(FilesTest, AFileOpenedForOutputAndClosedUnwrittenIsEmptied) {
    put("COM.txt", "2400,N,8,1 5\r\n");
    files().openForOutput(1, "COM.txt");
    files().closeAll();
    EXPECT_EQ(contents("COM.txt"), "");
}

TEST_F(FilesTest, NumbersInUseAreRefusedAndClosingAllClosesEveryFile) {
    put("COM.txt", "9600,N,8,1 3\r\n\r\n");
    EXPECT_EQ(files().freeNumber(), 1);
    files().openForInput(1, "COM.txt");
    files().openForOutput(2, "Model.txt");
    EXPECT_EQ(files().freeNumber(), 3);
    EXPECT_EQ(failure([&] { files().openForOutput(1, "COM.txt"); }), "File already open");
    EXPECT_EQ(failure([&] { files().openForInput(2, "COM.txt"); }), "File already open");
    EXPECT_EQ(failure([&] { files().write(1, "x"); }), "Bad file mode");
    EXPECT_EQ(failure([&] { files().readLine(2); }), "Input past end of file");
    EXPECT_EQ(files().readLine(1), "9600,N,8,1 3");
    files().write(2, "kept\r\n");

    files().closeAll();
    EXPECT_FALSE(files().isOpen(1));
    EXPECT_FALSE(files().isOpen(2));
    EXPECT_EQ(contents("Model.txt"), "kept\r\n");
    EXPECT_EQ(failure([&] { files().write(2, "x"); }), "Bad file name or number");
}

// A write that fails part-way is told at once; the old file stays whole
// whatever is written after, and closing all files then closes quietly.
TEST_F(FilesTest, AWriteThatCannotBeStoredKeepsTheOldFileWhole) {
    put("Model.txt", kOldModel);
    {
        const FileSizeLimit limit(20);
        files().openForOutput(2, "Model.txt");
        files().write(2, "987654321098765\r\n");
        EXPECT_EQ(failure([&] { files().write(2, "SIEMENS\r\n"); }), "Device I/O error");
        EXPECT_EQ(failure([&] { files().write(2, "\r\n"); }), "Device I/O error");
        files().closeAll();
    }
    EXPECT_EQ(contents("Model.txt"), kOldModel);
    EXPECT_EQ(filesIn("."), QStringList{"Model.txt"});
}

TEST_F(FilesTest, AFullDiskKeepsTheOldFileWhole) {
    SmallDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no file system can be mounted here";
    QDir::setCurrent(disk.path());
    put("COM.txt", "2400,N,8,1 5\r\n");
    disk.fill();

    files().openForOutput(1, "COM.txt");
    EXPECT_EQ(failure([&] { files().write(1, "9600,N,8,1 3\r\n"); }), "Disk full");
    files().closeAll();
    EXPECT_EQ(contents("COM.txt"), "2400,N,8,1 5\r\n");
    EXPECT_EQ(filesIn("."), (QStringList{"COM.txt", "filler"}));
    QDir::setCurrent(services().programFolder());
}

TEST_F(FilesTest, AFileOrFolderThatMayNotBeWrittenIsRefusedAtTheOpening) {
    ASSERT_TRUE(QDir().mkdir("locked"));
    put("locked/COM.txt", "2400,N,8,1 5\r\n");
    put("COM.txt", "2400,N,8,1 5\r\n");
    chmod("locked", 0555);
    chmod("COM.txt", 0444);
    {
        const PermissionsCount permissions;
        for (const char* name : {"locked/COM.txt", "locked/Model.txt", "COM.txt"})
            EXPECT_EQ(failure([&] { files().openForOutput(1, name); }), "Path/File access error")
                << name;
        EXPECT_FALSE(files().isOpen(1));
    }
    chmod("locked", 0755);
    EXPECT_EQ(contents("locked/COM.txt"), "2400,N,8,1 5\r\n");
    EXPECT_EQ(contents("COM.txt"), "2400,N,8,1 5\r\n");
    EXPECT_EQ(filesIn("locked"), QStringList{"COM.txt"});
}

// A file that cannot take the old one's place (a folder of its name came
// there meanwhile) fails the closing, which still closes every file.
TEST_F(FilesTest, ClosingTellsAFileThatCouldNotBePutInPlaceAndClosesEveryFile) {
    files().openForOutput(1, "COM.txt");
    files().openForOutput(2, "Model.txt");
    files().write(1, "9600,N,8,1 3\r\n");
    files().write(2, "kept\r\n");
    ASSERT_TRUE(QDir().mkdir("COM.txt"));

    EXPECT_FALSE(failure([&] { files().closeAll(); }).isEmpty());
    EXPECT_FALSE(files().isOpen(1));
    EXPECT_FALSE(files().isOpen(2));
    EXPECT_EQ(contents("Model.txt"), "kept\r\n");
    EXPECT_EQ(filesIn("."), QStringList{"Model.txt"});
}

#include "testsupport/TestServices.h"

#include <QDir>

namespace {
const QString kMemoryFolder = QStringLiteral("/dev/shm");

bool inMemory(TestServices::Folder where) {
    return where == TestServices::Folder::InMemory && QDir(kMemoryFolder).exists();
}
} // namespace

TestServices::TestServices(Folder where)
    : folder(inMemory(where) ? QTemporaryDir(kMemoryFolder + QStringLiteral("/gsm-console-XXXXXX"))
                             : QTemporaryDir()) {}

// phonebook-init <path>: lays down an empty phonebook (tables DATA and Details)
// at <path> for a fresh installation. An existing file is left untouched.

#include "platform/PhoneBookDb.h"

#include <QString>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: phonebook-init <path>\n");
        return 2;
    }
    try {
        db::createPhoneBookIfMissing(QString::fromLocal8Bit(argv[1]));
    } catch (const db::DbError& error) {
        std::fprintf(stderr, "phonebook-init: %s\n", error.what());
        return 1;
    }
    return 0;
}

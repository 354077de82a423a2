#pragma once

#include "platform/Services.h"

#include <QTemporaryDir>

#include <vector>

// Services that record what the console asked for, in a temporary program folder.
class TestServices : public Services {
  public:
    struct Message {
        QString text;
        QString title;
        Icon icon;
    };
    struct Setting {
        QString section;
        QString key;
        QVariant value;
    };
    // Where the program folder is made: among the temporary files, or in
    // memory where the machine has it (/dev/shm), for runs that commit to the
    // phonebook often and should not wait for a disk to flush.
    enum class Folder { Temporary, InMemory };

    explicit TestServices(Folder where = Folder::Temporary);

    void message(const QString& text, const QString& title, Icon icon) override {
        messages.push_back({text, title, icon});
    }
    void endProgram() override { ++ended; }
    void saveSetting(const QString& section, const QString& key, const QVariant& value) override {
        settings.push_back({section, key, value});
    }
    QString programFolder() const override { return folder.path(); }

    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    std::vector<Message> messages;
    std::vector<Setting> settings;
    int ended = 0;
};

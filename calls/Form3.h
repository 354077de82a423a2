#pragma once

#include "calls/PhoneBookDb.h"
#include "platform/FormBase.h"

#include <QLabel>

#include <array>
#include <memory>
#include <optional>

namespace Ui {
class Form3;
}

// The call window: the dial box with its keypad, Dial (Command1, a picture),
// Redial and hang-up (Command4, a picture), the call status line (Label3),
// and the phonebook list with its buttons. Text2 (used entries) and Text4
// (capacity) are hidden count boxes.
//
// The keypad digits are the picture array Image, index = digit; its elements
// are named Image0 to Image9 and reached by index through Image(). Label2 is
// the "#" key, Label4 the star key.
class Form3 : public FormBase {
    Q_OBJECT
  public:
    Form3();
    ~Form3() override;

    std::unique_ptr<Ui::Form3> ui;
    db::DataControl Data1{db::kPhoneBookFile, QStringLiteral("DATA")};
    db::DataControl Data2{db::kPhoneBookFile, QStringLiteral("Details")};

    QLabel* Image(int index) const { return keys_.at(static_cast<size_t>(index)); }

    void Form_Load() override;

    // The call status line.
    void ShowCallStatus(const QString& text);
    // Says on the status line that the phonebook file cannot be read.
    void ShowPhonebookUnreadable();
    // An entry of the SIM phonebook: a list row and a record of the local copy.
    void AddPhonebookEntry(const QString& index, const QString& number, const QString& name);
    // The SIM phonebook's counts: in the count boxes and as the copy's details record.
    void SetPhonebookCounts(const QString& used, const QString& capacity);
    // The name the local copy holds for a caller: the entry whose number ends
    // in the same last ten characters. None when there is no such entry.
    std::optional<QString> CallerName(const QString& number);

    // A phonebook list row: the index, two blanks, the number padded to 20
    // characters (with at least one blank after it), the name.
    static QString listRow(const QString& index, const QString& number, const QString& name);

  private:
    std::array<QLabel*, 10> keys_{};
};

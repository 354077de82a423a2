#pragma once

#include "calls/PhoneBookDb.h"
#include "platform/FormBase.h"
#include "ui_Form3.h"

#include <array>

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

    Ui::Form3 ui;
    db::DataControl Data1{db::kPhoneBookFile, QStringLiteral("DATA")};
    db::DataControl Data2{db::kPhoneBookFile, QStringLiteral("Details")};

    QLabel* Image(int index) const { return keys_.at(static_cast<size_t>(index)); }

    void Form_Load() override;

    // A phonebook list row: the index, two blanks, the number padded to 20
    // characters (with at least one blank after it), the name.
    static QString listRow(const QString& index, const QString& number, const QString& name);

  private:
    std::array<QLabel*, 10> keys_{};
};

#pragma once

#include "link/replies/Calls.h"
#include "platform/FeatureWindow.h"
#include "platform/PhoneBookDb.h"

#include <QLabel>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>

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
//
// It leaves the main window shown; its close box shows the main window again.
class Form3 : public FeatureWindow {
    Q_OBJECT
  public:
    Form3();
    ~Form3() override;

    db::DataControl Data1{db::kPhoneBookFile, QStringLiteral("DATA")};
    db::DataControl Data2{db::kPhoneBookFile, QStringLiteral("Details")};

    QLabel* Image(int index) const { return keys_.at(static_cast<size_t>(index)); }

    void Form_Load() override;
    void Form_Unload() override;

    // The call status line.
    void ShowCallStatus(const QString& text);
    // Says on the status line that the phonebook file cannot be read.
    void ShowPhonebookUnreadable();
    // Lists the local copy as it stands, its counts in the count boxes; false,
    // with an empty list and the status line saying so, when it cannot be read.
    bool ListPhonebook();
    // The name the local copy holds for a caller: the entry whose number ends
    // in the same last ten characters. None when there is no such entry.
    std::optional<QString> CallerName(const QString& number);

    // The counts the count boxes hold. Throws when one is not a 16-bit number.
    struct PhonebookCounts {
        int used;
        int capacity;
    };
    PhonebookCounts Counts() const;
    // The SIM indexes the local copy holds entries for.
    std::set<int> StoredIndexes();
    // An entry the phonebook entry window has written to the SIM at `index`:
    // its record (the name in upper case) and the used count one higher, in
    // one write of the copy; then its list row and the status line. False,
    // with nothing changed here, when the copy cannot be written.
    bool EntryAdded(int index, const QString& number, const QString& name, int usedBefore);

    // A phonebook list row: the index, two blanks, the number padded to 20
    // characters (with at least one blank after it), the name.
    static QString listRow(const QString& index, const QString& number, const QString& name);

  private:
    void connectHandlers();
    void Command1_Click(); // Dial
    void Command8_Click(); // Redial
    void Command4_Click(); // hang up
    void Command5_Click(); // "Reload PhoneBook"
    void Command3_Click(); // "Delete"
    void Command2_Click(); // "Add"
    void Command6_Click(); // "<="
    void Command7_Click(); // "Clear"
    void Image_Click(int Index);
    void Label2_Click(); // "#"
    void Label4_Click(); // star
    void List1_Click();
    void Label1_Click(); // "<<Signal>>"

    // Nine looks at the log, two seconds apart, each showing the dial's
    // outcome as far as it stands (a call-end code after the dial's OK wins
    // over that OK); "ERROR" counts only when `watchErrors`.
    void watchCall(const QString& dialCommand, bool watchErrors);
    // What the status line shows for the dial's outcome.
    QString statusOf(replies::DialOutcome outcome) const;
    void sendKey(const QString& key);
    // The SIM index of the selected row, "" when none is selected.
    QString selectedIndex() const;
    void removeRow(const QString& row);
    void addRecord(const QString& index, const QString& number, const QString& name);
    // The details record's used count goes from `before` to `after`.
    void rewriteUsedCount(int before, int after);
    // Runs the writes of one change to the copy in one transaction: they are
    // all kept, or none (false) when the file cannot be written.
    bool writeToCopy(const std::function<void()>& writes);

    std::unique_ptr<Ui::Form3> ui;
    std::array<QLabel*, 10> keys_{};
};

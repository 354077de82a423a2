#pragma once

#include "platform/FeatureWindow.h"

#include <QStringList>

#include <initializer_list>
#include <memory>
#include <utility>

class QComboBox;
class QGroupBox;
class QLabel;

namespace Ui {
class Form14;
}

// The data and fax window: three buttons choose one of the bearer (Frame1),
// compression and error-correction (Frame2) and fax (Frame3) panels, refill
// its lists and ask the device for its current values. Each panel has a set
// button per value and one status line.
class Form14 : public FeatureWindow {
    Q_OBJECT
  public:
    Form14();
    ~Form14() override;

    void Form_Load() override;

  private:
    void Command1_Click(); // "Bearer Type"
    void Command2_Click(); // "Data Compression/Error Correction"
    void Command3_Click(); // "FAX "
    void Command4_Click(); // fax class
    void Command5_Click(); // transmit modulation
    void Command6_Click(); // bearer
    void Command7_Click(); // compression
    void Command8_Click(); // error correction
    void Command9_Click(); // receive modulation
    void Label9_Click();

    // Shows one panel, hiding the other two, empties its lists and fills them
    // again with nothing chosen, and asks the device for the panel's values.
    void openPanel(QGroupBox* panel,
                   std::initializer_list<std::pair<QComboBox*, QStringList>> lists, QLabel* status,
                   void (Form14::*query)());
    void queryBearer();
    void queryCompression();
    void queryFaxClass();
    // Sends a set command and shows its outcome on the panel's status line,
    // which keeps its text when the device answers neither "OK" nor "ERROR".
    void setValue(QLabel* status, const QString& command, const char* success);
    // The fax panel's status line is emptied first.
    void setFaxValue(const QString& command, const char* success);

    std::unique_ptr<Ui::Form14> ui;
};

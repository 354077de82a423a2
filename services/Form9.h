#pragma once

#include "platform/FeatureWindow.h"

#include <QString>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// What a page of the security window says, and the rules its passwords follow.
struct LockFacility;

namespace Ui {
class Form9;
}

// The security window: the phone, SIM PIN and network lock pages under one
// tab strip, each with its status line and its "Change Status" button, and
// the general status line Label1. Each page locks or unlocks its facility
// ("AT+CLCK=") and changes its password ("AT+CPWD="); the passwords take
// digits only and show as "*".
class Form9 : public FeatureWindow {
    Q_OBJECT
  public:
    Form9();
    ~Form9() override;

    void Form_Load() override;

  private:
    // One page's controls, in their roles.
    struct Page {
        const LockFacility* facility;
        QFrame* frame;
        QLabel* status;
        QRadioButton* lock;
        QRadioButton* unlock;
        QLabel* passwordLabel;
        QLineEdit* password;
        QPushButton* lockOk;
        QRadioButton* changePassword;
        QLabel* oldLabel;
        QLineEdit* oldPassword;
        QLabel* newLabel;
        QLineEdit* newPassword;
        QPushButton* changeOk;

        // What "Change Status" shows, what the change option shows, and
        // the boxes that hold passwords.
        std::array<QWidget*, 6> lockControls() const;
        std::array<QWidget*, 5> changeControls() const;
        std::array<QLineEdit*, 3> passwordBoxes() const;
    };

    void connectHandlers();
    const Page& phone() const { return pages_[0]; }
    const Page& simPin() const { return pages_[1]; }
    const Page& network() const { return pages_[2]; }

    void QueryStatus();
    void ChangeStatus(const Page& page);
    void LockOrUnlock(const Page& page);
    void ChangePassword(const Page& page);
    void ShowChangePasswordFields(const Page& page);
    void ShowResult(const Page& page, const QString& command, const QString& done,
                    const QString& refused);

    void Command1_Click() { LockOrUnlock(phone()); }
    void Command5_Click() { LockOrUnlock(simPin()); }
    void Command8_Click() { LockOrUnlock(network()); }
    void Command3_Click() { ChangePassword(phone()); }
    void Command6_Click() { ChangePassword(simPin()); }
    void Command9_Click() { ChangePassword(network()); }
    void Command2_Click() { ChangeStatus(phone()); }
    void Command4_Click() { ChangeStatus(simPin()); }
    void Command7_Click() { ChangeStatus(network()); }
    void Option1_Click();
    void Option3_Click() { ShowChangePasswordFields(phone()); }
    void Option6_Click() { ShowChangePasswordFields(simPin()); }
    void Option9_Click() { ShowChangePasswordFields(network()); }
    void Command10_Click() { QueryStatus(); }
    void Command11_Click();
    void TabStrip1_Click();

    std::unique_ptr<Ui::Form9> ui;
    std::array<Page, 3> pages_;
};

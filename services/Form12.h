#pragma once

#include "platform/FeatureWindow.h"

#include <QString>

#include <memory>

namespace Ui {
class Form12;
}

struct ForwardReason;
struct BarringFacility;

// The supplementary-services window: a tab strip over the panels for call
// forwarding (Frame1), call barring (Frame9, with its settings Frame5 hidden),
// call waiting (Frame10) and closed user groups (Frame12, hidden). Each tab
// asks the network for its service's state when it is selected; the window's
// load asks for the six forwarding reasons, with the window already shown.
class Form12 : public FeatureWindow {
    Q_OBJECT
  public:
    Form12();
    ~Form12() override;

    void Form_Load() override;
    void Form_Unload() override;

  private:
    void connectHandlers();
    void TabStrip1_Click();
    void Command8_Click();

    // Call forwarding.
    void QueryForwarding();
    void CheckForward(const ForwardReason& reason);
    void ShowForward(const ForwardReason& reason, const QString& status, const QString& classCode,
                     const QString& number);
    void ResetForwardInputs();
    void Command1_Click();
    void Command2_Click();

    // Call barring.
    void QueryBarring();
    // The facility's part of the final caption: its not-barred text, its
    // barred text, or nothing when its state was not read.
    QString QueryBarred(const BarringFacility& facility);
    QString ShowBarred(const BarringFacility& facility, const QString& classCode);
    void Command4_Click();
    void Command3_Click();

    // Call waiting.
    void QueryCallWaiting();
    void Command5_Click();
    void Command6_Click();

    // Closed user groups.
    void QueryClosedUserGroup();
    void ShowCugStatus(const QString& mode, const QString& index, const QString& info);
    void Command7_Click();

    std::unique_ptr<Ui::Form12> ui;
};

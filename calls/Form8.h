#pragma once

#include "calls/PhoneBookDb.h"
#include "link/TerminalLog.h"
#include "platform/FormBase.h"

#include <memory>

namespace Ui {
class Form8;
}

// The short-message window: the editor with its number, header and text
// boxes, the reading frame, the cell-broadcast and status-report choices, the
// phonebook names and the service-centre number (hidden until asked for), and
// the status line Label4. The outbox index list Combo2 is hidden at design.
//
// A multi-line box has no length limit of its own: the message box Text2
// carries its design limit as the property "maxLength" (160), for the code
// that enforces it.
class Form8 : public FormBase {
    Q_OBJECT
  public:
    Form8();
    ~Form8() override;

    std::unique_ptr<Ui::Form8> ui;

    // A notice on the status line (a new message, an unknown service centre).
    void ShowNotice(const QString& text);
    // The service-centre number the modem reports.
    void ShowServiceCentre(const QString& number);
    // Presets the status-report choice from the reply to "AT+CNMI?" in the
    // log: the fourth value 1 enabled, 0 disabled; a refusal counts as
    // disabled; anything else presets nothing.
    void PresetStatusReports(const TerminalLog& log);
    db::DataControl Data1{db::kPhoneBookFile, QStringLiteral("DATA")};
};

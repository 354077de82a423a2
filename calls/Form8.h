#pragma once

#include "calls/PhoneBookDb.h"
#include "platform/FormBase.h"
#include "ui_Form8.h"

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

    Ui::Form8 ui;
    db::DataControl Data1{db::kPhoneBookFile, QStringLiteral("DATA")};
};

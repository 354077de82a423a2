#pragma once

#include "platform/FeatureWindow.h"
#include "platform/PhoneBookDb.h"

#include <QStringList>

#include <memory>
#include <vector>

class QRadioButton;

namespace Ui {
class Form8;
}

// The short-message window: the editor with its number, header and text
// boxes, the reading frame, the cell-broadcast and status-report choices, the
// phonebook names and the service-centre number (hidden until asked for), and
// the status line Label4. The outbox index list Combo2 is hidden at design.
//
// A multi-line box has no length limit of its own: the message box Text2
// carries its limit as the property "maxLength" (160 less the header's
// length), which the window enforces on what is typed; text already in the
// box stays when the limit is lowered.
class Form8 : public FeatureWindow {
    Q_OBJECT
  public:
    Form8();
    ~Form8() override;

    db::DataControl Data1{db::kPhoneBookFile, QStringLiteral("DATA")};

    void Form_Load() override;

    // A notice on the status line (a new message, an unknown service centre).
    void ShowNotice(const QString& text);
    // The service-centre number the modem reports.
    void ShowServiceCentre(const QString& number);
    // Presets the status-report choice from the reply to "AT+CNMI?" in the
    // log: the fourth value 1 enabled, 0 disabled; a refusal counts as
    // disabled; anything else presets nothing.
    void PresetStatusReports();

  private:
    void connectHandlers();
    void Command1_Click(); // "Send"
    void Command2_Click(); // "Save"
    void Command7_Click(); // "Clear"
    void Command5_Click(); // "Select Outbox Msg"
    void Combo2_Click();   // an outbox index picked
    void Command3_Click(); // "Read"
    void Command4_Click(); // "Delete"
    void Command6_Click(); // "PhoneBook"
    void List1_Click();
    void Command8_Click(); // cell broadcast "OK"
    void Command9_Click(); // status report "OK"
    void Text5_Change();
    void Label7_Click(); // "<<Signal>>"

    // A message handed to the modem after the prompt of its command.
    struct Submission {
        QString command;
        double seconds;    // how long the modem has to take it
        QString reply;     // the reply that tells it took it
        QString done;      // the status line then
        bool doneWithTime; // followed by the time
        QString failed;    // the status line otherwise
    };
    // Writes the command, then, once the modem prompts for it, the text and
    // character 26; shows on the status line whether the modem took it.
    void submit(const Submission& submission, const QString& number, const QString& text);

    // An option of the cell-broadcast and status-report frames, its commands and outcomes.
    struct Choice {
        QRadioButton* Ui::Form8::*option;
        QStringList commands;
        QString done;
        QString failed;
        bool stateLine; // the status-report state line shows the outcome too
    };
    // Sends the commands of the first chosen option and shows the outcome.
    void apply(const std::vector<Choice>& choices);
    // The text of the editor, set from code: no limit applies.
    void setMessageText(const QString& text);
    // Cuts back what was just typed beyond the editor's limit.
    void keepWithinLimit();

    std::unique_ptr<Ui::Form8> ui;

    // The last change of the editor's text: where, and how much was put in.
    int changedAt_ = 0;
    int added_ = 0;
    bool settingText_ = false;
};

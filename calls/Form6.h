#pragma once

#include "link/replies/CallSettings.h"
#include "platform/FeatureWindow.h"

#include <array>
#include <memory>

class QColor;

namespace Ui {
class Form6;
}

// The call-control window. Each tab's page is a frame over the same place:
// Frame1 (volume), Frame2 (tone and echo), Frame10 (auto-answer and DTMF) and
// Frame12 (ring melody, hidden at design), reached by the fourth tab "Ring
// Melody". Label7 is the status line of every page. Each setting has its own
// apply button; the dispatcher reads the gain, echo and side-tone replies
// into the window, the window itself the auto-answer and tone-length ones.
//
// Its close box stores the settings in the modem's profile ("AT&W") and
// shows the main window again.
class Form6 : public FeatureWindow {
    Q_OBJECT
  public:
    Form6();
    ~Form6() override;

    void Form_Load() override;
    void Form_Unload() override;

    enum class Gain { Speaker, Microphone };

    // The outcome of a change, on the status line.
    void ShowResult(const QString& text);
    // A gain the modem reports: its label, its slider and the status line.
    // Throws when the value is not a number within the slider's range.
    void ShowGain(Gain gain, const QString& value);
    // The echo cancellation values (mode, algorithm and the algorithm's
    // parameters): the status line, the two lists, the algorithm's sliders,
    // and its frame shown in place of the other's.
    void ShowEchoValues(const replies::EchoValues& values);
    // The side tone mode (0 off, 1 on: its option is selected) and level.
    void ShowSideTone(const QString& mode, const QString& level);

  private:
    void connectHandlers();
    void TabStrip1_Click();
    void Slider1_Change();
    void Slider2_Change();
    void Command1_Click(); // gains "&Ok"
    void Command2_Click(); // "&Back"
    void Combo2_Click();   // echo algorithm picked
    void Command3_Click(); // echo "&Ok"
    void Command4_Click(); // side tone "&Ok"
    void Option3_Click();  // auto-answer "Disable"
    void Option4_Click();  // auto-answer "Enable "
    void Command5_Click(); // auto-answer "&OK"
    void Command6_Click(); // tone length "OK"
    void Command7_Click(); // ring melody "OK"

    // The page frames by tab index 1 to 4.
    std::array<QWidget*, 4> pages() const;
    void showPage(int page);
    void queryEchoAndSideTone();
    void queryAutoAnswerAndToneLength();
    void showAutoAnswer(int count);
    void showToneLength(int steps);
    void fillRingMelodyLists();
    void setAutoAnswer(const QString& rings, bool answeredByHand, const QString& success);
    void showColouredResult(const QColor& colour, const QString& text);

    std::unique_ptr<Ui::Form6> ui;
};

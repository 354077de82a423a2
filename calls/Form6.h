#pragma once

#include "platform/FormBase.h"

#include <memory>

namespace Ui {
class Form6;
}

// The call-control window. The tab strip holds three tabs; each tab's page is
// a frame over the same place: Frame1 (volume), Frame2 (tone and echo),
// Frame10 (auto-answer and DTMF). The ring-melody page Frame12 has no tab and
// is hidden at design. Label7 is the status line of every page.
class Form6 : public FormBase {
    Q_OBJECT
  public:
    Form6();
    ~Form6() override;

    std::unique_ptr<Ui::Form6> ui;

    enum class Gain { Speaker, Microphone };

    // The outcome of a change, on the status line.
    void ShowResult(const QString& text);
    // A gain the modem reports: its label, its slider and the status line.
    // Throws when the value is not a number within the slider's range.
    void ShowGain(Gain gain, const QString& value);
    // The echo cancellation values after "+ECHO: " (mode, algorithm and the
    // algorithm's parameters): the status line, the two lists, the
    // algorithm's sliders, and its frame shown in place of the other's.
    // Returns false, changing nothing, for values it cannot read.
    bool ShowEchoValues(const QString& values);
    // The side tone mode (0 off, 1 on: its option is selected) and level.
    void ShowSideTone(const QString& mode, const QString& level);
};

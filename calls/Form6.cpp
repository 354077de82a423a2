#include "calls/Form6.h"

#include "ui_Form6.h"

#include "platform/Text.h"
#include "platform/Widgets.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

using SliderOf = QSlider* Ui::Form6::*;
using FrameOf = QGroupBox* Ui::Form6::*;

// The parameters of an echo cancellation algorithm and where they are shown.
struct EchoAlgorithm {
    int algorithm;
    std::vector<SliderOf> sliders;
    FrameOf shown;
    FrameOf hidden;
};

const EchoAlgorithm kEchoAlgorithms[] = {
    {1,
     {&Ui::Form6::Slider3, &Ui::Form6::Slider4, &Ui::Form6::Slider5, &Ui::Form6::Slider6},
     &Ui::Form6::Frame6,
     &Ui::Form6::Frame7},
    {3,
     {&Ui::Form6::Slider7, &Ui::Form6::Slider8, &Ui::Form6::Slider9},
     &Ui::Form6::Frame7,
     &Ui::Form6::Frame6},
};

const EchoAlgorithm* echoAlgorithm(int algorithm) {
    const auto found =
        std::find_if(std::begin(kEchoAlgorithms), std::end(kEchoAlgorithms),
                     [algorithm](const EchoAlgorithm& a) { return a.algorithm == algorithm; });
    return found == std::end(kEchoAlgorithms) ? nullptr : found;
}

// The first `count` values of a reply: each ends at a comma, the last at the
// first carriage return after its comma. Throws when one is missing.
QStringList replyValues(const QString& reply, int count) {
    QStringList values;
    int from = 1;
    for (int i = 1; i <= count; ++i) {
        const int end =
            text::find(reply, i < count ? QStringLiteral(",") : QStringLiteral("\r"), from);
        values << text::cut(reply, from, end - from);
        from = end + 1;
    }
    return values;
}

} // namespace

Form6::Form6() : ui(std::make_unique<Ui::Form6>()) {
    ui->setupUi(this);
    ui->TabStrip1->addTab(QStringLiteral("Volume Control"));
    ui->TabStrip1->addTab(QStringLiteral("Tone/Echo Control"));
    ui->TabStrip1->addTab(QStringLiteral("AutoAnswer Mode/DTMF"));
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9120, 5805);
}

Form6::~Form6() = default;

void Form6::ShowResult(const QString& text) {
    ui->Label7->setText(text);
}

void Form6::ShowGain(Gain gain, const QString& value) {
    const bool speaker = gain == Gain::Speaker;
    ui->Label7->setText((speaker ? QStringLiteral("Default Values-Speaker ")
                                 : QStringLiteral("Default Values-MicroPhone ")) +
                        value);
    (speaker ? ui->Label5 : ui->Label6)->setText(value);
    setSliderValue(speaker ? ui->Slider1 : ui->Slider2, text::number(value));
}

bool Form6::ShowEchoValues(const QString& values) {
    const QStringList head = values.split(QLatin1Char(','));
    if (head.size() < 3 || head[0].isEmpty()) return false;
    const EchoAlgorithm* algorithm = echoAlgorithm(static_cast<int>(text::number(head[1])));
    if (!algorithm) return false;
    const QStringList fields = replyValues(values, 2 + static_cast<int>(algorithm->sliders.size()));
    ui->Label7->setText(QStringLiteral("Echo Current Values--") + values);
    ui->Combo1->setCurrentText(fields[0]);
    ui->Combo2->setCurrentText(fields[1]);
    for (size_t i = 0; i < algorithm->sliders.size(); ++i)
        setSliderValue((*ui).*algorithm->sliders[i], text::number(fields[static_cast<int>(i) + 2]));
    ((*ui).*algorithm->shown)->show();
    ((*ui).*algorithm->hidden)->hide();
    return true;
}

void Form6::ShowSideTone(const QString& mode, const QString& level) {
    const double modeValue = text::number(mode);
    if (modeValue == 0)
        selectOption(ui->Option1);
    else if (modeValue == 1)
        selectOption(ui->Option2);
    setSliderValue(ui->Slider10, text::number(level));
}

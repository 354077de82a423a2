#include "calls/Form6.h"

#include "calls/Log.h"

#include "ui_Form6.h"

#include "calls/Form5.h"
#include "link/MainLines.h"
#include "link/Modem.h"
#include "link/replies/CallSettings.h"
#include "platform/Exchange.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/Text.h"
#include "platform/TypedText.h"
#include "platform/Widgets.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>
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

// The algorithm a list or a reply names; null for one without parameters
// here. Throws when the text is not a number.
const EchoAlgorithm* echoAlgorithm(const QString& text) {
    const int algorithm = static_cast<int>(text::number(text));
    const auto found =
        std::find_if(std::begin(kEchoAlgorithms), std::end(kEchoAlgorithms),
                     [algorithm](const EchoAlgorithm& a) { return a.algorithm == algorithm; });
    return found == std::end(kEchoAlgorithms) ? nullptr : found;
}

// The algorithm's frame takes the place of the other's.
void showFrameOf(Ui::Form6& ui, const EchoAlgorithm& algorithm) {
    (ui.*algorithm.shown)->show();
    (ui.*algorithm.hidden)->hide();
}

const QStringList kModes = {QStringLiteral("0"), QStringLiteral("1")};
const QStringList kAlgorithms = {QStringLiteral("1"), QStringLiteral("3")};
const QStringList kRingCounts = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                 QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                                 QStringLiteral("7"), QStringLiteral("8")};
const QStringList kMelodyIndexes = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                    QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                    QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
                                    QStringLiteral("9"), QStringLiteral("10")};

// The ring-melody call types and their codes, by list position.
const std::pair<QString, QString> kCallTypes[] = {
    {QStringLiteral("Incoming Voice Call"), QStringLiteral("0")},
    {QStringLiteral("Incoming Data Call"), QStringLiteral("1")},
    {QStringLiteral("Incoming Fax Call"), QStringLiteral("2")},
    {QStringLiteral("Incoming SMS"), QStringLiteral("3")},
};

const QString kPleaseWait = QStringLiteral("Please Wait......");
const QString kUnsuccessful = QStringLiteral("Changes UNSuccessFul.Try Again");
const QColor kDarkBlue(0, 0, 64);
const QColor kDarkRed(192, 0, 0);

const QString kRingsQuery = QStringLiteral("ATS0?");
// The tone length "AT+VTD?" reports is in tenths of a second.
const QString kToneLengthQuery = QStringLiteral("AT+VTD?");
constexpr int kMillisecondsPerStep = 100;

// Milliseconds in the steps "AT+VTD=" takes, a half going to the even neighbour.
int toneLengthSteps(int milliseconds) {
    return static_cast<int>(std::nearbyint(milliseconds / double(kMillisecondsPerStep)));
}

} // namespace

Form6::Form6() : ui(std::make_unique<Ui::Form6>()) {
    setLayer(lcCalls);
    ui->setupUi(this);
    ui->TabStrip1->addTab(QStringLiteral("Volume Control"));
    ui->TabStrip1->addTab(QStringLiteral("Tone/Echo Control"));
    ui->TabStrip1->addTab(QStringLiteral("AutoAnswer Mode/DTMF"));
    // The ring-melody page is reached by a tab of its own.
    ui->TabStrip1->addTab(QStringLiteral("Ring Melody"));
    limitToDigits(ui->Text1);
    connectHandlers();
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9120, 5805);
}

Form6::~Form6() = default;

void Form6::connectHandlers() {
    onTabClick(ui->TabStrip1, this, &Form6::TabStrip1_Click);
    on(ui->Slider1, &QSlider::valueChanged, this, &Form6::Slider1_Change);
    on(ui->Slider2, &QSlider::valueChanged, this, &Form6::Slider2_Change);
    on(ui->Combo2, &QComboBox::activated, this, &Form6::Combo2_Click);
    onClick(ui->Option3, this, &Form6::Option3_Click);
    onClick(ui->Option4, this, &Form6::Option4_Click);
    onClicks(this, {{ui->Command1, &Form6::Command1_Click},
                    {ui->Command2, &Form6::Command2_Click},
                    {ui->Command3, &Form6::Command3_Click},
                    {ui->Command4, &Form6::Command4_Click},
                    {ui->Command5, &Form6::Command5_Click},
                    {ui->Command6, &Form6::Command6_Click},
                    {ui->Command7, &Form6::Command7_Click}});
}

void Form6::Form_Load() {
    Services::instance().enterProgramFolder();
    fillDropDown(ui->Combo1, kModes);
    fillDropDown(ui->Combo2, kAlgorithms);
    fillDropDown(ui->Combo3, kRingCounts);
    showPage(1);
    ShowResult(QStringLiteral("Please Wait...."));
    // The dispatcher reads both replies into the page.
    runGuarded(lcCalls, [] {
        exchange::startWhenFree(lcCalls, [] {
            modem::send(QStringLiteral("AT+VGR?"));
            modem::send(QStringLiteral("AT+VGT?"), 1, modem::LogFirst::Keep);
        });
    });
}

// The settings made here become the modem's profile. With the port closed
// there is nothing to store, and the window closes all the same.
void Form6::Form_Unload() {
    // Once no exchange waits any more, so that none is cut short.
    exchange::whenNoneWaiting([] {
        runGuarded(lcCalls, [] {
            modem::send(QStringLiteral("AT&W"), 1, modem::LogFirst::Keep);
            modem::log().clear();
        });
    });
    FeatureWindow::Form_Unload();
    mainwindow::setStatus(QString());
}

// ---- pages

std::array<QWidget*, 4> Form6::pages() const {
    return {ui->Frame1, ui->Frame2, ui->Frame10, ui->Frame12};
}

void Form6::showPage(int page) {
    const std::array<QWidget*, 4> frames = pages();
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i]->setVisible(static_cast<int>(i) + 1 == page);
}

void Form6::TabStrip1_Click() {
    struct Entry {
        std::optional<QString> status; // none: the status line stays
        void (Form6::*enter)();
    };
    static const Entry entries[] = {
        {std::nullopt, nullptr},
        {kPleaseWait, &Form6::queryEchoAndSideTone},
        {kPleaseWait, &Form6::queryAutoAnswerAndToneLength},
        {QString(), &Form6::fillRingMelodyLists},
    };
    const int page = ui->TabStrip1->currentIndex() + 1;
    if (page < 1 || page > static_cast<int>(std::size(entries))) return;
    const Entry& entry = entries[page - 1];
    if (entry.status) ShowResult(*entry.status);
    showPage(page);
    if (entry.enter) (this->*entry.enter)();
}

// The dispatcher reads both replies into the page.
void Form6::queryEchoAndSideTone() {
    modem::send(QStringLiteral("AT+ECHO?"));
    modem::send(QStringLiteral("AT+SIDET?"), 1, modem::LogFirst::Keep);
}

void Form6::queryAutoAnswerAndToneLength() {
    TerminalLog& log = modem::log();
    modem::send(kRingsQuery);
    if (log.findLine(kRingsQuery))
        if (const auto rings = replies::rings(modem::reply(kRingsQuery))) showAutoAnswer(*rings);
    log.clear();
    ui->Text1->clear();
    modem::send(kToneLengthQuery);
    if (const auto steps = replies::toneLength(modem::reply(kToneLengthQuery)))
        showToneLength(*steps);
    log.clear();
}

// No rings means the modem does not answer by itself.
void Form6::showAutoAnswer(int count) {
    const bool enabled = count != 0;
    selectOption(enabled ? ui->Option4 : ui->Option3);
    if (enabled) ui->Combo3->setCurrentText(QString::number(count));
    ShowResult(enabled ? QStringLiteral("Auto Answer Enabled,Total Rings") + QString::number(count)
                       : QStringLiteral("Auto Answer Disabled"));
    ui->Label33->setVisible(enabled);
    ui->Combo3->setVisible(enabled);
}

void Form6::showToneLength(int steps) {
    const QString milliseconds = QString::number(steps * kMillisecondsPerStep);
    ShowResult(QStringLiteral("Tone Lenght Currently Is") + milliseconds);
    ui->Text1->setText(milliseconds);
}

void Form6::fillRingMelodyLists() {
    QStringList callTypes;
    for (const auto& [callType, code] : kCallTypes)
        callTypes << callType;
    ui->Combo4->clear();
    ui->Combo5->clear();
    fillDropDown(ui->Combo4, callTypes);
    fillDropDown(ui->Combo5, kMelodyIndexes);
}

// ---- volume page

void Form6::Slider1_Change() {
    ui->Label5->setText(QString::number(ui->Slider1->value()));
}

void Form6::Slider2_Change() {
    ui->Label6->setText(QString::number(ui->Slider2->value()));
}

// The dispatcher shows each outcome. A gain the labels do not hold as a
// number is not sent.
void Form6::Command1_Click() {
    const QString speaker = ui->Label5->text().trimmed();
    const QString microphone = ui->Label6->text().trimmed();
    if (typed::isWholeNumber(speaker)) modem::send(QStringLiteral("AT+VGR=") + speaker);
    if (typed::isWholeNumber(microphone))
        modem::send(QStringLiteral("AT+VGT=") + microphone, 1, modem::LogFirst::Keep);
}

void Form6::Command2_Click() {
    mainwindow::show();
    hide();
}

// ---- tone and echo page

void Form6::Combo2_Click() {
    if (const EchoAlgorithm* algorithm = echoAlgorithm(ui->Combo2->currentText()))
        showFrameOf(*ui, *algorithm);
}

// The dispatcher shows the outcome.
void Form6::Command3_Click() {
    const QString mode = ui->Combo1->currentText();
    const QString algorithmText = ui->Combo2->currentText();
    if (mode.isEmpty() && algorithmText.isEmpty()) return;
    const EchoAlgorithm* algorithm = echoAlgorithm(algorithmText);
    if (!algorithm) return;
    QStringList values = {mode, algorithmText};
    for (SliderOf slider : algorithm->sliders)
        values << QString::number(((*ui).*slider)->value());
    modem::send(QStringLiteral("AT+ECHO=") + values.join(QLatin1Char(',')));
}

// The dispatcher shows the outcome.
void Form6::Command4_Click() {
    if (!ui->Option1->isChecked() && !ui->Option2->isChecked()) {
        Services::instance().message(QStringLiteral("Please Select The Options "), kMessageTitle);
        return;
    }
    const QString mode = ui->Option1->isChecked() ? QStringLiteral("0") : QStringLiteral("1");
    modem::send(QStringLiteral("AT+SIDET=") + mode + QLatin1Char(',') +
                QString::number(ui->Slider10->value()));
}

// ---- auto-answer and tone length page

void Form6::Option3_Click() {
    ui->Label33->hide();
    ui->Combo3->hide();
}

void Form6::Option4_Click() {
    ui->Label33->show();
    ui->Combo3->show();
}

// Enabling takes 1 to 8 rings: 0 would switch auto-answer off, and the
// Answer button of the incoming-call window would stay disabled.
void Form6::Command5_Click() {
    const QString rings = ui->Combo3->currentText();
    if (ui->Option4->isChecked() && kRingCounts.contains(rings))
        setAutoAnswer(rings, false, QStringLiteral("Changes SuccessFul.AutoAnswer Enabled"));
    else if (ui->Option3->isChecked())
        setAutoAnswer(QStringLiteral("0"), true,
                      QStringLiteral("Changes SuccessFul.AutoAnswer Disabled"));
    else
        Services::instance().message(QStringLiteral("UnsuccessFul Changes.Check Rings "),
                                     kMessageTitle);
    modem::log().clear();
}

void Form6::setAutoAnswer(const QString& rings, bool answeredByHand, const QString& success) {
    const QString command = QStringLiteral("ATS0=") + rings;
    modem::send(command);
    if (modem::log().succeeded(command, TerminalLog::Judged::Final) != true) {
        ShowResult(kUnsuccessful);
        return;
    }
    ShowResult(success);
    form<Form5>().PresetAnswerButton(answeredByHand);
}

// The range the page shows (300 to 1500 ms) is not enforced.
void Form6::Command6_Click() {
    const QString length = ui->Text1->text();
    if (length.isEmpty()) {
        Services::instance().message(
            QStringLiteral("Tone Length Cannot Be Blank,Enter Proper Data"), kMessageTitle);
        return;
    }
    const QString command =
        QStringLiteral("AT+VTD=") + QString::number(toneLengthSteps(typed::integer16(length)));
    modem::send(command);
    const auto ok = modem::log().succeeded(command, TerminalLog::Judged::ErrorWins);
    if (!ok) return;
    if (*ok)
        showColouredResult(kDarkBlue, QStringLiteral("Changes SuccessFul-TONE LENGTH"));
    else
        showColouredResult(kDarkRed, QStringLiteral("Changes Unsuccessful,CHECK TONE LENGTH"));
}

void Form6::showColouredResult(const QColor& colour, const QString& text) {
    ui->Label7->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
    ShowResult(text);
}

// ---- ring melody page

void Form6::Command7_Click() {
    if (ui->Combo4->currentText().isEmpty() || ui->Combo5->currentText().isEmpty()) return;
    ShowResult(QString());
    const QString callType = kCallTypes[ui->Combo4->currentIndex()].second;
    const QString command = QStringLiteral("AT+CRMP= ") + callType + QLatin1Char(',') +
                            QString::number(ui->Slider11->value()) + QStringLiteral(",0,") +
                            ui->Combo5->currentText();
    modem::send(command);
    showOutcome(ui->Label7, modem::log().succeeded(command, TerminalLog::Judged::Final),
                QStringLiteral("Changes SuccessFul-Ring Melody"),
                QStringLiteral("Changes UnSuccessFul-Ring Melody"));
    modem::log().clear();
}

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

void Form6::ShowEchoValues(const replies::EchoValues& values) {
    const EchoAlgorithm* algorithm = echoAlgorithm(values.algorithm);
    if (!algorithm) return;
    ui->Label7->setText(QStringLiteral("Echo Current Values--") + values.shown);
    ui->Combo1->setCurrentText(values.mode);
    ui->Combo2->setCurrentText(values.algorithm);
    for (size_t i = 0; i < algorithm->sliders.size(); ++i)
        setSliderValue((*ui).*algorithm->sliders[i],
                       text::number(values.parameters.value(static_cast<int>(i))));
    showFrameOf(*ui, *algorithm);
}

void Form6::ShowSideTone(const QString& mode, const QString& level) {
    const double modeValue = text::number(mode);
    if (modeValue == 0)
        selectOption(ui->Option1);
    else if (modeValue == 1)
        selectOption(ui->Option2);
    setSliderValue(ui->Slider10, text::number(level));
}

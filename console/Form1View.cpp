// What the link shows on the main window, and what it reads back from it.

#include "console/Form1.h"

#include "ui_Form1.h"

void Form1::showWindow() {
    Show();
}

void Form1::setStatus(const QString& text) {
    ui->Label5->setText(text);
}

void Form1::setSpeedLine(const QString& text) {
    ui->Label6->setText(text);
}

QString Form1::framingLine() const {
    return ui->Label7->text();
}

void Form1::setFramingLine(const QString& text) {
    ui->Label7->setText(text);
}

void Form1::setPortLines(const QString& state, const QString& port, const QString& settings) {
    ui->Label3->setText(settings);
    ui->Label2->setText(port);
    ui->Label1->setText(state);
}

void Form1::setPortState(const QString& state) {
    ui->Label1->setText(state);
}

QString Form1::portSettingsLine() const {
    return ui->Label3->text();
}

void Form1::note(const QString& line) {
    ui->List1->addItem(line);
}

void Form1::hideProgress() {
    ui->Frame5->hide();
}

void Form1::enableFeatureButtons(bool simPresent) {
    for (QPushButton* button :
         {ui->Command1, ui->Command6, ui->Command10, ui->Command12, ui->Command11})
        button->setEnabled(true);
    for (QPushButton* button : {ui->Command2, ui->Command3, ui->Command4, ui->Command5})
        button->setEnabled(simPresent);
}

void Form1::enablePortSettings() {
    ui->Command7->setEnabled(true);
}

void Form1::markNewMessage() {
    ui->Command3->setStyleSheet(QStringLiteral("background-color: #ffc0c0;"));
}

void Form1::setCandidatePorts(const QStringList& ports) {
    ui->Combo1->clear();
    ui->Combo1->addItems(ports);
}

void Form1::selectCandidatePort(int index) {
    ui->Combo1->setCurrentIndex(index);
}

void Form1::setFreePorts(const QStringList& ports) {
    ui->Combo2->clear();
    ui->Combo2->addItems(ports);
}

// The SIM code awaited is held in the Visible flags of the two code boxes:
// the PIN box alone, the PUK box alone, or both (neither code).
SimCode Form1::awaitedCode() const {
    const bool pinBox = !ui->Text2->isHidden();
    const bool pukBox = !ui->Text3->isHidden();
    if (pinBox == pukBox) return SimCode::None;
    return pinBox ? SimCode::Pin : SimCode::Puk;
}

void Form1::setAwaitedCode(SimCode code) {
    ui->Text2->setVisible(code == SimCode::Pin);
    ui->Text3->setVisible(code == SimCode::Puk);
}

// The wrong-PIN count is the PIN box's text.
QString Form1::wrongPinCount() const {
    return ui->Text2->text();
}

void Form1::setWrongPinCount(const QString& count) {
    ui->Text2->setText(count);
}

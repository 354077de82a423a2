#include "console/Form7.h"

#include "console/Log.h"

#include "ui_Form7.h"

#include <map>
#include <optional>

namespace {
// Bars shown for a signal quality.
struct SignalBars {
    int shown;
    bool unknown; // "Unknown/Undetectable" instead of the values
};

std::optional<SignalBars> barsFor(int rssi) {
    if (rssi == 0) return SignalBars{1, false};
    if (rssi == 1) return SignalBars{2, false};
    if (rssi >= 2 && rssi <= 30) return SignalBars{3, false};
    if (rssi == 31) return SignalBars{4, false};
    if (rssi == 99) return SignalBars{0, true};
    return std::nullopt;
}

const std::map<int, QString>& registrationTexts() {
    static const std::map<int, QString> texts = {
        {0, QStringLiteral("Not Registered")},
        {1, QStringLiteral("Registered/Home Network")},
        {2, QStringLiteral("Not Registered.Searching Operator")},
        {3, QStringLiteral("Registration Denied")},
        {4, QStringLiteral("Unknown")},
        {5, QStringLiteral("Registered/Roaming")},
    };
    return texts;
}

} // namespace

Form7::Form7() : ui(std::make_unique<Ui::Form7>()) {
    setLayer(lcConsole);
    ui->setupUi(this);
    setBorder(Border::Fixed);
    setClientTwips(4215, 2175);
}

Form7::~Form7() = default;

void Form7::ShowSignalQuality(int rssi, const QString& rssiText, const QString& berText) {
    const auto bars = barsFor(rssi);
    if (!bars) return;
    QLabel* images[] = {ui->Image1, ui->Image2, ui->Image3, ui->Image4, ui->Image5};
    for (int i = 0; i < 5; ++i)
        images[i]->setVisible(i < bars->shown);
    ui->Label4->setText(bars->unknown ? QStringLiteral("Unknown/Undetectable")
                                      : rssiText + QLatin1Char(',') + berText);
}

void Form7::ShowRegistration(int stat) {
    const auto found = registrationTexts().find(stat);
    if (found != registrationTexts().end()) ui->Label5->setText(found->second);
}

void Form7::ClearReadings() {
    ui->Label4->setText(QString());
    ui->Label5->setText(QString());
}

#include "calls/Form8.h"

#include "ui_Form8.h"

#include "platform/Widgets.h"

#include <map>
#include <optional>

namespace {

struct StatusReportPreset {
    QString text;
    QRadioButton* Ui::Form8::*option;
};

const StatusReportPreset kReportsEnabled{QStringLiteral("Status Report Enabled"),
                                         &Ui::Form8::Option3};
const StatusReportPreset kReportsDisabled{QStringLiteral("Status Report Disabled"),
                                          &Ui::Form8::Option4};

// By the fourth value of "+CNMI:" (status reports).
const std::map<QString, StatusReportPreset>& statusReportPresets() {
    static const std::map<QString, StatusReportPreset> presets = {
        {QStringLiteral("1"), kReportsEnabled},
        {QStringLiteral("0"), kReportsDisabled},
    };
    return presets;
}

// The fourth value is read where a reply with a blank after the colon and
// one-digit values holds it, 13 characters after the start of "+CNMI:".
std::optional<StatusReportPreset> statusReportPreset(const TerminalLog& log) {
    if (log.contains(QStringLiteral("ERROR"))) return kReportsDisabled;
    const auto found = statusReportPresets().find(log.window(QStringLiteral("+CNMI:"), 13, 1));
    if (found == statusReportPresets().end()) return std::nullopt;
    return found->second;
}

} // namespace

Form8::Form8() : ui(std::make_unique<Ui::Form8>()) {
    ui->setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9015, 6735);
}

Form8::~Form8() = default;

void Form8::ShowNotice(const QString& text) {
    ui->Label4->setText(text);
}

void Form8::ShowServiceCentre(const QString& number) {
    ui->Text4->setText(number);
    ui->Label4->setText(QString());
}

void Form8::PresetStatusReports(const TerminalLog& log) {
    if (const auto preset = statusReportPreset(log)) {
        ui->Label6->setText(preset->text);
        selectOption((*ui).*preset->option);
    }
}

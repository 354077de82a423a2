#include "config/Form15.h"

#include "ui_Form15.h"

#include "platform/Widgets.h"

#include <map>
#include <vector>

namespace {

using OptionOf = QRadioButton* Ui::Form15::*;

// The options that stand for the framing codes, by code.
const std::map<QString, OptionOf> kFormatOptions = {
    {QStringLiteral("0"), &Ui::Form15::Option1}, {QStringLiteral("1"), &Ui::Form15::Option2},
    {QStringLiteral("2"), &Ui::Form15::Option3}, {QStringLiteral("3"), &Ui::Form15::Option4},
    {QStringLiteral("4"), &Ui::Form15::Option5}, {QStringLiteral("5"), &Ui::Form15::Option6},
    {QStringLiteral("6"), &Ui::Form15::Option7},
};
const std::map<QString, OptionOf> kParityOptions = {
    {QStringLiteral("0"), &Ui::Form15::Option8},  {QStringLiteral("1"), &Ui::Form15::Option9},
    {QStringLiteral("2"), &Ui::Form15::Option10}, {QStringLiteral("3"), &Ui::Form15::Option11},
    {QStringLiteral("4"), &Ui::Form15::Option12},
};

// An option group chosen by the one character `offset` places after the
// start of `key` in the profile dump (name, colon, value, no blanks). A value
// the table does not hold chooses nothing.
struct ProfileChoice {
    QString key;
    int offset;
    std::map<QString, OptionOf> options;
};

const std::vector<ProfileChoice> kFlowControlChoices = {
    {QStringLiteral("IFC:"),
     4,
     {{QStringLiteral("0"), &Ui::Form15::Option13},
      {QStringLiteral("1"), &Ui::Form15::Option14},
      {QStringLiteral("2"), &Ui::Form15::Option15},
      {QStringLiteral("3"), &Ui::Form15::Option16}}},
    {QStringLiteral("IFC:"),
     6,
     {{QStringLiteral("0"), &Ui::Form15::Option17},
      {QStringLiteral("1"), &Ui::Form15::Option18},
      {QStringLiteral("2"), &Ui::Form15::Option19}}},
};

const std::vector<ProfileChoice> kControlLineChoices = {
    {QStringLiteral("&C"),
     3,
     {{QStringLiteral("0"), &Ui::Form15::Option22}, {QStringLiteral("1"), &Ui::Form15::Option23}}},
    {QStringLiteral("&D"),
     3,
     {{QStringLiteral("0"), &Ui::Form15::Option24},
      {QStringLiteral("1"), &Ui::Form15::Option25},
      {QStringLiteral("2"), &Ui::Form15::Option26}}},
};

void presetFromProfile(Ui::Form15& ui, const TerminalLog& profile,
                       const std::vector<ProfileChoice>& choices) {
    for (const ProfileChoice& choice : choices) {
        const auto found = choice.options.find(profile.window(choice.key, choice.offset, 1));
        if (found != choice.options.end()) selectOption(ui.*found->second);
    }
}

} // namespace

Form15::Form15() : ui(std::make_unique<Ui::Form15>()) {
    ui->setupUi(this);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9855, 6135);
}

Form15::~Form15() = default;

void Form15::PresetRate(const QString& rate) {
    ui->Combo1->setCurrentText(rate);
}

void Form15::PresetFraming(const QString& formatCode, const QString& parityCode) {
    for (const auto& [options, code] :
         {std::pair{&kFormatOptions, formatCode}, std::pair{&kParityOptions, parityCode}}) {
        const auto found = options->find(code);
        if (found != options->end()) selectOption((*ui).*found->second);
    }
}

void Form15::PresetEchoEnabled() {
    selectOption(ui->Option28);
}

void Form15::PresetFlowControl(const TerminalLog& profile) {
    presetFromProfile(*ui, profile, kFlowControlChoices);
}

void Form15::PresetControlLines(const TerminalLog& profile) {
    presetFromProfile(*ui, profile, kControlLineChoices);
}

#include "config/Form19.h"

#include "config/Log.h"

#include "ui_Form19.h"

#include "config/Form16.h"
#include "link/Modem.h"
#include "link/replies/PacketData.h"
#include "platform/Forms.h"
#include "platform/Handlers.h"
#include "platform/Services.h"
#include "platform/TypedText.h"
#include "platform/Widgets.h"

namespace {

// The contexts the table shows, by row, and the types it knows.
const QStringList kContextIds = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                 QStringLiteral("4")};
const QStringList kTypes = {QStringLiteral("IP"), QStringLiteral("PPP")};

const QString kQuery = QStringLiteral("AT+CGDCONT?");
constexpr double kQuerySeconds = 3;
enum Cell { kIdCell, kTypeCell, kApnCell };

} // namespace

Form19::Form19() : FeatureWindow(&showForm<Form16>), ui(std::make_unique<Ui::Form19>()) {
    setLayer(lcConfig);
    ui->setupUi(this);
    rows_ = {{{ui->Text2, ui->Text3, ui->Text4},
              {ui->Text5, ui->Text6, ui->Text7},
              {ui->Text8, ui->Text9, ui->Text10},
              {ui->Text11, ui->Text12, ui->Text13}}};
    onClick(ui->Command1, this, &Form19::Command1_Click);
    onClick(ui->Command2, this, &Form19::Command2_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(7200, 5040);
}

Form19::~Form19() = default;

void Form19::Form_Load() {
    runGuarded(lcConfig, [this] { contextQuery(); });
}

void Form19::contextQuery() {
    ui->Label1->clear();
    ui->Combo1->clear();
    ui->Combo2->clear();
    fillDropDown(ui->Combo1, kContextIds);
    fillDropDown(ui->Combo2, kTypes);
    modem::send(kQuery, kQuerySeconds);
    TerminalLog& log = modem::log();
    if (const auto defined = replies::contexts(modem::reply(kQuery))) {
        showContexts(*defined);
        ui->Label1->setText(QStringLiteral("Current Status"));
        for (QLabel* heading : {ui->Label2, ui->Label6, ui->Label7})
            heading->show();
    }
    if (log.succeeded(kQuery, TerminalLog::Judged::Final) == false) {
        ui->Label1->setText(QStringLiteral("Current Status Not Avialable"));
        ClearContextFields();
    }
    log.clear();
}

// Each line is read by its own fields: a context with an address, or one
// numbered past 4, changes no other row. The first line of a context counts.
void Form19::showContexts(const std::vector<replies::PdpContext>& defined) {
    std::array<bool, 4> shown{};
    for (const replies::PdpContext& context : defined) {
        const int row = static_cast<int>(kContextIds.indexOf(context.id));
        if (row < 0 || shown.at(static_cast<size_t>(row))) continue;
        shown.at(static_cast<size_t>(row)) = true;
        showRow(row, context);
    }
}

// A type other than exactly "IP" or "PPP" leaves the row's cells empty, shown.
void Form19::showRow(int row, const replies::PdpContext& context) {
    const QString& type = context.type;
    const bool known = kTypes.contains(type);
    const auto& cells = rows_.at(static_cast<size_t>(row));
    for (QLineEdit* cell : cells)
        cell->show();
    cells[kIdCell]->setText(known ? kContextIds.at(row) : QString());
    cells[kTypeCell]->setText(known ? type : QString());
    cells[kApnCell]->setText(known ? context.apn : QString());
}

// The table shows the contexts afresh after every press; a refusal stays on
// the status line over the query's own status.
void Form19::Command1_Click() {
    const bool refused = defineContext();
    Command2_Click();
    if (refused) ui->Label1->setText(QStringLiteral("Changes UnsuccessFul"));
}

// The access point name goes between quotes as typed, blanks included, so it
// may hold no quote, no control character and nothing the line cannot carry.
// The verdict is looked for after the command's echo only; the status line is
// the query's that follows.
bool Form19::defineContext() {
    const QString id = ui->Combo1->currentText();
    const QString type = ui->Combo2->currentText();
    const QString apn = ui->Text1->text();
    if (id.isEmpty() || type.isEmpty() || apn.isEmpty() || !typed::isQuotable(apn) ||
        !typed::isLineText(apn)) {
        Services::instance().message(QStringLiteral("Please Enter Proper Data"), kMessageTitle);
        return false;
    }
    ui->Label1->clear();
    const QString command = QStringLiteral("AT+CGDCONT=") + id + QStringLiteral(",\"") + type +
                            QStringLiteral("\",\"") + apn + QLatin1Char('"');
    modem::send(command);
    TerminalLog& log = modem::log();
    const std::optional<bool> verdict = log.succeeded(command, TerminalLog::Judged::Final);
    if (verdict == true) ui->Text1->clear();
    log.clear();
    return verdict == false;
}

void Form19::Command2_Click() {
    ClearContextFields();
    contextQuery();
}

void Form19::ClearContextFields() {
    for (QLabel* heading : {ui->Label2, ui->Label6, ui->Label7})
        heading->hide();
    for (const auto& cells : rows_) {
        for (QLineEdit* cell : cells) {
            cell->hide();
            cell->clear();
        }
    }
}

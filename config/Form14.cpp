#include "config/Form14.h"

#include "config/Log.h"

#include "ui_Form14.h"

#include "link/Modem.h"
#include "link/replies/DataAndFax.h"
#include "link/replies/Reading.h"
#include "platform/Handlers.h"
#include "platform/Widgets.h"

#include <initializer_list>
#include <optional>
#include <vector>

namespace {

// A row of a drop-down list: the item shown, the code its position sends,
// and the text the panel's query shows when the device reports that code.
struct Row {
    const char* item;
    const char* code;
    const char* shown;
};
using Table = std::vector<Row>;

// The speed of "+CBST".
const Table kSpeeds = {
    {"0 DeFault", "0", "Speed:0-DeFault"},    {"1 300bps", "1", "Speed:1 300bps"},
    {"2 1200bps", "2", "Speed:2 1200bps"},    {"3 1200/75bps", "3", "Speed:3 1200/75bps"},
    {"4 2400bps", "4", "Speed:4 2400bps"},    {"5 2400bps", "5", "Speed:5 2400bps"},
    {"6 4800bps", "6", "Speed:6 4800bps"},    {"7 9600bps", "7", "Speed:7 9600bps"},
    {"8 Specific", "8", "Speed:8 Specific"},  {"12 9600bps", "12", "Speed:12 9600bps"},
    {"14 1400bps", "14", "Speed:14 1400bps"}, {"65 300bps", "65", "Speed:65 300bps"},
    {"66 1200bps", "66", "Speed:66 1200bps"}, {"68 2400bps", "68", "Speed:68 2400bps"},
    {"70 4800bps", "70", "Speed:70 4800bps"}, {"71 9600bps", "71", "Speed:71 9600bps"},
    {"75 1400bps", "75", "Speed:75 1400bps"},
};
// The connection element of "+CBST".
const Table kConnectionElements = {
    {"0 Transparent Only", "0", "CE:0-Transparent Only"},
    {"1 Default", "1", "CE:1 Default"},
    {"2 Transparent Preferred", "2", "CE:2 Transparent Preferred"},
    {"3 Non Transparent Preferred", "3", "CE:3 NonTransparent Preferred"},
};
const Table kCompressions = {
    {"0 No Compression", "0", "Default"},
    {"2 V42bis Compression", "2", "V42bis Compression"},
};
const Table kErrorCorrections = {
    {"0 Default", "0", "0 Default"},
    {"2 Auto Reliable Mode", "2", "2 Auto Reliable Mode"},
    {"4 LAMP Mode", "4", "4 LAMP Mode"},
    {"5 MNP Mode", "5", "5 MNP Mode"},
};
const Table kFaxClasses = {
    {"0-Data Mode", "0", "Currently In Data Mode"},
    {"1-Fax Class 1 Mode", "1", "Currently In Fax Class 1 Mode"},
    {"2-Fax Class 2 Mode", "2", "Currently in Fax Class 2 Mode"},
};
// The transmit and receive modulations; what the box holds is sent.
const QStringList kModulations = {
    QStringLiteral("24"),  QStringLiteral("48"),  QStringLiteral("72"),  QStringLiteral("73"),
    QStringLiteral("74"),  QStringLiteral("96"),  QStringLiteral("97"),  QStringLiteral("98"),
    QStringLiteral("121"), QStringLiteral("122"), QStringLiteral("145"), QStringLiteral("146"),
};

QStringList itemsOf(const Table& table) {
    QStringList items;
    for (const Row& row : table)
        items << QLatin1String(row.item);
    return items;
}

// The code of the row chosen in a drop-down list; none while nothing is chosen.
std::optional<QString> chosenCode(const QComboBox* box, const Table& table) {
    const int at = box->currentIndex();
    if (at < 0 || at >= static_cast<int>(table.size())) return std::nullopt;
    return QLatin1String(table[static_cast<size_t>(at)].code);
}

// What a query shows for a code the device reports; "" for one outside the table.
QString shownFor(const Table& table, const QString& code) {
    for (const Row& row : table)
        if (code == QLatin1String(row.code)) return QLatin1String(row.shown);
    return QString();
}

} // namespace

Form14::Form14() : ui(std::make_unique<Ui::Form14>()) {
    setLayer(lcConfig);
    ui->setupUi(this);
    onClicks(this, {{ui->Command1, &Form14::Command1_Click},
                    {ui->Command2, &Form14::Command2_Click},
                    {ui->Command3, &Form14::Command3_Click},
                    {ui->Command4, &Form14::Command4_Click},
                    {ui->Command5, &Form14::Command5_Click},
                    {ui->Command6, &Form14::Command6_Click},
                    {ui->Command7, &Form14::Command7_Click},
                    {ui->Command8, &Form14::Command8_Click},
                    {ui->Command9, &Form14::Command9_Click}});
    onClick(ui->Label9, this, &Form14::Label9_Click);
    setBorder(Border::FixedWithMinimize);
    setClientTwips(8400, 5400);
}

Form14::~Form14() = default;

// The window opens on the bearer panel with a fresh query.
void Form14::Form_Load() {
    runGuarded(lcConfig, [this] { Command1_Click(); });
}

void Form14::openPanel(QGroupBox* panel,
                       std::initializer_list<std::pair<QComboBox*, QStringList>> lists,
                       QLabel* status, void (Form14::*query)()) {
    for (QGroupBox* frame : {ui->Frame1, ui->Frame2, ui->Frame3})
        frame->setVisible(frame == panel);
    for (const auto& [box, items] : lists) {
        box->clear();
        fillDropDown(box, items);
    }
    status->setText(QStringLiteral("Checking Current Value"));
    (this->*query)();
    modem::log().clear();
}

void Form14::Command1_Click() {
    openPanel(ui->Frame1,
              {{ui->Combo1, itemsOf(kSpeeds)}, {ui->Combo2, itemsOf(kConnectionElements)}},
              ui->Label1, &Form14::queryBearer);
}

void Form14::Command2_Click() {
    openPanel(ui->Frame2,
              {{ui->Combo3, itemsOf(kCompressions)}, {ui->Combo4, itemsOf(kErrorCorrections)}},
              ui->Label4, &Form14::queryCompression);
}

void Form14::Command3_Click() {
    openPanel(ui->Frame3,
              {{ui->Combo5, itemsOf(kFaxClasses)},
               {ui->Combo6, kModulations},
               {ui->Combo7, kModulations}},
              ui->Label5, &Form14::queryFaxClass);
}

// "+CBST: <speed>,<name>,<connection element>": the speed and the connection
// element, each shown from its table; the name is not read. A reply without
// its "OK" or its three values ends the handler.
void Form14::queryBearer() {
    const QString query = QStringLiteral("AT+CBST?");
    modem::send(query);
    const replies::Bearer bearer =
        replies::required(replies::bearer(modem::reply(query)), "incomplete bearer reply");
    ui->Label1->setText(shownFor(kSpeeds, bearer.speed) + QStringLiteral("  ") +
                        shownFor(kConnectionElements, bearer.connectionElement));
}

void Form14::queryCompression() {
    const QString compressionQuery = QStringLiteral("AT%C?");
    modem::send(compressionQuery);
    const QString compression = shownFor(
        kCompressions, replies::compression(modem::reply(compressionQuery)).value_or(QString()));
    const QString correctionQuery = QStringLiteral("AT\\N?");
    modem::send(correctionQuery);
    const QString correction =
        shownFor(kErrorCorrections,
                 replies::errorCorrection(modem::reply(correctionQuery)).value_or(QString()));
    ui->Label4->setText(QStringLiteral("Compression ") + compression + QStringLiteral(" , ") +
                        QStringLiteral("Error Correction ") + correction);
}

// A class outside the table ("2.0") leaves the status line as it is.
void Form14::queryFaxClass() {
    const QString query = QStringLiteral("AT+FCLASS?");
    modem::send(query);
    const QString shown =
        shownFor(kFaxClasses, replies::faxClass(modem::reply(query)).value_or(QString()));
    if (!shown.isEmpty()) ui->Label5->setText(shown);
}

void Form14::setValue(QLabel* status, const QString& command, const char* success) {
    modem::send(command);
    showOutcome(status, modem::log().succeeded(command, TerminalLog::Judged::OkFirst),
                QLatin1String(success), QStringLiteral("Changes UnsuccessFul"));
    modem::log().clear();
}

void Form14::setFaxValue(const QString& command, const char* success) {
    ui->Label5->clear();
    setValue(ui->Label5, command, success);
}

// "+CBST=<speed>,0,<connection element>": always an asynchronous modem.
void Form14::Command6_Click() {
    const auto speed = chosenCode(ui->Combo1, kSpeeds);
    const auto element = chosenCode(ui->Combo2, kConnectionElements);
    if (!speed || !element) return;
    setValue(ui->Label1, QStringLiteral("AT+CBST=") + *speed + QStringLiteral(",0,") + *element,
             "Changes SuccessFul");
}

void Form14::Command7_Click() {
    if (const auto code = chosenCode(ui->Combo3, kCompressions))
        setValue(ui->Label4, QStringLiteral("AT%C") + *code, "Changes SuccessFul-Compression");
}

void Form14::Command8_Click() {
    if (const auto code = chosenCode(ui->Combo4, kErrorCorrections))
        setValue(ui->Label4, QStringLiteral("AT\\N") + *code,
                 "Changes SuccessFul-Error Correction");
}

void Form14::Command4_Click() {
    if (const auto code = chosenCode(ui->Combo5, kFaxClasses))
        setFaxValue(QStringLiteral("AT+FCLASS=") + *code, "Changes SuccessFul-FCLASS");
}

// A modulation is a number: anything else typed is not sent.
void Form14::Command5_Click() {
    const QString modulation = typedDigits(ui->Combo6);
    if (!modulation.isEmpty())
        setFaxValue(QStringLiteral("AT+FTM=") + modulation, "Changes SuccessFul-Transmit ");
}

void Form14::Command9_Click() {
    const QString modulation = typedDigits(ui->Combo7);
    if (!modulation.isEmpty())
        setFaxValue(QStringLiteral("AT+FRM=") + modulation, "Changes SuccessFul-Receive");
}

void Form14::Label9_Click() {
    modem::networkset();
}

#include "calls/Form3.h"

#include "console/Form1.h"
#include "platform/Forms.h"
#include "platform/Services.h"

#include "platform/Pictures.h"

Form3::Form3() {
    ui.setupUi(this);
    keys_ = {ui.Image0, ui.Image1, ui.Image2, ui.Image3, ui.Image4,
             ui.Image5, ui.Image6, ui.Image7, ui.Image8, ui.Image9};
    ui.Command1->setIcon(handsetPicture(QColor(0x00, 0x90, 0x00), 24));
    ui.Command1->setIconSize(QSize(24, 24));
    ui.Command4->setIcon(handsetPicture(QColor(0xc0, 0x00, 0x00), 24));
    ui.Command4->setIconSize(QSize(24, 24));
    setBorder(Border::FixedWithMinimize);
    setClientTwips(7575, 5055);
}

QString Form3::listRow(const QString& index, const QString& number, const QString& name) {
    const int padding = std::max<int>(1, 20 - number.size());
    return index + QStringLiteral("  ") + number + QString(padding, QLatin1Char(' ')) + name;
}

void Form3::Form_Load() {
    try {
        Services::instance().enterProgramFolder();
        Data1.Refresh();
        db::Recordset& entries = Data1.Recordset();
        if (entries.isEOF() || entries.isBOF()) {
            // The local copy is empty: the dispatcher downloads the SIM phonebook
            // when the modem answers.
            Form1& main = form<Form1>();
            main.link().sendCommand(QStringLiteral("AT+CPBS?"), 1);
        } else {
            for (entries.MoveFirst(); !entries.isEOF(); entries.MoveNext())
                ui.List1->addItem(listRow(entries.Fields(QStringLiteral("Index")).Value(),
                                          entries.Fields(QStringLiteral("Number")).Value(),
                                          entries.Fields(QStringLiteral("Name")).Value()));
        }
        Data2.Refresh();
        db::Recordset& details = Data2.Recordset();
        if (!details.isEOF()) {
            details.MoveFirst();
            ui.Text4->setText(details.Fields(QStringLiteral("TotalIndex")).Value());
            ui.Text2->setText(details.Fields(QStringLiteral("UsedIndex")).Value());
        }
    } catch (const std::exception&) {
        // A phonebook that cannot be read leaves the list empty.
    }
}

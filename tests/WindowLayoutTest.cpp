#include "calls/Form3.h"
#include "calls/Form4.h"
#include "calls/Form5.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "config/Form14.h"
#include "config/Form15.h"
#include "config/Form16.h"
#include "config/Form17.h"
#include "config/Form18.h"
#include "config/Form19.h"
#include "console/Form1.h"
#include "console/Form10.h"
#include "console/Form11.h"
#include "console/Form2.h"
#include "console/Form20.h"
#include "console/Form7.h"
#include "link/frmSettings.h"
#include "platform/Look.h"
#include "services/Form12.h"
#include "services/Form9.h"
#include "tests/Fixture.h"
#include "tests/Helpers.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QStyle>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>

namespace {

// A place given in twips, as the design gives it, in pixels.
QRect twips(int left, int top, int width, int height) {
    auto px = [](int t) { return (t + 7) / 15; };
    return QRect(px(left), px(top), px(width), px(height));
}

// What a control shows: a button's or label's text, a frame's caption, a box's contents.
QString shownText(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* line = qobject_cast<QLineEdit*>(control)) return line->text();
    if (auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) return memo->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
    return QString();
}

struct Control {
    const char* name;
    const char* kind;
    const char* text; // nullptr: not checked
    std::optional<QRect> place;
    bool enabled = true;
    bool visible = true; // its own flag; a hidden page hides its contents as well
};

struct Window {
    const char* name;
    std::function<FormBase&()> load;
    const char* caption;
    QSize client;
    bool minimise;
    bool frameless;
    std::vector<Control> controls;
};

template <class T> std::function<FormBase&()> loader() {
    return []() -> FormBase& { return form<T>(); };
}

const std::vector<Window>& windows() {
    static const std::vector<Window> table = {
        {"Form1",
         loader<Form1>(),
         "GSM-APPLICATION",
         QSize(576, 407),
         true,
         false,
         {
             {"Frame1", "QFrame", nullptr, twips(120, 120, 8415, 5895)},
             {"Frame2", "QFrame", nullptr, twips(0, 0, 8295, 615)},
             {"Command1", "QPushButton", "&Model ", twips(120, 120, 735, 495), false},
             {"Command2", "QPushButton", "&Voice Call", twips(840, 120, 735, 495), false},
             {"Command3", "QPushButton", "&SMS", twips(1560, 120, 735, 495), false},
             {"Command4", "QPushButton", "&Supplementary Service ", twips(2280, 120, 1455, 495),
              false},
             {"Command5", "QPushButton", "&Security", twips(3720, 120, 855, 495), false},
             {"Command6", "QPushButton", "&Call Control", twips(4560, 120, 855, 495), false},
             {"Command10", "QPushButton", "Data-Fax Setup", twips(5400, 120, 975, 495), false},
             {"Command12", "QPushButton", "Other Features", twips(6360, 120, 975, 495), false},
             {"Command8", "QPushButton", "&Exit", twips(7320, 120, 855, 495)},
             {"Shape1", "QFrame", nullptr, twips(7080, 600, 1095, 255)},
             {"Label8", "QLabel", "<<Signal>>", twips(7200, 600, 975, 255)},
             {"Picture1", "QLabel", nullptr, twips(120, 840, 8055, 2895)},
             {"Frame5", "QFrame", nullptr, twips(0, 0, 8415, 3135)},
             {"List1", "QListWidget", nullptr, twips(0, 0, 8055, 2835)},
             {"Label5", "QLabel", nullptr, twips(120, 3720, 8055, 495)},
             {"Command13", "QPushButton", "Factory Settings", twips(120, 4200, 1455, 375)},
             {"Label9", "QLabel", nullptr, twips(1560, 4200, 5295, 375)},
             {"Command9", "QPushButton", "REFRESH", twips(6960, 4320, 1335, 375)},
             {"Frame3", "QFrame", nullptr, twips(120, 4560, 8295, 615)},
             {"Command7", "QPushButton", "Port Settings->", twips(120, 120, 1455, 375)},
             {"Label1", "QLabel", nullptr, twips(1680, 120, 1455, 375)},
             {"Label2", "QLabel", nullptr, twips(3240, 120, 1335, 375)},
             {"Label3", "QLabel", nullptr, twips(4680, 120, 2055, 375)},
             {"Label4", "QLabel", nullptr, twips(6840, 120, 1335, 375)},
             {"Frame4", "QFrame", nullptr, twips(120, 5160, 8175, 615)},
             {"Command11", "QPushButton", "Modem Setting->", twips(120, 120, 1695, 375), false},
             {"Label6", "QLabel", nullptr, twips(1920, 120, 1095, 375)},
             {"Label7", "QLabel", nullptr, twips(3120, 120, 4935, 375)},
             {"Text1", "QPlainTextEdit", nullptr, twips(1560, 6120, 6735, 975)},
             {"Combo1", "QComboBox", "", twips(240, 6120, 1095, 315)},
             {"Combo2", "QComboBox", "", twips(360, 6840, 975, 315)},
             {"Text2", "QLineEdit", "0", twips(8880, 7440, 615, 615)},
             {"Text3", "QLineEdit", "0", twips(8880, 7920, 615, 375)},
         }},
        {"Form2",
         loader<Form2>(),
         "GSM-Model Details",
         QSize(377, 394),
         true,
         false,
         {
             {"Frame1", "QFrame", nullptr, twips(120, 120, 5415, 5655)},
             {"Frame2", "QGroupBox", "Modem Information", twips(0, 240, 5295, 5295)},
             {"Command1", "QPushButton", "View", twips(1800, 360, 1215, 375)},
             {"Label2", "QLabel", "", twips(360, 840, 1215, 495)},
             {"Label3", "QLabel", "", twips(1920, 840, 3135, 615)},
             {"Label5", "QLabel", "", twips(600, 2280, 3855, 1455)},
             {"Label6", "QLabel", "", twips(480, 3720, 4215, 1335)},
         }},
        {"Form10",
         loader<Form10>(),
         "",
         QSize(198, 151),
         false,
         false,
         {
             {"Frame1", "QGroupBox", "SIM PIN", twips(120, 120, 2775, 2055)},
             {"Label1", "QLabel", "Enter SIM PIN", twips(120, 360, 975, 255)},
             {"Text1", "QLineEdit", "", twips(1200, 240, 1455, 375)},
             {"Label2", "QLabel", "Enter PUK ", twips(120, 840, 735, 495)},
             {"Text2", "QLineEdit", "", twips(1200, 720, 1455, 405)},
             {"Command1", "QPushButton", "&Ok", twips(1440, 1320, 855, 375)},
             {"Label3", "QLabel", "", twips(0, 1800, 3015, 375)},
         }},
        {"Form7",
         loader<Form7>(),
         "GSM-N/W",
         QSize(281, 145),
         false,
         false,
         {
             {"Label1", "QLabel", "Signal  And Network", {}},
             {"Label2", "QLabel", "L", {}},
             {"Label3", "QLabel", "H", {}},
             {"Image1", "QLabel", nullptr, QRect(28, 18, 39, 9)},
             {"Image5", "QLabel", nullptr, QRect(200, 18, 39, 9)},
             {"Label4", "QLabel", "", {}},
             {"Label5", "QLabel", "", {}},
             {"Shape1", "QFrame", nullptr, {}},
         }},
        {"Form11",
         loader<Form11>(),
         "",
         QSize(154, 154),
         false,
         true,
         {
             {"Image1", "QLabel", "", QRect(0, 0, 154, 154)},
         }},
        {"Form20",
         loader<Form20>(),
         "",
         QSize(289, 73),
         false,
         true,
         {
             {"Image1", "QLabel", "Press <<Signal>> Button To Refresh Signal Strength", {}},
             {"Shape1", "QFrame", nullptr, {}},
         }},
        {"Form5",
         loader<Form5>(),
         "Call Received.....",
         QSize(313, 169),
         false,
         false,
         {
             {"Label1", "QLabel", "", {}},
             {"Label2", "QLabel", "", {}},
             {"Command1", "QPushButton", "&Answer", {}},
             {"Command2", "QPushButton", "&HangUp", {}},
             {"Image1", "QLabel", nullptr, {}},
             {"Frame1", "QFrame", nullptr, {}},
         }},
        {"Form3",
         loader<Form3>(),
         "GSM-Call",
         QSize(505, 337),
         true,
         false,
         {
             {"Frame1", "QGroupBox", "Dail", {}},
             {"Text1", "QLineEdit", "", {}},
             {"Command1", "QPushButton", "", {}},
             {"Command4", "QPushButton", "", {}},
             {"Command8", "QPushButton", "Redial", {}},
             {"Command6", "QPushButton", "<=", {}},
             {"Command7", "QPushButton", "Clear", {}},
             {"Command2", "QPushButton", "Add", {}},
             {"Command3", "QPushButton", "Delete", {}},
             {"Command5", "QPushButton", "Reload PhoneBook", {}},
             {"Image0", "QLabel", "0", {}},
             {"Image9", "QLabel", "9", {}},
             {"Label2", "QLabel", "#", {}},
             {"Label4", "QLabel", "X", {}},
             {"Label1", "QLabel", "<<Signal>>", {}},
             {"Label3", "QLabel", "", {}},
             {"List1", "QListWidget", nullptr, {}},
             {"Text2", "QLineEdit", "", {}, true, false},
             {"Text4", "QLineEdit", "", {}, true, false},
         }},
        {"Form6",
         loader<Form6>(),
         "GSM-Call Control",
         QSize(608, 387),
         true,
         false,
         {
             {"TabStrip1", "QTabBar", nullptr, {}},
             {"Frame1", "QFrame", nullptr, {}},
             {"Frame2", "QFrame", nullptr, {}, true, false},
             {"Frame10", "QFrame", nullptr, {}, true, false},
             {"Frame12", "QGroupBox", "Ring Melody", {}, true, false},
             {"Frame3", "QGroupBox", "Tune For Speaker", {}},
             {"Frame5", "QGroupBox", "Configure Echo Cancellation", {}},
             {"Frame6", "QGroupBox", "Echo Cancellation 1", {}},
             {"Frame7", "QGroupBox", "Echo Cancellation3", {}},
             {"Frame8", "QGroupBox", "Side Tone", {}},
             {"Frame11", "QGroupBox", "         AutoAnswer", {}},
             {"Slider10", "QSlider", nullptr, {}},
             {"Option2", "QRadioButton", "SideTone Enabled", {}},
             {"Option4", "QRadioButton", "Enable ", {}},
             {"Label33", "QLabel", "Rings", {}, true, false},
             {"Combo3", "QComboBox", "", {}, true, false},
             {"Label19", "QLabel", "Tone Length <300-1500>", {}},
             {"Command2", "QPushButton", "&Back", {}},
             {"Command5", "QPushButton", "&OK", {}},
             {"Command6", "QPushButton", "OK", {}},
             {"Combo4", "QComboBox", "", {}},
             {"Label7", "QLabel", nullptr, {}}, // the load handler's "Please Wait...."
         }},
        {"Form4",
         loader<Form4>(),
         "GSM-Add NUmbers To PhoneBook",
         QSize(297, 153),
         true,
         false,
         {
             {"Label1", "QLabel", "Country-Code", {}},
             {"Text1", "QLineEdit", "", {}},
             {"Label2", "QLabel", "Area-Code", {}},
             {"Text2", "QLineEdit", "", {}},
             {"Label3", "QLabel", "Phone-Number", {}},
             {"Text3", "QLineEdit", "", {}},
             {"Label4", "QLabel", "Name", {}},
             {"Text4", "QLineEdit", "", {}},
             {"Command1", "QPushButton", "&Ok", {}},
             {"Command2", "QPushButton", "&Cancel", {}},
         }},
        {"Form8",
         loader<Form8>(),
         "GSM-Short Message Service",
         QSize(601, 449),
         true,
         false,
         {
             {"Frame2", "QGroupBox", "Write Message", {}},
             {"Label5", "QLabel", "Msg Header (Max 20)", {}},
             {"Text2", "QPlainTextEdit", "", {}},
             {"Command5", "QPushButton", "Select Outbox Msg", {}},
             {"Combo2", "QComboBox", "", {}, true, false},
             {"Frame3", "QGroupBox", "Read Message", {}},
             {"Text3", "QPlainTextEdit", "", {}},
             {"Frame4", "QGroupBox", "Cell BroadCast", {}},
             {"Option4", "QRadioButton", "Disable", {}},
             {"Command9", "QPushButton", "OK", {}},
             {"Label3", "QLabel", "Service Center Address", {}, true, false},
             {"Text4", "QLineEdit", "", {}, true, false},
             {"List1", "QListWidget", nullptr, {}},
             {"Label7", "QLabel", "<<Signal>>", {}},
             {"Label4", "QLabel", "", {}},
         }},
        {"Form14",
         loader<Form14>(),
         "GSM-DATA&FAX SETUP",
         QSize(560, 360),
         true,
         false,
         {
             {"Command1", "QPushButton", "Bearer Type", {}},
             {"Command2", "QPushButton", "Data Compression/Error Correction", {}},
             {"Command3", "QPushButton", "FAX ", {}},
             {"Label9", "QLabel", "<<Signal>>", {}},
             {"Frame1", "QGroupBox", "Bearer Type Selection", {}},
             {"Label2", "QLabel", "Speed", {}},
             {"Label3", "QLabel", "Connection Element", {}},
             {"Command6", "QPushButton", "OK", {}},
             {"Frame2",
              "QGroupBox",
              "Data Compression                    Error Correction Mode",
              {},
              true,
              false},
             {"Command7", "QPushButton", "OK", {}},
             {"Command8", "QPushButton", "OK", {}},
             {"Line1", "QFrame", nullptr, {}},
             {"Frame3", "QGroupBox", "FAX", {}, true, false},
             {"Label6", "QLabel", "Fax Mode", {}},
             {"Command4", "QPushButton", "Ok", {}},
             {"Label7", "QLabel", "Set Transmit Speed", {}},
             {"Combo6", "QComboBox", "", {}},
             {"Command5", "QPushButton", "Ok", {}},
             {"Label8", "QLabel", "Set Receive Speed", {}},
             {"Command9", "QPushButton", "Ok", {}},
             {"Label5", "QLabel", "", {}},
         }},
        {"Form15",
         loader<Form15>(),
         "GSM-Modem Settings",
         QSize(657, 409),
         true,
         false,
         {
             {"Frame2", "QGroupBox", "Fixed DTE Rate", {}},
             {"Combo1", "QComboBox", "", {}},
             {"Frame3", "QGroupBox", "DTE-DCE Character Framing", {}},
             {"Option3", "QRadioButton", "8 Data,1 Parity,1Stop", {}},
             {"Option12", "QRadioButton", "None", {}},
             {"Frame7", "QGroupBox", "DCE-DTE", {}},
             {"Option16", "QRadioButton", "X on/X Off Global", {}},
             {"Frame10", "QGroupBox", "Set DTR signal", {}},
             {"Option21", "QRadioButton", "On-Data Mode/Off Command Mode", {}},
             {"Option28", "QRadioButton", "Enable", {}},
             {"Command1", "QPushButton", "Save Configurations", {}},
             {"Label1", "QLabel", "", {}},
         }},
        {"frmSettings",
         loader<frmSettings>(),
         "",
         QSize(329, 227),
         false,
         false,
         {
             {"fraPort", "QGroupBox", "Comm Port", {}},
             {"cboPort", "QComboBox", "", {}},
             {"cboBaud", "QComboBox", "", {}},
             {"optParity0", "QRadioButton", "Even", {}},
             {"optParity2", "QRadioButton", "None", {}},
             {"optDataBits1", "QRadioButton", "8 Bit", {}},
             {"optStopBits1", "QRadioButton", "2  Bit", {}},
             {"optHandshake1", "QRadioButton", "Xon", {}},
             {"fraHandshake", "QGroupBox", "Handshaking", {}},
             {"cmdAction0", "QPushButton", "OK", {}},
             {"cmdAction1", "QPushButton", "Cancel", {}},
         }},
    };
    return table;
}

} // namespace

using WindowLayoutTest = ConsoleTest;

TEST_F(WindowLayoutTest, EveryWindowHasItsCaptionClientSizeBorderAndDesignControls) {
    for (const Window& w : windows()) {
        SCOPED_TRACE(w.name);
        FormBase& window = w.load();
        EXPECT_EQ(window.objectName().toStdString(), w.name);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.windowTitle().toStdString(), w.caption);
        EXPECT_EQ(window.size(), w.client);
        const Qt::WindowFlags flags = window.windowFlags();
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), w.minimise);
        EXPECT_EQ(bool(flags & Qt::FramelessWindowHint), w.frameless);
        for (const Control& c : w.controls) {
            SCOPED_TRACE(c.name);
            QWidget* widget = control<QWidget>(window, c.name);
            EXPECT_STREQ(widget->metaObject()->className(), c.kind);
            if (c.text) {
                EXPECT_EQ(shownText(widget).toStdString(), c.text);
            }
            if (c.place) {
                EXPECT_EQ(widget->geometry(), *c.place);
            }
            EXPECT_EQ(widget->isEnabled(), c.enabled);
            EXPECT_EQ(widget->isVisibleTo(widget->parentWidget()), c.visible);
        }
    }
}

// The designs place everything inside its frame, with the exceptions the
// designs have: the PIN window's unused label runs past the frame's right
// edge, and the main window keeps its log, port lists and SIM code boxes below
// and to the right of its visible area.
TEST_F(WindowLayoutTest, EveryControlLiesWithinItsContainer) {
    const std::set<std::pair<QString, QString>> designedOutside = {
        {"Form10", "Label3"}, {"Form1", "Text1"}, {"Form1", "Combo1"},
        {"Form1", "Combo2"},  {"Form1", "Text2"}, {"Form1", "Text3"},
    };
    for (const Window& w : windows()) {
        FormBase& window = w.load();
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            // Designed controls sit on the window or in a frame; the inner
            // parts of lists, boxes and tab strips are not looked at.
            QWidget* container = widget->parentWidget();
            const QByteArray kind = container->metaObject()->className();
            if (container != &window && kind != "QFrame" && kind != "QGroupBox") continue;
            const QString name = widget->objectName();
            if (designedOutside.count({QString::fromLatin1(w.name), name})) continue;
            EXPECT_TRUE(container->rect().contains(widget->geometry()))
                << w.name << "." << name.toStdString() << " in "
                << container->objectName().toStdString();
        }
    }
}

TEST_F(WindowLayoutTest, SlidersCarryTheirRangesAndSteps) {
    struct Slider {
        const char* name;
        int minimum, maximum, small, large;
    };
    const Slider sliders[] = {
        {"Slider1", 0, 255, 1, 15}, {"Slider2", 0, 255, 1, 15},     {"Slider3", 0, 15, 1, 1},
        {"Slider4", 0, 3, 1, 1},    {"Slider5", 0, 31, 1, 2},       {"Slider6", 0, 31, 1, 2},
        {"Slider7", 0, 63, 1, 1},   {"Slider8", 0, 32767, 1, 1000}, {"Slider9", 64, 256, 1, 5},
        {"Slider10", 0, 3, 1, 1},   {"Slider11", 0, 15, 1, 5},
    };
    Form6& window = form<Form6>();
    for (const Slider& s : sliders) {
        SCOPED_TRACE(s.name);
        auto* slider = control<QSlider>(window, s.name);
        EXPECT_EQ(slider->minimum(), s.minimum);
        EXPECT_EQ(slider->maximum(), s.maximum);
        EXPECT_EQ(slider->singleStep(), s.small);
        EXPECT_EQ(slider->pageStep(), s.large);
        EXPECT_EQ(slider->value(), s.minimum);
        EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    }
    // The ring-melody page has a tab of its own after the three.
    const QTabBar* strip = control<QTabBar>(window, "TabStrip1");
    ASSERT_EQ(strip->count(), 4);
    EXPECT_EQ(strip->tabText(0), "Volume Control");
    EXPECT_EQ(strip->tabText(1), "Tone/Echo Control");
    EXPECT_EQ(strip->tabText(2), "AutoAnswer Mode/DTMF");
    EXPECT_EQ(strip->tabText(3), "Ring Melody");
}

TEST_F(WindowLayoutTest, TextBoxesCarryTheirLengthLimits) {
    struct Box {
        std::function<FormBase&()> load;
        const char* name;
        int maxLength;
    };
    const Box boxes[] = {
        {loader<Form10>(), "Text1", 4}, {loader<Form10>(), "Text2", 8},
        {loader<Form3>(), "Text1", 30}, {loader<Form6>(), "Text1", 5},
        {loader<Form4>(), "Text1", 4},  {loader<Form4>(), "Text2", 4},
        {loader<Form4>(), "Text3", 15}, {loader<Form4>(), "Text4", 14},
        {loader<Form8>(), "Text5", 20}, {loader<Form8>(), "Text2", 160},
    };
    for (const Box& b : boxes) {
        FormBase& window = b.load();
        SCOPED_TRACE(window.objectName().toStdString() + "." + b.name);
        QWidget* box = control<QWidget>(window, b.name);
        // A one-line box limits itself; the multi-line one keeps the limit for its code.
        EXPECT_EQ(box->property("maxLength").toInt(), b.maxLength);
    }
    Form10& pin = form<Form10>();
    const QLineEdit* password = control<QLineEdit>(pin, "Text1");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(
        password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
        '*');
    EXPECT_EQ(control<QLineEdit>(pin, "Text2")->echoMode(), QLineEdit::Normal);
}

TEST_F(WindowLayoutTest, ListsAreEmptyAndNoOptionIsSetAtDesign) {
    struct Combo {
        std::function<FormBase&()> load;
        const char* name;
        bool editable;
        int filledAtLoad; // items the load handler puts in the list; nothing is chosen
    };
    const Combo combos[] = {
        {loader<Form6>(), "Combo1", false, 2},        {loader<Form6>(), "Combo2", false, 2},
        {loader<Form6>(), "Combo3", true, 8},         {loader<Form6>(), "Combo4", false, 0},
        {loader<Form6>(), "Combo5", false, 0},        {loader<Form8>(), "Combo1", false, 12},
        {loader<Form8>(), "Combo2", false, 12},       {loader<frmSettings>(), "cboPort", false, 0},
        {loader<frmSettings>(), "cboBaud", false, 0},
    };
    for (const Combo& c : combos) {
        FormBase& window = c.load();
        SCOPED_TRACE(window.objectName().toStdString() + "." + c.name);
        auto* box = control<QComboBox>(window, c.name);
        EXPECT_EQ(box->isEditable(), c.editable);
        EXPECT_EQ(box->count(), c.filledAtLoad);
        EXPECT_EQ(box->currentText(), "");
    }
    for (const Window& w : windows())
        for (QRadioButton* option : w.load().findChildren<QRadioButton*>())
            EXPECT_FALSE(option->isChecked())
                << w.name << "." << option->objectName().toStdString();
}

TEST_F(WindowLayoutTest, TimersDataControlsColoursAndFontsFollowTheDesign) {
    EXPECT_EQ(form<Form20>().Timer1.Interval(), 50000);
    EXPECT_FALSE(form<Form20>().Timer1.Enabled());

    struct Data {
        const db::DataControl& control;
        const char* source;
    };
    const Data data[] = {{form<Form3>().Data1, "DATA"},
                         {form<Form3>().Data2, "Details"},
                         {form<Form8>().Data1, "DATA"}};
    for (const Data& d : data) {
        EXPECT_EQ(d.control.DatabaseName(), "PhoneBook.mdb");
        EXPECT_EQ(d.control.RecordSource(), d.source);
    }

    QLabel* note = control<QLabel>(form<Form5>(), "Label2");
    note->ensurePolished();
    EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QLabel* status = control<QLabel>(form<Form6>(), "Label7");
    status->ensurePolished();
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor(192, 0, 0));

    EXPECT_TRUE(QFontInfo(control<QLabel>(form<Form7>(), "Label4")->font()).fixedPitch());
    EXPECT_FALSE(control<QLabel>(form<Form11>(), "Image1")->pixmap().isNull());
    EXPECT_FALSE(control<QPushButton>(form<Form3>(), "Command1")->icon().isNull());
    EXPECT_FALSE(control<QPushButton>(form<Form5>(), "Command2")->icon().isNull());
}

TEST_F(WindowLayoutTest, ControlArraysAreReachedByIndex) {
    frmSettings& dialog = form<frmSettings>();
    const char* handshakes[] = {"None", "Xon", "RTS", "Both"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dialog.optHandshake(i)->objectName(), QString("optHandshake%1").arg(i));
        EXPECT_EQ(dialog.optHandshake(i)->text(), handshakes[i]);
    }
    EXPECT_EQ(dialog.optParity(1)->text(), "Odd");
    EXPECT_EQ(dialog.optDataBits(0)->text(), "7 Bit");
    EXPECT_EQ(dialog.optStopBits(0)->text(), "1 Bit");
    EXPECT_EQ(dialog.cmdAction(1), control<QPushButton>(dialog, "cmdAction1"));
    EXPECT_THROW(dialog.optParity(3), std::out_of_range);

    Form3& call = form<Form3>();
    for (int digit = 0; digit <= 9; ++digit) {
        EXPECT_EQ(call.Image(digit)->objectName(), QString("Image%1").arg(digit));
        EXPECT_EQ(call.Image(digit)->text(), QString::number(digit));
    }
}

namespace {

// Every window of the program, for the checks that look at all of them.
// A new window joins the list with one line.
const std::vector<std::function<FormBase&()>>& everyWindow() {
    static const std::vector<std::function<FormBase&()>> all = {
        loader<Form1>(),  //
        loader<Form2>(),  //
        loader<Form3>(),  //
        loader<Form4>(),  //
        loader<Form5>(),  //
        loader<Form6>(),  //
        loader<Form7>(),  //
        loader<Form8>(),  //
        loader<Form9>(),  //
        loader<Form10>(), //
        loader<Form11>(), //
        loader<Form12>(), //
        loader<Form14>(), //
        loader<Form15>(), //
        loader<Form16>(), //
        loader<Form17>(), //
        loader<Form18>(), //
        loader<Form19>(), //
        loader<Form20>(), //
        loader<frmSettings>(),
    };
    return all;
}

// The program's own style, noting every text it draws: on which control, in
// which rectangle, and the room the text takes there as it is drawn (wrapped
// or not, in the font the painter draws it in).
class RecordingStyle : public CaptionStyle {
  public:
    struct Drawn {
        const QWidget* control;
        QString text;
        QRect rect;
        QRect needed;
    };

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text, QPalette::ColorRole role) const override {
        QPaintDevice* device = painter->device();
        if (device && device->devType() == QInternal::Widget) {
            const QRect needed =
                painter->fontMetrics().boundingRect(rect, textFlags(painter, flags), text);
            drawn_.push_back({static_cast<QWidget*>(device), text, rect, needed});
        }
        CaptionStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    }

    // Paints the control on its own and returns the texts drawn on it.
    std::vector<Drawn> paint(QWidget* control) {
        drawn_.clear();
        control->grab();
        std::vector<Drawn> own;
        for (const Drawn& d : drawn_)
            if (d.control == control) own.push_back(d);
        return own;
    }

  private:
    mutable std::vector<Drawn> drawn_;
};

// Draws with a recording style for the length of a test, then with the program's own again.
class Recording {
  public:
    Recording() : style_(new RecordingStyle) { QApplication::setStyle(style_); }
    ~Recording() { QApplication::setStyle(new CaptionStyle); }
    RecordingStyle& style() { return *style_; }

  private:
    RecordingStyle* style_; // owned by the application
};

// The caption a control shows, for the kinds whose caption a user reads.
QString caption(QWidget* control) {
    if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control) ||
        qobject_cast<QGroupBox*>(control))
        return shownText(control);
    return QString();
}

std::string describe(const RecordingStyle::Drawn& d) {
    auto text = [](const QRect& r) {
        return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    return QString("\"%1\" needs %2, has %3 in %4")
        .arg(d.text, text(d.needed), text(d.rect), text(d.control->rect()))
        .toStdString();
}

// Whether a drawn text lies whole inside the room it was given and inside its control.
bool drawnWhole(const RecordingStyle::Drawn& d) {
    return d.rect.contains(d.needed) && d.control->rect().contains(d.needed);
}

// Whether `upper` is painted after `lower`, and so over it where they meet:
// the children of their nearest common container are painted in stacking
// order. A control never covers the one that holds it, nor what it holds.
bool paintedOver(const QWidget* upper, const QWidget* lower) {
    auto line = [](const QWidget* w) {
        std::vector<const QWidget*> fromWindow;
        for (; w; w = w->parentWidget())
            fromWindow.insert(fromWindow.begin(), w);
        return fromWindow;
    };
    const auto up = line(upper), low = line(lower);
    size_t split = 0;
    while (split < up.size() && split < low.size() && up[split] == low[split])
        ++split;
    if (split == 0 || split == up.size() || split == low.size()) return false;
    const QObjectList& order = up[split - 1]->children();
    return order.indexOf(up[split]) > order.indexOf(low[split]);
}

// Where, in the window, a control hides what lies beneath it: a label its
// text or picture, a frame its title, an entry box, list, slider or button
// all of itself.
std::vector<QRect> hiddenBy(QWidget* control, const FormBase& window, RecordingStyle& style) {
    std::vector<QRect> areas;
    auto inWindow = [&](const QRect& r) {
        return QRect(control->mapTo(&window, r.topLeft()), r.size());
    };
    if (qobject_cast<QLabel*>(control) || qobject_cast<QGroupBox*>(control)) {
        auto* label = qobject_cast<QLabel*>(control);
        if (label && !label->pixmap().isNull()) areas.push_back(inWindow(label->rect()));
        for (const auto& d : style.paint(control))
            areas.push_back(inWindow(d.needed));
    } else if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
               qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractScrollArea*>(control) ||
               qobject_cast<QAbstractSlider*>(control) || qobject_cast<QTabBar*>(control)) {
        areas.push_back(inWindow(control->rect()));
    }
    return areas;
}

} // namespace

// Every caption of every window, a hidden one too, is drawn whole: the text
// as the style draws it (a button's caption wrapped at blanks, a label's when
// it wraps), in the face and size it is drawn in, lies inside its control.
TEST_F(WindowLayoutTest, EveryCaptionIsDrawnWhole) {
    Recording recording;
    for (const auto& load : everyWindow()) {
        FormBase& window = load();
        for (QWidget* control : window.findChildren<QWidget*>()) {
            const QString text = caption(control);
            if (text.trimmed().isEmpty()) continue;
            SCOPED_TRACE(window.objectName().toStdString() + "." +
                         control->objectName().toStdString());
            const auto drawn = recording.style().paint(control);
            EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(),
                                    [&](const auto& d) { return d.text == text; }))
                << "the caption \"" << text.toStdString() << "\" was not drawn as text";
            for (const auto& d : drawn)
                EXPECT_TRUE(drawnWhole(d)) << describe(d);
        }
        for (QTabBar* strip : window.findChildren<QTabBar*>()) {
            SCOPED_TRACE(window.objectName().toStdString() + "." +
                         strip->objectName().toStdString());
            const auto drawn = recording.style().paint(strip);
            EXPECT_EQ(int(drawn.size()), strip->count());
            for (const auto& d : drawn)
                EXPECT_TRUE(drawnWhole(d)) << describe(d);
        }
    }
}

// The longest texts the program writes into its status lines and labels at
// run time are drawn whole as well.
TEST_F(WindowLayoutTest, StatusLinesHoldTheirLongestMessagesWhole) {
    struct Message {
        std::function<FormBase&()> load;
        const char* label;
        const char* text;
    };
    const Message messages[] = {
        {loader<Form1>(), "Label5", "No Modem Device Found.Set The Comm Ports"},
        {loader<Form1>(), "Label5", "Check If Modem Is Connected Properly"},
        {loader<Form1>(), "Label9", "System Started  31/12/2026,23:59:59"},
        {loader<Form1>(), "Label1", "Closed"},
        {loader<Form1>(), "Label2", "Port 32"},
        {loader<Form1>(), "Label3", "115200,N,8,1"},
        {loader<Form1>(), "Label4", "23:59:59"},
        {loader<Form1>(), "Label6", "115200"},
        {loader<Form1>(), "Label7",
         "Character Framing:8 Data,1 Parity,1 Stop Parity:SpaceECHO:Enabled"},
        {loader<Form7>(), "Label4", "Unknown/Undetectable"},
        {loader<Form7>(), "Label5", "Not Registered.Searching Operator"},
        {loader<Form5>(), "Label1", "Call Waiting-  +441632960961"},
        {loader<Form3>(), "Label3", "No Carrier.Plz Disconnect"},
        {loader<Form8>(), "Label4", "New Message Received.30"},
        {loader<Form16>(), "Label1", "Please Wait"},
        {loader<Form17>(), "Label14",
         "BatteryChargeLevel->5,   signal level-5,   service Enabled,   Received New Message,   "
         "Call Received,   Roam Enabled,   SMS Not FULL"},
        {loader<Form17>(), "Label14", "Works Only For Veltran 100"},
        {loader<Form17>(), "Label5",
         "Indication that an Active,Held or Waiting Call Has Been Released by network or other "
         "Party"},
        {loader<Form17>(), "Label1", "Changes UnSuccessFul-CCED"},
        {loader<Form17>(), "Label6", "Changes UnSuccessFul-CPHS"},
        {loader<Form17>(), "Label9", "Not Supported"},
        {loader<Form17>(), "Label13", "POWER OFF SuccessFul"},
        {loader<Form18>(), "Label2",
         "Current Status: Mode:  DeActivate SIM ToolKit Functionalities"},
        {loader<Form18>(), "Label2", "Plz Wait.Checking Current Values"},
        {loader<Form18>(), "Label3", "TIMEOUT: 255"},
        {loader<Form18>(), "Label4", "Automatic Response Not Activated"},
        {loader<Form19>(), "Label1", "Current Status Not Avialable"},
        {loader<Form9>(), "Label2",
         "Changes Unsuccessful,Phone is Already UNLocked Or Invalid Password Entered"},
        {loader<Form9>(), "Label6",
         "Changes Unsuccessful,SIM PIN is Already DeActivated Or Invalid Password Entered"},
        {loader<Form9>(), "Label10",
         "Changes Unsuccessful,N/w is Already UNLocked Or Invalid Password Entered"},
        {loader<Form9>(), "Label1", "Please Wait...."},
        {loader<Form12>(), "Label2", "Checking Current Status..."},
        {loader<Form12>(), "Label16",
         "ALL CONDITON CALL FORWARDING-Call Forward  Interrogated For All Classes +441632960961"},
        {loader<Form12>(), "Label3",
         "Current Status:All OutGoing Calls Barred For Short Message,      Current "
         "Status:OutGoing International Calls Barred For Short Message,     Current "
         "Status:OutGoing Internet Calls Barred For Short Message,     Current Status:All "
         "Incoming Calls Barred For Short Message,     Current Status:Barr Incoing when  For "
         "Short Message"},
        {loader<Form12>(), "Label5", "Error! Changes UnsuccessFul"},
        {loader<Form12>(), "Label6", "Current Status:Call Waiting Disabled"},
        {loader<Form12>(), "Label7",
         "Current Status: CUG Mode Disabled    ,CUG Index 10   ,Suppress Outgoing Access And "
         "Preferential CUG"},
    };
    Recording recording;
    for (const Message& m : messages) {
        FormBase& window = m.load();
        SCOPED_TRACE(window.objectName().toStdString() + "." + m.label);
        auto* label = control<QLabel>(window, m.label);
        label->setText(m.text);
        const auto drawn = recording.style().paint(label);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_TRUE(drawnWhole(drawn.front())) << describe(drawn.front());
    }
}

// What a window shows at load hides no caption under another control: page
// frames that share a place show one at a time, and no control lies over a
// label's text.
TEST_F(WindowLayoutTest, NoShownCaptionLiesUnderAnotherControl) {
    Recording recording;
    for (const auto& load : everyWindow()) {
        FormBase& window = load();
        std::vector<QWidget*> shown;
        for (QWidget* control : window.findChildren<QWidget*>())
            if (control->isVisibleTo(&window)) shown.push_back(control);
        std::vector<std::pair<QWidget*, QRect>> hiding;
        for (QWidget* control : shown)
            for (const QRect& area : hiddenBy(control, window, recording.style()))
                hiding.emplace_back(control, area);
        for (QWidget* control : shown) {
            if (caption(control).trimmed().isEmpty()) continue;
            for (const auto& d : recording.style().paint(control)) {
                const QRect text(control->mapTo(&window, d.needed.topLeft()), d.needed.size());
                for (const auto& [other, area] : hiding)
                    EXPECT_FALSE(paintedOver(other, control) && area.intersects(text))
                        << window.objectName().toStdString() << "."
                        << control->objectName().toStdString() << " \"" << d.text.toStdString()
                        << "\" lies under " << other->objectName().toStdString();
            }
        }
    }
}

// What a screen reader or a user-interface test reads as a button's name: its
// accessible name, else its caption without the mnemonic.
TEST_F(WindowLayoutTest, EveryButtonHasAName) {
    for (const auto& load : everyWindow()) {
        FormBase& window = load();
        for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
            ASSERT_NE(face, nullptr);
            EXPECT_FALSE(face->text(QAccessible::Name).trimmed().isEmpty())
                << window.objectName().toStdString() << "." << button->objectName().toStdString();
        }
    }
}

namespace {

// The controls a person types into, picks from or slides, as the windows
// place them; the scroll bars, pop-up lists and edit lines inside them are
// their parts.
std::vector<QWidget*> entryBoxes(FormBase& window) {
    auto isEntry = [](const QWidget* w) {
        return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
               qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
               qobject_cast<const QAbstractSlider*>(w);
    };
    auto isPart = [&](const QWidget* w) {
        for (const QWidget* up = w->parentWidget(); up && up != &window; up = up->parentWidget())
            if (isEntry(up)) return true;
        return false;
    };
    std::vector<QWidget*> boxes;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (isEntry(w) && !isPart(w)) boxes.push_back(w);
    return boxes;
}

// Boxes the program keeps for itself and no person ever sees: the main
// window's log, port lists and SIM code flags below its visible area, and the
// call window's hidden phonebook counts.
bool keptFromSight(const FormBase& window, const QWidget* box) {
    static const std::set<std::pair<QString, QString>> kept = {
        {"Form1", "Text1"}, {"Form1", "Combo1"}, {"Form1", "Combo2"}, {"Form1", "Text2"},
        {"Form1", "Text3"}, {"Form3", "Text2"},  {"Form3", "Text4"},
    };
    return kept.count({window.objectName(), box->objectName()}) > 0;
}

// The label whose buddy a box is: Qt names the box after it.
QLabel* buddyLabel(QWidget* box) {
    for (QLabel* label : box->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == box) return label;
    return nullptr;
}

// The label a person reads as a box's name: the nearest label of its frame
// that ends just left of the box on its line, or just above it over its width.
// Beside a slider stand the marks of its scale, not its name.
QLabel* labelBeside(QWidget* box) {
    if (qobject_cast<QAbstractSlider*>(box)) return nullptr;
    const QRect b = box->geometry();
    QLabel* nearest = nullptr;
    int nearestGap = std::numeric_limits<int>::max();
    for (QLabel* label : box->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text().trimmed().isEmpty()) continue;
        const QRect l = label->geometry();
        const bool sameLine = l.top() < b.bottom() && b.top() < l.bottom();
        const bool sameColumn = l.left() < b.right() && b.left() < l.right();
        const int leftGap = b.left() - l.right() - 1, aboveGap = b.top() - l.bottom() - 1;
        int gap;
        if (sameLine && leftGap >= -2 && leftGap <= 24)
            gap = leftGap;
        else if (sameColumn && aboveGap >= -2 && aboveGap <= 8)
            gap = aboveGap;
        else
            continue;
        if (gap < nearestGap) nearest = label, nearestGap = gap;
    }
    return nearest;
}

// A caption as a screen reader reads it: "&&" is an ampersand, any other "&"
// marks the mnemonic.
QString withoutMnemonic(QString caption) {
    return caption.replace(QRegularExpression("&(.)"), "\\1");
}

} // namespace

// A screen reader names a box by its own accessible name, else by the label
// whose buddy it is; failing both, Qt falls back to the caption of the frame
// around the box, which names every box of that frame alike. So every box a
// person uses, on every page, is named one of the first two ways: by the label
// standing beside it where there is one (which gains no shortcut from it), by
// a name of its own where there is none. No two boxes shown together, in one
// frame or on the window as it opens, share a name.
TEST_F(WindowLayoutTest, EveryEntryBoxIsNamedByTheLabelBesideIt) {
    for (const auto& load : everyWindow()) {
        FormBase& window = load();
        std::map<const QWidget*, std::map<QString, QString>> namedInFrame;
        std::map<QString, QString> namedOnOpening;
        for (QWidget* box : entryBoxes(window)) {
            if (keptFromSight(window, box)) continue;
            const QString where = window.objectName() + "." + box->objectName();
            SCOPED_TRACE(where.toStdString());
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
            ASSERT_NE(face, nullptr);
            const QString name = face->text(QAccessible::Name);
            QLabel* label = buddyLabel(box);
            if (QLabel* beside = labelBeside(box)) {
                EXPECT_EQ(label ? label->objectName() : QString(), beside->objectName())
                    << "\"" << beside->text().toStdString() << "\" stands beside it";
            }
            if (label) {
                EXPECT_EQ(name, withoutMnemonic(label->text()));
                EXPECT_FALSE(label->text().contains('&')) << "its label would become a shortcut";
            } else if (box->isEnabled()) {
                EXPECT_FALSE(name.trimmed().isEmpty());
                EXPECT_EQ(name, box->accessibleName());
            }
            if (name.isEmpty()) continue;
            auto takeName = [&](std::map<QString, QString>& taken) {
                const auto [holder, added] = taken.emplace(name, where);
                EXPECT_TRUE(added) << "\"" << name.toStdString() << "\" names "
                                   << holder->second.toStdString() << " as well";
            };
            takeName(namedInFrame[box->parentWidget()]);
            if (box->isVisibleTo(&window)) takeName(namedOnOpening);
        }
    }
}

// The password boxes of every window show a star for each character typed.
TEST_F(WindowLayoutTest, EveryPasswordBoxShowsStars) {
    const QStringList passwordBoxes = {
        "Form9.Text1", "Form9.Text2", "Form9.Text3", "Form9.Text4",  "Form9.Text5",  "Form9.Text6",
        "Form9.Text7", "Form9.Text8", "Form9.Text9", "Form10.Text1", "Form12.Text2",
    };
    QStringList found;
    for (const auto& load : everyWindow()) {
        FormBase& window = load();
        for (QLineEdit* box : window.findChildren<QLineEdit*>()) {
            if (box->echoMode() == QLineEdit::Normal) continue;
            const QString where = window.objectName() + "." + box->objectName();
            found << where;
            box->clear();
            type(box, "1234");
            EXPECT_EQ(box->text(), "1234") << where.toStdString();
            EXPECT_EQ(box->displayText(), "****") << where.toStdString();
        }
    }
    EXPECT_EQ(found, passwordBoxes);
}

// The faces the windows name are drawn in the free faces that stand in for
// them (tools/setup.sh installs them), unless the desktop has the face itself;
// every other text in the small dialog face.
TEST(LookTest, NamedFacesAreDrawnInTheirStandIns) {
    const std::pair<QString, QString> faces[] = {
        {"Georgia", "C059"},
        {"Times New Roman", "Liberation Serif"},
        {"Garamond", "EB Garamond"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& [named, standIn] : faces) {
        const QString drawn = QFontInfo(QFont(named)).family();
        EXPECT_TRUE(drawn == named || drawn.startsWith(standIn))
            << named.toStdString() << " is drawn in " << drawn.toStdString();
    }
    const QFontInfo dialog(QApplication::font());
    EXPECT_TRUE(dialog.family().startsWith("Liberation Sans")) << dialog.family().toStdString();
    EXPECT_EQ(dialog.pointSize(), 8);
}

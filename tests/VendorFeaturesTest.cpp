// The vendor-features window: its four panels, the indicator status, the
// three changes, the pin read and the power-off, against the simulated
// modem, with odd replies put in its mouth where a case needs one.

#include "config/Form17.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"
#include "tests/ModuleShapes.h"

#include <functional>
#include <optional>

namespace {

const QString kSevenIndicators =
    "BatteryChargeLevel->5,   signal level-3,   service Enabled,   No New Message,   "
    "No New Call,   Roam Disabled,   SMS Not FULL";

} // namespace

// The window as the menu shows it: loaded, its first query answered.
class VendorFeaturesTest : public ConnectedConsole, protected ControlsOf<Form17> {
  protected:
    VendorFeaturesTest() {
        form<Form17>().Show();
        sent();
    }

    Form17& features() { return form<Form17>(); }
    void press(const char* name) { button(name)->click(); }
};

// The tests that read the module's verdicts, in every shape modules answer in
// that keeps Wavecom's order of the indicators, which this window names by place.
using VendorFeaturesInShapes = InEveryShape<VendorFeaturesTest>;
INSTANTIATE_TEST_SUITE_P(Shapes, VendorFeaturesInShapes, ::testing::ValuesIn(wavecomOrderShapes()),
                         shapeName);

TEST_P(VendorFeaturesInShapes, TheIndicatorStatusNamesEachValueOfTheReply) {
    struct Case {
        const char* name;
        std::optional<QByteArray> reply; // none: the modem's own
        Refused refused;
        QString shown;
    };
    const Case cases[] = {
        {"seven values", std::nullopt, {}, kSevenIndicators},
        {"the other codes",
         reply("+CIND: 0,0,0,1,1,1,1"),
         {},
         "BatteryChargeLevel->0,   signal level-0,   service disabled,   Received New Message,   "
         "Call Received,   Roam Enabled,   SMS  FULL"},
        {"a value outside the table",
         reply("+CIND: 6,3,1,0,0,0,0"),
         {},
         ",   signal level-3,   service Enabled,   No New Message,   No New Call,   "
         "Roam Disabled,   SMS Not FULL"},
        {"fewer than seven values",
         reply("+CIND: 5,3,1"),
         {},
         "BatteryChargeLevel->5,   signal level-3,   service Enabled,   ,   ,   ,   "},
        {"refused", std::nullopt, {{"+CIND", "+CME ERROR: 3"}}, "Works Only For Veltran 100"},
        {"the values and ERROR", "\r\n+CIND: 5,3,1,0,0,0,0\r\n" + kError, {}, kSevenIndicators},
        {"the values and an extended error",
         "\r\n+CIND: 5,3,1,0,0,0,0\r\n\r\n+CME ERROR: 3\r\n",
         {},
         kSevenIndicators},
        {"no verdict and no values", "\r\n", {}, "Wait..Checking Status"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        refuseOnly(c.refused);
        if (c.reply) modem().overrideReply("AT+CIND?", *c.reply);
        label("Label14")->setText("before");
        press("Command1");
        EXPECT_EQ(sent(), "AT+CIND?\r");
        EXPECT_EQ(label("Label14")->text(), c.shown);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_F(VendorFeaturesTest, EachPanelButtonShowsItsPanelAloneWithItsListsFilledAfresh) {
    const QStringList pins = {"0", "1", "2", "3", "4", "5", "6", "7"};
    struct Case {
        const char* button;
        const char* panel;
        std::vector<std::pair<const char*, QStringList>> lists;
        QByteArray sent;
    };
    const Case cases[] = {
        {"Command2", "Frame5", {{"Combo4", {"DeActivate", "Activate", "Interrogate"}}}, ""},
        {"Command3", "Frame6", {{"Combo5", pins}}, ""},
        {"Command5", "Frame9", {}, ""},
        {"Command1",
         "Frame1",
         {{"Combo1", {"1 Shot Request", "Automatic Shot Request", "Stop Automatic Shot"}},
          {"Combo2", {"Main Cell", "Neighbour1-Neighbour2", "Timing Advance"}},
          {"Combo3", {"0", "1", "2", "4", "8", "16", "32", "64", "128", "256"}}},
         "AT+CIND?\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        // A choice made earlier is lost, a typed text too.
        for (QComboBox* box : features().findChildren<QComboBox*>()) {
            if (box->count() > 1) box->setCurrentIndex(1);
            if (box->isEditable()) typeOver(box, "typed");
        }
        for (QLabel* result : {label("Label1"), label("Label6"), label("Label9"), label("Label13")})
            result->setText("kept");
        press(c.button);
        for (const char* panel : {"Frame1", "Frame5", "Frame6", "Frame9"})
            EXPECT_EQ(control<QWidget>(features(), panel)->isVisibleTo(&features()),
                      panel == c.panel)
                << panel;
        for (const auto& [name, shown] : c.lists) {
            EXPECT_EQ(items(list(name)), shown) << name;
            EXPECT_EQ(list(name)->currentText(), "") << name;
        }
        for (QLabel* result : {label("Label1"), label("Label6"), label("Label9"), label("Label13")})
            EXPECT_EQ(result->text(), "kept");
        EXPECT_EQ(sent(), c.sent);
    }
}

// Each change sends its codes, looked up by the item shown, and shows the
// device's verdict; a text that names no item is no choice, and a typed
// level goes out as typed, only as a number.
TEST_P(VendorFeaturesInShapes, ChangesSendTheirCodesAndShowTheVerdict) {
    using Choose = std::function<void()>;
    struct Case {
        const char* name;
        const char* panel;
        Choose choose;
        const char* button;
        QByteArray reply; // empty: the modem's own
        Refused refused;
        QByteArray sent;
        const char* resultLine;
        const char* shown;
        const char* message; // nullptr: none
    };
    auto dump = [this](const char* mode, const char* requested) {
        return [=] {
            if (mode) pick(list("Combo1"), mode);
            pick(list("Combo2"), requested);
        };
    };
    auto level = [this](const char* typed) { return [=] { typeOver(list("Combo3"), typed); }; };
    auto voiceMail = [this](const char* typed) { return [=] { typeOver(list("Combo4"), typed); }; };
    const Refused noRefusal;
    const char* kSelectDump = "Select Valid Mode And Request Dump | GSM-APPLICATION";
    const char* kSelectLevel = "Select Indication Level | GSM-APPLICATION";
    const Case cases[] = {
        {"cell dump", "Command1", dump("Automatic Shot Request", "Timing Advance"), "Command7", "",
         noRefusal, "AT+CCED=1,4\r", "Label1", "Changes SuccessFul-CCED", nullptr},
        {"cell dump refused",
         "Command1",
         dump("1 Shot Request", "Main Cell"),
         "Command7",
         "",
         {{"+CCED", "+CME ERROR: 3"}},
         "AT+CCED=0,1\r",
         "Label1",
         "Changes UnSuccessFul-CCED",
         nullptr},
        {"cell dump refused with a message error",
         "Command1",
         dump("1 Shot Request", "Timing Advance"),
         "Command7",
         "",
         {{"+CCED", "+CMS ERROR: 303"}},
         "AT+CCED=0,4\r",
         "Label1",
         "Changes UnSuccessFul-CCED",
         nullptr},
        {"cell dump without a verdict", "Command1", dump("Stop Automatic Shot", "Main Cell"),
         "Command7", "\r\n", noRefusal, "AT+CCED=2,1\r", "Label1", "", nullptr},
        {"typed dump", "Command1",
         [this] {
             pick(list("Combo1"), "1 Shot Request");
             typeOver(list("Combo2"), "Main");
         },
         "Command7", "", noRefusal, "", "Label1", "before", kSelectDump},
        {"no mode", "Command1", dump(nullptr, "Main Cell"), "Command7", "", noRefusal, "", "Label1",
         "before", kSelectDump},
        {"picked level", "Command1", [this] { pick(list("Combo3"), "16"); }, "Command8", "",
         noRefusal, "AT+WIND=16\r", "Label1", "Changes SuccessFul-WIND", nullptr},
        {"typed level", "Command1", level("3"), "Command8", "", noRefusal, "AT+WIND=3\r", "Label1",
         "Changes SuccessFul-WIND", nullptr},
        // Not completed to the item it begins.
        {"typed level 6", "Command1", level("6"), "Command8", "", noRefusal, "AT+WIND=6\r",
         "Label1", "Changes SuccessFul-WIND", nullptr},
        {"typed level 25", "Command1", level("25"), "Command8", "", noRefusal, "AT+WIND=25\r",
         "Label1", "Changes SuccessFul-WIND", nullptr},
        {"typed level with Enter", "Command1", level("64\n"), "Command8", "", noRefusal,
         "AT+WIND=64\r", "Label1", "Changes SuccessFul-WIND", nullptr},
        {"level refused",
         "Command1",
         level("511"),
         "Command8",
         "",
         {{"+WIND", "+CME ERROR: 3"}},
         "AT+WIND=511\r",
         "Label1",
         "Changes UnSuccessFul-WIND",
         nullptr},
        {"level chaining a command", "Command1", level("16;+CPOF"), "Command8", "", noRefusal, "",
         "Label1", "before", kSelectLevel},
        {"level typed as OK", "Command1", level("OK"), "Command8", "", noRefusal, "", "Label1",
         "before", kSelectLevel},
        {"level in another script's digits", "Command1", level("３"), "Command8", "", noRefusal, "",
         "Label1", "before", kSelectLevel},
        {"no level", "Command1", level(""), "Command8", "", noRefusal, "", "Label1", "before",
         kSelectLevel},
        {"voice mail interrogated", "Command2", [this] { pick(list("Combo4"), "Interrogate"); },
         "Command9", "", noRefusal, "AT+CPHS=2,1\r", "Label6", "Changes SuccessFul-CPHS", nullptr},
        {"voice mail refused",
         "Command2",
         [this] { pick(list("Combo4"), "Activate"); },
         "Command9",
         "",
         {{"+CPHS", "+CME ERROR: 3"}},
         "AT+CPHS=1,1\r",
         "Label6",
         "Changes UnSuccessFul-CPHS",
         nullptr},
        {"voice mail without a verdict", "Command2", [this] { pick(list("Combo4"), "DeActivate"); },
         "Command9", "\r\n", noRefusal, "AT+CPHS=0,1\r", "Label6", "before", nullptr},
        {"typed voice-mail mode", "Command2", voiceMail("Activate all"), "Command9", "", noRefusal,
         "", "Label6", "before", nullptr},
        {"no voice-mail mode", "Command2", voiceMail(""), "Command9", "", noRefusal, "", "Label6",
         "before", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        press(c.panel);
        sent();
        services().messages.clear();
        label(c.resultLine)->setText("before");
        modem().clearOverrides();
        refuseOnly(c.refused);
        if (!c.reply.isEmpty()) modem().overrideReply(c.sent.chopped(1), c.reply);
        c.choose();
        moveFocusTo(button(c.button));
        press(c.button);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(label(c.resultLine)->text(), c.shown);
        EXPECT_EQ(shownMessages(services()), c.message ? QStringList{c.message} : QStringList());
    }
}

// Typed, a level is sent as typed; neither Enter nor moving on to OK makes
// it a pick, even when it names an item, and the list keeps its items.
TEST_F(VendorFeaturesTest, PickingALevelShowsWhatItAnnouncesAndTypingOneChangesNothing) {
    const std::pair<const char*, const char*> levels[] = {
        {"0", "WIND disable"},
        {"4", "Module is Ready to Treat AT Commands(Except phonebook,AOC,SMS)"},
        {"32", "Indication that an Active,Held or Waiting Call Has Been Released by network or "
               "other Party"},
        {"256", "Audio On Indication"},
    };
    for (const auto& [item, description] : levels) {
        pick(list("Combo3"), item);
        EXPECT_EQ(label("Label5")->text(), description) << item;
    }
    const QStringList listed = items(list("Combo3"));
    const std::pair<const char*, QByteArray> typedLevels[] = {
        {"3", "AT+WIND=3\r"},     {"6", "AT+WIND=6\r"},   {"64", "AT+WIND=64\r"},
        {"64\n", "AT+WIND=64\r"}, {"4\n", "AT+WIND=4\r"}, {"300\n", "AT+WIND=300\r"},
    };
    for (const auto& [typed, command] : typedLevels) {
        SCOPED_TRACE(typed);
        typeOver(list("Combo3"), typed);
        EXPECT_EQ(list("Combo3")->currentText(), QString(typed).remove('\n'));
        moveFocusTo(button("Command8"));
        button("Command8")->click();
        EXPECT_EQ(sent(), command);
        EXPECT_EQ(label("Label5")->text(), "Audio On Indication");
        EXPECT_EQ(items(list("Combo3")), listed);
    }
}

// The pin's level is the value after "+WIOR:", whatever digits the echo holds.
TEST_P(VendorFeaturesInShapes, ThePinReadShowsTheLevelTheModemReports) {
    struct Case {
        const char* name;
        const char* typed;
        int level;
        QByteArray reply; // empty: the modem's own
        QByteArray sent;
        const char* shown;
        Refused refused = {};
    };
    const Case cases[] = {
        {"pin 0 low", "0", 0, "", "AT+WIOR=0\r", "PIN 0 RESET"},
        {"pin 0 high", "0", 1, "", "AT+WIOR=0\r", "PIN 0 SET"},
        {"pin 3 high", "3", 1, "", "AT+WIOR=3\r", "PIN 3 SET"},
        {"pin 7 low, Enter typed", "7\n", 0, "", "AT+WIOR=7\r", "PIN 7 RESET"},
        {"a value that is no level", "5", 0, reply("+WIOR: 2"), "AT+WIOR=5\r", ""},
        {"no value", "6", 0, "\r\nOK\r\n", "AT+WIOR=6\r", ""},
        {"not supported", "2", 0, "", "AT+WIOR=2\r", "Not Supported", {{"+WIOR", "+CME ERROR: 3"}}},
        {"a pin that is no item", "9", 0, "", "", "before"},
        {"no pin", "", 0, "", "", "before"},
    };
    press("Command3");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        refuseOnly(c.refused);
        if (!c.reply.isEmpty()) modem().overrideReply(c.sent.chopped(1), c.reply);
        modem().state().inputPins.fill(1 - c.level);
        if (c.typed[0] >= '0' && c.typed[0] <= '7')
            modem().state().inputPins[c.typed[0] - '0'] = c.level;
        label("Label9")->setText("before");
        typeOver(list("Combo5"), c.typed);
        button("Command10")->click();
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(label("Label9")->text(), c.shown);
        EXPECT_TRUE(main().Text1().isEmpty());
    }
}

TEST_P(VendorFeaturesInShapes, PowerOffStoresTheSettingsAndEndsTheProgramOnlyWhenTheModemAgrees) {
    struct Case {
        const char* name;
        QByteArray reply; // empty: the modem's own
        Refused refused;
        const char* shown;
        QStringList messages;
        int ended;
    };
    const Case cases[] = {
        {"refused", "", {{"+CPOF", "+CME ERROR: 3"}}, "Changes Unsuccessful", {}, 0},
        {"without a verdict", "\r\n", {}, "before", {}, 0},
        {"switched off",
         "",
         {},
         "POWER OFF SuccessFul",
         {"Power OFF SuccessFul.....Restart... | GSM-APPLICATION"},
         1},
    };
    press("Command5");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().clearOverrides();
        refuseOnly(c.refused);
        if (!c.reply.isEmpty()) modem().overrideReply("AT+CPOF", c.reply);
        modem().state().settings.params["+WIND"] = c.name;
        label("Label13")->setText("before");
        button("Command4")->click();
        EXPECT_EQ(sent(), "AT&W\rAT+CPOF\r");
        EXPECT_EQ(modem().state().storedProfile.params["+WIND"], c.name);
        EXPECT_NEAR(clock().seconds() - ports().writes(3).back().seconds, 3.0, 0.01);
        EXPECT_EQ(label("Label13")->text(), c.shown);
        EXPECT_EQ(shownMessages(services()), c.messages);
        EXPECT_EQ(services().ended, c.ended);
    }
    EXPECT_TRUE(modem().state().poweredOff);
}

TEST_F(VendorFeaturesTest, TheSignalLabelRefreshesTheSignalWindow) {
    click(label("Label10"));
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(commands(sent()), QStringList({"AT", "AT+CSQ", "AT+CREG?"}));
}

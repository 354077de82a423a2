#include "calls/Form5.h"
#include "console/Form20.h"
#include "console/Form7.h"
#include "tests/ConsoleFixture.h"
#include "tests/Helpers.h"

class SignalTest : public ConnectedConsole {
  protected:
    // The call watch's first look at the indicators, in which it also asks
    // for their order; the log emptied after.
    void letTheWatchLearnTheIndicators() {
        main().Timer2.setEnabled(true);
        run(4);
        main().Timer2.setEnabled(false);
        run(3);
        main().Text1().clear();
    }
};

TEST_F(SignalTest, RefreshAsksForSignalAndRegistrationAndShowsThem) {
    modem().state().network.rssi = 31;
    modem().state().network.registration = 5;
    main().networkset();
    EXPECT_EQ(sent(), "AT\rAT+CSQ\rAT+CREG?\r");
    EXPECT_TRUE(form<Form7>().isVisible());
    EXPECT_EQ(control<QLabel>(form<Form7>(), "Label4")->text(), "31,99");
    EXPECT_EQ(control<QLabel>(form<Form7>(), "Label5")->text(), "Registered/Roaming");
}

// Modules that give the location area and the cell (quoted or in bare hex),
// and the access technology after them, are registered all the same.
TEST_F(SignalTest, RegistrationShowsWhateverFollowsTheState) {
    struct Case {
        const char* name;
        bool unquoted;
        int accessTechnology;
    };
    const Case cases[] = {
        {"quoted location", false, -1},
        {"hex location", true, -1},
        {"location and access technology", false, 2},
        {"hex location and access technology", true, 7},
    };
    modem().state().shapes.cellLocation = sim::CellLocation::Always;
    modem().state().network.registration = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modem().state().shapes.unquotedLocation = c.unquoted;
        modem().state().shapes.accessTechnology = c.accessTechnology;
        main().networkset();
        EXPECT_EQ(sent(), "AT\rAT+CSQ\rAT+CREG?\r");
        EXPECT_EQ(control<QLabel>(form<Form7>(), "Label5")->text(), "Registered/Roaming");
    }
}

TEST_F(SignalTest, RefreshStopsWithoutOkAndGoesOnWithAnOkLeftInTheLog) {
    modem().dropReplies("AT");
    control<QLabel>(form<Form7>(), "Label4")->setText("old");
    main().networkset();
    EXPECT_EQ(sent(), "AT\r");
    EXPECT_EQ(control<QLabel>(form<Form7>(), "Label4")->text(), "");

    main().Text1().setText("\r\nOK\r\n");
    main().networkset();
    EXPECT_EQ(sent(), "AT\rAT+CSQ\rAT+CREG?\r");
}

TEST_F(SignalTest, ClockShowsTheTimeOfDay) {
    clock().setDateTime(QDateTime(QDate(2026, 5, 1), QTime(23, 59, 59)));
    run(6.5);
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), "00:00:05");
}

// The first time the watch reads the indicators it asks the module for their
// order, once: a module that lists "call" elsewhere is read by its own order.
TEST_F(SignalTest, CallWatchAsksForTheIndicatorsOrderOnceTheFirstTimeItNeedsIt) {
    for (sim::IndicatorOrder order :
         {sim::IndicatorOrder::Wavecom, sim::IndicatorOrder::Ublox, sim::IndicatorOrder::Telit,
          sim::IndicatorOrder::Huawei, sim::IndicatorOrder::Motorola}) {
        SCOPED_TRACE(int(order));
        modem().state().shapes.indicatorOrder = order;
        main().CheckSIM(); // another module, as far as the console knows
        modem().state().call.status = sim::CallStatus::Active;
        form<Form5>().Show();
        sent();
        main().Timer2.setEnabled(true);
        run(2.5);
        EXPECT_EQ(sent(), "AT+CIND?\rAT+CIND=?\r");
        run(4);
        EXPECT_EQ(sent(), "AT+CIND?\rAT+CIND?\r");
        EXPECT_TRUE(main().Timer2.Enabled());
        EXPECT_TRUE(form<Form5>().isVisible());
        modem().state().call.status = sim::CallStatus::Idle;
        run(4);
        EXPECT_FALSE(main().Timer2.Enabled());
        EXPECT_FALSE(form<Form5>().isVisible());
        run(3);
        main().Text1().clear();
    }
}

TEST_F(SignalTest, CallWatchStopsWhenTheCallIndicatorFallsToZeroOrOnError) {
    struct Case {
        const char* reply;
        bool watching;
        bool incomingShown;
    };
    const Case cases[] = {
        {"\r\n+CIND: 5,3,1,0,1,0,0\r\n\r\nOK\r\n", true, true},
        {"\r\n+CIND: 5,3,1,0,0,0,0\r\n\r\nOK\r\n", false, false},
        {"\r\nERROR\r\n", false, true},
        {"\r\n+CIND: 5,3\r\n\r\nOK\r\n", true, true}, // cannot be cut: asks again
    };
    letTheWatchLearnTheIndicators();
    for (const Case& c : cases) {
        modem().overrideReply("AT+CIND?", c.reply);
        form<Form5>().Show();
        main().Timer2.setEnabled(true);
        sent();
        run(2.5);
        EXPECT_EQ(sent(), "AT+CIND?\r") << c.reply;
        run(1);
        EXPECT_EQ(main().Timer2.Enabled(), c.watching) << c.reply;
        EXPECT_EQ(form<Form5>().isVisible(), c.incomingShown) << c.reply;
        main().Timer2.setEnabled(false);
        run(3);
        main().Text1().clear();
    }
}

// The watch reads the reply to its own query: a refusal that another
// exchange left in the log does not stop it, and a reply an earlier tick could
// not read does not stand in for the next one.
TEST_F(SignalTest, CallWatchReadsTheReplyToItsOwnQuery) {
    letTheWatchLearnTheIndicators();
    form<Form5>().Show();
    main().Text1().append("AT+CCFC=0,2\r\r\nERROR\r\n");
    modem().overrideReply("AT+CIND?", "\r\n+CIND: 5,3,1,0,1,0,0\r\n\r\nOK\r\n");
    main().Timer2.setEnabled(true);
    run(3.5);
    EXPECT_TRUE(main().Timer2.Enabled());
    EXPECT_TRUE(form<Form5>().isVisible());

    modem().overrideReply("AT+CIND?", "\r\n+CIND: 5,3\r\n\r\nOK\r\n");
    run(2);
    EXPECT_TRUE(main().Text1().contains("+CIND: 5,3\r\n")); // kept: it could not be read
    modem().overrideReply("AT+CIND?", "\r\n+CIND: 5,3,1,0,0,0,0\r\n\r\nOK\r\n");
    run(4);
    EXPECT_FALSE(main().Timer2.Enabled());
    EXPECT_FALSE(form<Form5>().isVisible());
}

TEST_F(SignalTest, CallWatchFollowsARealCallUntilTheCallerHangsUp) {
    modem().state().settings.clip = 1;
    modem().incomingCall("0123456789");
    run(3);
    EXPECT_TRUE(form<Form5>().isVisible());
    EXPECT_TRUE(main().Timer2.Enabled());
    run(6);
    EXPECT_TRUE(form<Form5>().isVisible());
    modem().callerHangsUp();
    run(10);
    EXPECT_FALSE(form<Form5>().isVisible());
    EXPECT_FALSE(main().Timer2.Enabled());
}

// Whatever the maker's order of the indicators, the incoming-call window stays
// while the phone rings and goes when the caller hangs up.
TEST_F(SignalTest, CallWatchFollowsARingingCallInEveryIndicatorOrder) {
    modem().state().settings.clip = 1;
    for (sim::IndicatorOrder order :
         {sim::IndicatorOrder::Wavecom, sim::IndicatorOrder::Ublox, sim::IndicatorOrder::Telit,
          sim::IndicatorOrder::Huawei, sim::IndicatorOrder::Motorola}) {
        SCOPED_TRACE(int(order));
        modem().state().shapes.indicatorOrder = order;
        main().CheckSIM();
        modem().incomingCall("0123456789");
        run(3);
        EXPECT_TRUE(form<Form5>().isVisible());
        run(8);
        EXPECT_TRUE(form<Form5>().isVisible());
        EXPECT_TRUE(main().Timer2.Enabled());
        modem().callerHangsUp();
        run(10);
        EXPECT_FALSE(form<Form5>().isVisible());
        EXPECT_FALSE(main().Timer2.Enabled());
    }
}

TEST_F(SignalTest, CallWatchAsksEveryTwoSecondsWhenNothingElseWaits) {
    letTheWatchLearnTheIndicators();
    modem().state().call.status = sim::CallStatus::Active;
    main().Timer2.setEnabled(true);
    const double start = clock().seconds();
    run(12.5);
    std::vector<double> asked;
    for (const SimPorts::Write& write : ports().writes(3))
        if (write.bytes == "AT+CIND?\r" && write.seconds >= start)
            asked.push_back(write.seconds - start);
    // Each query as soon as the reply of the one before has been collected.
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[0], 2);
    for (size_t i = 1; i < asked.size(); ++i)
        EXPECT_NEAR(asked[i] - asked[i - 1], 2, 0.1);
}

TEST_F(SignalTest, CallWatchLeavesAnotherExchangesReplyAlone) {
    main().Timer2.setEnabled(true);
    sent();
    // Another window's exchange waits six seconds for its reply.
    main().link().sendCommand("AT+CGMI", 6);
    EXPECT_EQ(sent(), "AT+CGMI\r");
    EXPECT_TRUE(main().Text1().contains("OK"));
    EXPECT_TRUE(main().Text1().text().startsWith("AT+CGMI\r"));
}

TEST_F(SignalTest, ReminderShowsItselfForThreeSecondsEveryFiftySeconds) {
    Form20& reminder = form<Form20>();
    reminder.Timer1.setEnabled(true);
    const double start = clock().seconds();
    std::vector<std::pair<double, bool>> seen;
    for (double at : {49.5, 50.5, 52.5, 53.5, 100.5})
        clock().schedule(start + at, [&, at] { seen.push_back({at, reminder.isVisible()}); });
    run(101);
    const std::vector<std::pair<double, bool>> expected = {
        {49.5, false}, {50.5, true}, {52.5, true}, {53.5, false}, {100.5, true}};
    EXPECT_EQ(seen, expected);
}

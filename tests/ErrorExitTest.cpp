// A handler's error exit: a failure it is made for ends the handler without a
// word to the user, and is logged under the layer's category when that is
// switched on; any other exception is a fault of the program, reported.

#include "calls/Log.h"
#include "link/Log.h"
#include "platform/Handlers.h"
#include "platform/PhoneBookDb.h"
#include "platform/Text.h"
#include "tests/Fixture.h"

#include <QLoggingCategory>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

struct Logged {
    QtMsgType type;
    QString category;
    QString message;
};

std::vector<Logged>& logged() {
    static std::vector<Logged> messages;
    return messages;
}

// Collects what is logged while it lives, with the rules given switched on.
class LogCapture {
  public:
    explicit LogCapture(const QString& rules) {
        logged().clear();
        QLoggingCategory::setFilterRules(rules);
        previous_ = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                logged().push_back({type, QString::fromUtf8(context.category), message});
            });
    }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules(QString());
    }

  private:
    QtMessageHandler previous_;
};

// The fault handler replaced while it lives: faults are counted, not failed.
class FaultCount {
  public:
    FaultCount() {
        failures::setFaultHandler(
            [this](const QString& description) { descriptions.push_back(description); });
    }
    ~FaultCount() {
        failures::setFaultHandler([](const QString& description) {
            ADD_FAILURE() << "a handler ended on a fault: " << description.toStdString();
        });
    }
    std::vector<QString> descriptions;
};

} // namespace

TEST(ErrorExitTest, AFailureEndsTheHandlerAndIsLoggedOnlyWhenItsLayerIsSwitchedOn) {
    const auto failing = [] { throw text::CutError("no comma after the key"); };
    {
        LogCapture quiet{QString()};
        EXPECT_FALSE(runGuarded(lcCalls, failing));
        EXPECT_TRUE(logged().empty());
    }
    LogCapture switchedOn{QStringLiteral("gsm.calls.debug=true")};
    EXPECT_FALSE(runGuarded(lcCalls, failing));
    EXPECT_FALSE(runGuarded(lcLink, [] { throw db::DbError("database is locked"); }));
    ASSERT_EQ(logged().size(), 1u); // the link's category stays off
    EXPECT_EQ(logged()[0].category, "gsm.calls");
    EXPECT_TRUE(logged()[0].message.contains("no comma after the key"));
    EXPECT_TRUE(runGuarded(lcCalls, [] {}));
}

TEST(ErrorExitTest, AnyOtherExceptionIsAFaultReportedWhateverTheRules) {
    FaultCount faults;
    LogCapture quiet{QString()};
    EXPECT_FALSE(runGuarded(lcLink, [] { throw std::logic_error("an action nobody filled"); }));
    EXPECT_FALSE(runGuarded(lcLink, [] { throw std::out_of_range("vector::at"); }));
    ASSERT_EQ(faults.descriptions.size(), 2u);
    EXPECT_EQ(faults.descriptions[0], "an action nobody filled");
    ASSERT_EQ(logged().size(), 2u);
    EXPECT_EQ(logged()[0].type, QtCriticalMsg);
    EXPECT_EQ(logged()[0].category, "gsm.link");
}

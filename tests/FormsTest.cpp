#include "platform/Forms.h"
#include "link/SerialLink.h"
#include "platform/Widgets.h"
#include "tests/Fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>

namespace {
// A small window with a label, an option group and a handler that waits.
class ProbeForm : public FormBase {
  public:
    ProbeForm() {
        label = new QLabel("design", this);
        first = new QRadioButton(this);
        second = new QRadioButton(this);
        QObject::connect(first, &QRadioButton::clicked, [this] { clicks.push_back("first"); });
        QObject::connect(second, &QRadioButton::clicked, [this] { clicks.push_back("second"); });
    }
    void Form_Load() override {
        ++loads;
        loadFolder = QDir::currentPath();
    }
    // A handler that waits, then writes into its own window.
    void slowHandler() {
        Pause(2);
        label->setText("after the wait");
        finished = true;
    }
    QLabel* label;
    QRadioButton* first;
    QRadioButton* second;
    std::vector<QString> clicks;
    int loads = 0;
    bool finished = false;
    QString loadFolder;
};
} // namespace

using FormsTest = ConsoleTest;

TEST_F(FormsTest, TouchingAWindowLoadsItHiddenOnceInTheProgramFolder) {
    QDir::setCurrent(QDir::tempPath());
    ProbeForm& probe = form<ProbeForm>();
    EXPECT_EQ(probe.loads, 1);
    EXPECT_FALSE(probe.isVisible());
    EXPECT_EQ(QDir(probe.loadFolder).canonicalPath(),
              QDir(services().programFolder()).canonicalPath());
    EXPECT_EQ(&form<ProbeForm>(), &probe);
    EXPECT_EQ(probe.loads, 1);
}

TEST_F(FormsTest, CloseBoxUnloadsAndTheNextTouchLoadsFromDesignState) {
    form<ProbeForm>().label->setText("changed");
    form<ProbeForm>().Show();
    form<ProbeForm>().close();
    EXPECT_FALSE(Forms::instance().isLoaded<ProbeForm>());
    ProbeForm& again = form<ProbeForm>();
    EXPECT_EQ(again.label->text(), "design");
    EXPECT_EQ(again.loads, 1);
}

TEST_F(FormsTest, WindowClosedDuringItsOwnWaitIsDestroyedAfterTheHandlerReturns) {
    ProbeForm& probe = form<ProbeForm>();
    QPointer<ProbeForm> watched(&probe);
    clock().schedule(0.5, [&] { probe.close(); });
    probe.slowHandler();
    EXPECT_TRUE(probe.finished);
    EXPECT_FALSE(watched.isNull()); // still alive when the handler came back
    QCoreApplication::processEvents();
    Forms::instance().reap();
    EXPECT_TRUE(watched.isNull());
}

TEST_F(FormsTest, OptionSelectedFromCodeRunsItsClickHandlerAndGroupCanHoldNoChoice) {
    ProbeForm& probe = form<ProbeForm>();
    selectOption(probe.second);
    EXPECT_TRUE(probe.second->isChecked());
    EXPECT_EQ(probe.clicks, std::vector<QString>{"second"});
    clearOptionGroup(probe.first);
    EXPECT_FALSE(probe.first->isChecked());
    EXPECT_FALSE(probe.second->isChecked());
}

TEST_F(FormsTest, FilledDropDownShowsNothingUntilPicked) {
    QComboBox box;
    fillDropDown(&box, {"one", "two"});
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.currentText(), "");
    EXPECT_EQ(box.count(), 2);
}

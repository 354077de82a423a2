#include "platform/Widgets.h"

#include "platform/TypedText.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Qt takes Enter, or leaving the box, after a text that names an item as a
// pick of that item and runs the box's pick handler. Only a pick from the
// list is one: just before typing ends, the box is moved to the item its
// text names without a word, so Qt finds nothing left to pick.
class TypingIsNoPick : public QObject {
  public:
    explicit TypingIsNoPick(QComboBox* box) : QObject(box) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // A box being destroyed is a combo box no more (its text box still
        // loses the focus then): the cast finds none.
        QComboBox* box = qobject_cast<QComboBox*>(parent());
        if (box && endsTyping(event)) moveQuietlyToNamedItem(box);
        return false;
    }

  private:
    static bool endsTyping(const QEvent* event) {
        if (event->type() == QEvent::FocusOut) return true;
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<const QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    static void moveQuietlyToNamedItem(QComboBox* box) {
        const int named = box->findText(box->currentText());
        if (named < 0 || named == box->currentIndex()) return;
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(named);
    }
};

} // namespace

void takeTypedTextAsTyped(QWidget* window) {
    for (QComboBox* box : window->findChildren<QComboBox*>()) {
        if (!box->isEditable()) continue;
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
        // Keys reach the text through the box, or straight when sent to it.
        auto* filter = new TypingIsNoPick(box);
        box->installEventFilter(filter);
        box->lineEdit()->installEventFilter(filter);
    }
}

void selectOption(QRadioButton* option) {
    option->setChecked(true);
    emit option->clicked(true);
}

void clearOptionGroup(QRadioButton* member) {
    const auto siblings =
        member->parentWidget()->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (QRadioButton* option : siblings) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void fillDropDown(QComboBox* box, const QStringList& items) {
    box->addItems(items);
    box->setCurrentIndex(-1);
}

int chosenItem(const QComboBox* box) {
    const QString shown = box->currentText().trimmed();
    return shown.isEmpty() ? -1 : box->findText(shown);
}

QString typedDigits(const QComboBox* box) {
    const QString text = box->currentText().trimmed();
    return typed::isDigits(text) ? text : QString();
}

void setSliderValue(QSlider* slider, double value) {
    const long rounded = std::lround(value);
    if (rounded < slider->minimum() || rounded > slider->maximum())
        throw InvalidValue("slider value outside its range");
    slider->setValue(static_cast<int>(rounded));
}

void showOutcome(QLabel* line, std::optional<bool> succeeded, const QString& success,
                 const QString& failure) {
    if (succeeded) line->setText(*succeeded ? success : failure);
}

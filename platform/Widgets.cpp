#include "platform/Widgets.h"

#include "platform/TypedText.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <stdexcept>

void takeTypedTextAsTyped(QWidget* window) {
    for (QComboBox* box : window->findChildren<QComboBox*>()) {
        if (!box->isEditable()) continue;
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
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
        throw std::out_of_range("slider value outside its range");
    slider->setValue(static_cast<int>(rounded));
}

void showOutcome(QLabel* line, std::optional<bool> succeeded, const QString& success,
                 const QString& failure) {
    if (succeeded) line->setText(*succeeded ? success : failure);
}

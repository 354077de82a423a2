#include "platform/Widgets.h"

#include <QComboBox>
#include <QRadioButton>

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

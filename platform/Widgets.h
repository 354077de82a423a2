#pragma once

#include <QStringList>

class QComboBox;
class QRadioButton;

// Selects an option button from code; its click handler runs as for a user click.
void selectOption(QRadioButton* option);
// Leaves the option group of `member` with no choice.
void clearOptionGroup(QRadioButton* member);
// Fills a drop-down list; it shows nothing until the user picks an item.
void fillDropDown(QComboBox* box, const QStringList& items);

#pragma once

#include "platform/Failure.h"

#include <QStringList>

#include <optional>

class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;
class QWidget;

// Makes every editable combo box of a window take what is typed as typed:
// no completion from its items, Enter adds no item to them, and a typed text
// that names an item is no pick of it (the box's pick handler does not run).
void takeTypedTextAsTyped(QWidget* window);
// Selects an option button from code; its click handler runs as for a user click.
void selectOption(QRadioButton* option);
// Leaves the option group of `member` with no choice.
void clearOptionGroup(QRadioButton* member);
// Fills a drop-down list; it shows nothing until the user picks an item.
void fillDropDown(QComboBox* box, const QStringList& items);
// The position of the item an editable combo box shows (blanks around its
// text aside), -1 when its text is empty or was typed to name no item: such
// a text is no choice.
int chosenItem(const QComboBox* box);
// The text of a box that takes a number, trimmed, when it is plain digits
// (0 to 9); "" otherwise, so that nothing else typed reaches a command.
QString typedDigits(const QComboBox* box);
// Shows `success` or `failure` on a status line as an exchange's outcome says
// (see TerminalLog::succeeded); without an outcome the line keeps what it shows.
void showOutcome(QLabel* line, std::optional<bool> succeeded, const QString& success,
                 const QString& failure);
// A value a control cannot take, as a slider one outside its range.
class InvalidValue : public Failure {
  public:
    using Failure::Failure;
};

// Sets a slider's value; throws InvalidValue for a value outside its range.
void setSliderValue(QSlider* slider, double value);

#pragma once

#include <QLineEdit>
#include <QString>

#include <algorithm>
#include <initializer_list>
#include <vector>

// Passwords go unquoted into a command line, where anything but a digit
// could end the field or chain a further command.
inline bool isDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// Empties password boxes however a handler ends, its error exit included.
class ForgetPasswords {
  public:
    ForgetPasswords(std::initializer_list<QLineEdit*> boxes) : boxes_(boxes) {}
    ~ForgetPasswords() {
        for (QLineEdit* box : boxes_)
            box->clear();
    }
    ForgetPasswords(const ForgetPasswords&) = delete;
    ForgetPasswords& operator=(const ForgetPasswords&) = delete;

  private:
    std::vector<QLineEdit*> boxes_;
};

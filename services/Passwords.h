#pragma once

#include <QLineEdit>

#include <initializer_list>
#include <vector>

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

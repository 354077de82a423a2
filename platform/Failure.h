#pragma once

#include <QLoggingCategory>
#include <QString>

#include <functional>
#include <stdexcept>

// The failures a handler's error exit ends it for, silently: a cut it cannot
// make, a text that is no number, the port, the phonebook file, a text file.
// Each is logged under the category of the layer whose exit caught it; every
// other exception is a fault of the program and is reported as one.
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Each layer logs under a category of its own, "gsm." and the folder's name
// ("gsm.link", "gsm.calls"...), off but for warnings unless QT_LOGGING_RULES
// switches it on, as in QT_LOGGING_RULES="gsm.*.debug=true". This one is the
// platform's.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)

// A layer's category, as its declaration names it (lcLink, lcCalls...).
using Layer = QMessageLogger::CategoryFunction;

namespace failures {

// An error exit took a failure it was made for.
void logFailure(Layer layer, const std::exception& failure);
// An error exit took an exception no handler expects: logged as critical,
// then passed to the fault handler.
void reportFault(Layer layer, const char* what);
// What a fault does besides being logged (nothing, by default); tests make it fail.
void setFaultHandler(std::function<void(const QString& description)> handler);

} // namespace failures

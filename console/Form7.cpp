#include "console/Form7.h"

#include <QFontDatabase>

namespace {
// The designed face where this desktop has it, else another one whose
// characters really are all of one width.
QFont fixedPitchFont() {
    for (const char* family : {"Courier New", "DejaVu Sans Mono", "Liberation Mono"})
        if (QFontDatabase::isFixedPitch(QString::fromLatin1(family)))
            return QFont(QString::fromLatin1(family));
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family)) return QFont(family);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}
} // namespace

Form7::Form7() {
    ui.setupUi(this);
    ui.Label4->setFont(fixedPitchFont());
    setBorder(Border::Fixed);
    setClientTwips(4215, 2175);
}

#include "platform/Look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPainter>
#include <QStyleFactory>

namespace {

// The faces the windows name, and the free faces (Debian packages installed
// by tools/setup.sh) drawn in their place where the desktop lacks them.
struct StandIn {
    const char* family;
    QStringList faces;
};
const StandIn standIns[] = {
    {"Georgia", {"C059"}},                                    // fonts-urw-base35
    {"Times New Roman", {"Liberation Serif"}},                // fonts-liberation
    {"Garamond", {"EB Garamond 12", "EB Garamond"}},          // fonts-ebgaramond
    {"Courier New", {"Liberation Mono", "DejaVu Sans Mono"}}, // fonts-liberation
};

// The face and size of every control that names no font of its own.
const char* const dialogFace = "Liberation Sans"; // fonts-liberation
const int dialogPointSize = 8;

// Whether a text is being drawn as the caption of a button: a button paints
// itself, so the painter works on the button. Asked of the painter rather
// than of the control element, since a button with a style sheet of its own
// reaches this through the style sheet's style.
bool drawsButtonCaption(const QPainter* painter) {
    QPaintDevice* device = painter->device();
    if (!device || device->devType() != QInternal::Widget) return false;
    return qobject_cast<QAbstractButton*>(static_cast<QWidget*>(device)) != nullptr;
}

} // namespace

CaptionStyle::CaptionStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void CaptionStyle::drawItemText(QPainter* painter, const QRect& rect, int flags,
                                const QPalette& palette, bool enabled, const QString& text,
                                QPalette::ColorRole textRole) const {
    QProxyStyle::drawItemText(painter, rect, textFlags(painter, flags), palette, enabled, text,
                              textRole);
}

int CaptionStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int CaptionStyle::textFlags(const QPainter* painter, int flags) {
    return drawsButtonCaption(painter) ? flags | Qt::TextWordWrap : flags;
}

void installLook() {
    for (const StandIn& standIn : standIns)
        QFont::insertSubstitutions(QString::fromLatin1(standIn.family), standIn.faces);
    QApplication::setStyle(new CaptionStyle);
    QFont dialog(QString::fromLatin1(dialogFace));
    dialog.setPointSize(dialogPointSize);
    QApplication::setFont(dialog);
}

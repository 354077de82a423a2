#include "platform/Services.h"

#include "platform/Clock.h"
#include "platform/Installed.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

namespace {
QMessageBox::Icon boxIcon(Services::Icon icon) {
    switch (icon) {
    case Services::Icon::Critical:
        return QMessageBox::Critical;
    case Services::Icon::Exclamation:
        return QMessageBox::Warning;
    case Services::Icon::Information:
        return QMessageBox::Information;
    case Services::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Services& Services::instance() {
    return Installed<Services, DesktopServices>::get();
}

std::unique_ptr<Services> Services::install(std::unique_ptr<Services> services) {
    return Installed<Services, DesktopServices>::install(std::move(services));
}

void Services::enterProgramFolder() const {
    QDir::setCurrent(programFolder());
}

void DesktopServices::message(const QString& text, const QString& title, Icon icon) {
    // A window system shows the program's name in place of an empty title;
    // a lone blank is a title that shows nothing.
    QMessageBox box(boxIcon(icon), title.isEmpty() ? QStringLiteral(" ") : title, text,
                    QMessageBox::Ok);
    Clock::DepthScope waiting(Clock::instance());
    box.exec();
}

void DesktopServices::endProgram() {
    QSettings().sync();
    std::fflush(nullptr);
    std::_Exit(0);
}

void DesktopServices::saveSetting(const QString& section, const QString& key,
                                  const QVariant& value) {
    QSettings settings;
    settings.beginGroup(section);
    settings.setValue(key, value);
}

QString DesktopServices::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QWidget;

// The title most message boxes carry.
inline const QString kMessageTitle = QStringLiteral("GSM");
// The program's own title: a message box that passes no title carries it.
inline const QString kProgramTitle = QStringLiteral("GSM-APPLICATION");

// What the console asks of the desktop beyond its own windows: message boxes,
// ending the program, the per-user settings store and the program's folder.
// Tests install their own implementation and inspect what was asked.
class Services {
  public:
    enum class Icon { None, Critical, Exclamation, Information };

    virtual ~Services() = default;

    // A message box with an OK button only, titled exactly `title` (an empty
    // title stays empty).
    virtual void message(const QString& text, const QString& title = kProgramTitle,
                         Icon icon = Icon::None) = 0;
    // Stops the program at once; no unload handler runs.
    virtual void endProgram() = 0;
    // The per-user settings store, written only.
    virtual void saveSetting(const QString& section, const QString& key, const QVariant& value) = 0;
    // The folder the program and its data files live in.
    virtual QString programFolder() const = 0;

    // Makes the program's folder the current folder, as every window's load does.
    void enterProgramFolder() const;

    static Services& instance();
    static std::unique_ptr<Services> install(std::unique_ptr<Services> services);
};

class DesktopServices : public Services {
  public:
    void message(const QString& text, const QString& title, Icon icon) override;
    void endProgram() override;
    void saveSetting(const QString& section, const QString& key, const QVariant& value) override;
    QString programFolder() const override;
};

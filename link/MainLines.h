#pragma once

#include <QString>

// The main window's lines as the other windows use them, apart from the
// modem: reaching them reaches the main window (and loads it when needed).
namespace mainwindow {

// Shows the main window: where a window closed by its close box returns.
void show();
// The progress and failure line.
void setStatus(const QString& text);
// The device speed and character framing lines.
void setSpeedLine(const QString& text);
QString framingLine();
void setFramingLine(const QString& text);

} // namespace mainwindow

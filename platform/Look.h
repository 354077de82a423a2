#pragma once

#include <QProxyStyle>

// The style every window is drawn in: Fusion, whose margins the windows are
// laid out for whatever the desktop's own style is, except that the caption
// of a command button, option button or check box that is wider than its
// control wraps at blanks onto further lines, as the windows were designed
// for. The buttons' texts stay as they are; only the drawing wraps. A
// password box shows each character as "*".
class CaptionStyle : public QProxyStyle {
  public:
    CaptionStyle();

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    // The flags a text is drawn with by this painter: a button's caption wraps.
    static int textFlags(const QPainter* painter, int flags);
};

// Gives the application its look before any window is made: the caption
// style, free faces standing in for the faces the windows name where the
// desktop lacks them, and the small dialog text the windows are laid out for.
// The program and the tests both start with it.
void installLook();

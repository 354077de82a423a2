#pragma once

#include <QColor>
#include <QPixmap>

// A handset on a round badge, drawn at the given size in pixels.
QPixmap handsetPicture(const QColor& badge, int size);

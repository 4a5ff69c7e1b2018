#pragma once
// The toolbar's glyphs, drawn as vectors so that they are sharp at any screen scale.
#include <QIcon>
#include <QPixmap>
#include <QString>

class QPainter;

namespace tavrin {

// The glyph size the toolbar shows, in device-independent pixels.
inline constexpr int kToolbarGlyphSize = 24;

// Draws the glyph of a toolbar button (by its object name) into a square of the given side.
// An unknown name draws nothing.
void paintToolbarGlyph(QPainter& painter, const QString& buttonName, qreal side);

// The glyph rendered for a side and a device pixel ratio, transparent around it.
QPixmap toolbarGlyphPixmap(const QString& buttonName, int side, qreal devicePixelRatio);

// An icon holding the glyph at 1x and 2x.
QIcon toolbarIcon(const QString& buttonName);

}  // namespace tavrin

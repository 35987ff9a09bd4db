// The wizard's side picture: a lark on a hill at dawn, singing speech bubbles
// with letters of several languages. Drawn, so it stays sharp at any size.
#pragma once

#include <QPixmap>
#include <QSize>

// The picture at `size` (device-independent pixels) for a screen of the given
// pixel ratio.
QPixmap WizardPicture(const QSize& size, qreal devicePixelRatio);

// Loading the skin bitmap into the skin store, with its double-resolution
// companion where the screen is dense enough to show it.
#pragma once

#include <QString>

class PicClip;

// Reads the skin `fileName` from `folder` into `store`. False, and `store`
// unchanged, when the skin is missing, damaged or too small for the skin map.
// A companion `<name>@2x.<ext>` beside it is taken only on a screen of
// `devicePixelRatio` above 1 and only when it is exactly twice the skin map;
// any other companion is passed over without a word, since it only sharpens
// the picture.
bool readSkin(PicClip& store, const QString& folder, const QString& fileName, double devicePixelRatio);

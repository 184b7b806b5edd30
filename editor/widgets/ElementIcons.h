// The editor's pictures, all drawn in code: one 48 x 48 icon per element
// kind (element list and "add element" buttons), the glyphs of the command
// speed buttons and of the pages' tool buttons. The program's own picture, TavlinPicture, comes
// with them.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include "RICElement.h"
#include "TavlinPicture.h"  // TavlinPicture(w, h), drawn in dialogs/ for the About box

namespace tavlin {

inline constexpr int kElementIconSize = 48;

// A 48 x 48 picture on a transparent background.
QPixmap ElementIcon(RICElementKind kind);

// The glyph of a 25 x 25 command speed button: "open", "save", "saveas",
// "merge", "new", "delete", "double", "moveup", "movedown", "paramload",
// "paramsave", "paramnew", "param16", "param256". An unknown name gives a
// null icon.
QIcon CommandIcon(const QString& name);

// The glyph of a page's tool button, `size` pixels square: the sprite
// page's tools ("point", "line", "rect", "frect", "circle", "fcircle",
// "ellipse", "fellipse", "fill", "select", "text", "paste", "copy", "undo",
// "import", "compress", "nxt", "scrollup", "scrolldown", "scrollleft",
// "scrollright", "mirrorlr", "mirrorud", "rotateleft", "rotateright",
// "erase", "invert") and the VarMap page's point table ("minus", "plus",
// "pastepoints", "clear", "optimize").
QIcon PageGlyph(const QString& name, int size);

}  // namespace tavlin

// The program's own picture: a stylised NXT brick whose screen shows a small
// drawing. The About box shows it, and the editor's empty page.
#pragma once

#include <QPixmap>

namespace tavlin {

// The picture fitted into w x h, centred, transparent around it; a null
// pixmap for an empty size.
QPixmap TavlinPicture(int w, int h);

}  // namespace tavlin

// The program's pictures, drawn by the program itself so that they read the same on every desktop:
// the image list of the tree, the actions and the toolbars, and the about box's two pictures.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kelvo {

// Images of the image list: 0 modem, 1 script, 2 run, 3 edit, 4 save, 5 add script, 6 remove
// script, 7 add modem, 8 remove modem; and the program's own: 9 stop.
enum TKelvoImage {
  kiModem = 0,
  kiScript = 1,
  kiRun = 2,
  kiEdit = 3,
  kiSave = 4,
  kiAddScript = 5,
  kiRemoveScript = 6,
  kiAddModem = 7,
  kiRemoveModem = 8,
  kiStop = 9
};

QIcon KelvoIcon(int image);
// The about box's picture and the small hidden one.
QPixmap ProgramPicture();
QPixmap HiddenPicturePixmap();

}  // namespace kelvo

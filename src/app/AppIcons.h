#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures are drawn in code on a 16-unit grid, so they stay sharp at every size and
// need no image files or image plugins at run time.
enum class IconId {
    App,
    Open,
    Save,
    PrintSetup,
    PrintPreview,
    Print,
    About,
    TreeFile,          // tree image 0: a measurement file
    TreeFileSelected,  // tree image 1: the selected file, no markers saved
    TreeFileMarked,    // tree image 2: the selected file with a saved marker table
    TreeFolder,        // tree image 3: the folder at the root
    Interpret          // the automatic interpretation: a curve with a dashed suggested bottom
};

QPixmap PaintIcon(IconId id, int nSize);
// The icon at 16, 24, 32 and 48 pixels.
QIcon MakeIcon(IconId id);

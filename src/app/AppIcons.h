#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures are SVG files under res/ built in as Qt resources, so they stay sharp at
// every size.
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
// The icon drawn from its SVG at whatever size and device pixel ratio it is shown.
QIcon MakeIcon(IconId id);

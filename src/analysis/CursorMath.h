#pragma once

#include "data/CFileData.h"

#include <optional>
#include <string>

// Arithmetic of the operator's cursor on the graph: which sample a client x stands for, where a
// click or an arrow key puts the cursor, and the read-out texts. The depth axis runs horizontally
// from x = 10 (the shallowest whole metre) to W - 10. Everything is single precision and truncates
// toward zero, because the positions must land on the same pixels as the depth-to-pixel table.

// The depth range the cursor measures with, for one data set in a client of width W.
struct CursorScale {
    float dmin = 0.0f;     // smallest smoothed depth, exact
    float dminInt = 0.0f;  // dmin truncated to whole metres (the left end of the axis)
    float dmax = 0.0f;     // right end of the depth axis
    int width = 0;         // client width W
    int step = 0;          // sampling step in cm
    float ppd = 0.0f;      // pixels per metre, (W - 20) / (dmax - dminInt)
    int count = 0;         // samples in the depth-to-pixel table

    // False without samples, without room for a plot, with a step that is not positive, or with
    // depths that give no finite scale: the cursor has nothing to point at then.
    bool Valid() const;
};

CursorScale MakeCursorScale(const CFileData& data, int clientWidth);

// Depth-to-pixel table entry under client x. Not clamped: the caller decides what to do with an
// x left or right of the samples. INT_MIN when the scale is not valid, so that no caller ever
// mistakes it for an entry.
int IndexFromPixel(const CursorScale& scale, int x);

// The depth under the mouse while dragging: dmin + (x - 10) x ((dmax - dmin) / (W - 20)). The
// origin and the scale both use the exact dmin, unlike IndexFromPixel. NaN without a valid scale.
float DepthAtPixel(const CursorScale& scale, int x);

// The first raw sample from index 1 on whose depth lies less than 0.1 m from depth; -1 when none
// does. Sample 0 is never found.
int FindSampleNear(const CFileData& data, float depth);

// Entry selected by a click at x: IndexFromPixel limited to 0 .. count - 1. -1 without a valid
// scale.
int ClickEntry(const CursorScale& scale, int x);

// Cursor x after a click on entry: its pixel x + 1.
int ClickCursorX(const CFileData& data, int entry);

// Cursor x after an arrow key selected entry. A click's one-pixel offset is used when it maps
// back to the entry; where the pixels are so crowded that it does not, the nearest x that does is
// taken, so that a marker placed right after the move lands on the sample under the cursor rather
// than on its neighbour. When no x maps to the entry (several samples on one pixel) the click's
// offset stays.
int KeyCursorX(const CursorScale& scale, const CFileData& data, int entry);

// Outcome of an arrow key on the cursor entry.
struct ArrowStep {
    enum class Kind {
        Moved,    // the cursor goes to entry
        Refused,  // the cursor stays; the read-out is still shown
        Ignored   // Right at the last entry: nothing happens at all
    };
    Kind kind = Kind::Refused;
    int entry = 0;
};

// Left arrow from entry current: the shallower neighbour, accepted when its pixel x is greater
// than 10 (so an entry exactly on the left edge cannot be reached).
ArrowStep StepLeft(const CFileData& data, const CursorScale& scale, int current);
// Right arrow: the deeper neighbour, accepted when its pixel x is less than W - 10; ignored when
// current is already the last entry.
ArrowStep StepRight(const CFileData& data, const CursorScale& scale, int current);

// Raw sample shown for a cursor on entry: count - 1 - entry (entry 0 is the shallowest sample).
int SampleOfEntry(int count, int entry);

// Bottom y of cursor and marker lines: (unit height + value height + 10) x n for n = 1..3 shown
// components; no line for any other n.
std::optional<int> CursorLineBottom(int unitHeight, int valueHeight, int shownComponents);

// Read-out texts, UTF-8. The signal text carries trailingBlanks blanks: three after a click or a
// key, two while dragging.
std::string ReadoutSignalText(const SampleRecord& sample, int trailingBlanks);
std::string ReadoutDepthText(float depth);

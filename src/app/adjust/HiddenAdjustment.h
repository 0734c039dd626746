#pragma once

#include "data/Adjustments.h"

class CDrawView;
class Prompts;

// The two hidden corrections on the data set of the file on display (the primary data set of the
// view's screen slot). Each works on a copy, rewrites the file from it and then reloads the screen
// slot from the file, so that what the screen shows is what the file holds even when the rewrite
// failed; the failure is reported through prompts. Both end with the view asked to refill the
// table and to re-read the file at its next graph paint.

// The start depth correction of a plan that passed the dialog's checks.
void CorrectStartDepth(CDrawView& view, const StartDepthPlan& plan, Prompts& prompts);

// Five copies of the shallowest sample at the tail, announced with "尾部插点". False (with the
// reason shown, the file untouched) when there is no sample to copy or the copies would not fit.
bool InsertTailPoints(CDrawView& view, Prompts& prompts);

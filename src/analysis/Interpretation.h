#pragma once

#include "data/CFileData.h"

#include <optional>
#include <string>
#include <vector>

// Automatic interpretation of a survey: where the cage ends and where its sections overlap, as a
// suggestion for the operator, who confirms it by placing the markers.
//
// Each bar of a cage acts on the probe like magnetic poles at its ends, so the cage bottom is the
// deepest set of poles with nothing but background below it, and a lap (the bars of two sections
// side by side for about a metre) is a pair of opposite pole sets about a metre apart. The routine
// looks for poles in Z with matched filters for a range of distances between the bars and the hole,
// then fits the lower part of the survey with the field of whole rings of bars (near and far side
// together) and a smooth background, checks each set against the horizontal field, and takes the
// deepest set that nothing but background follows. A lap is suggested only where such a pair
// stands clear of the cage's own unevenness around it and, fitted as two rings, explains the
// field there: a joint that may be false is left out.

struct CageSuggestion {
    std::optional<float> bottom;  // metres, to the centimetre; none when no cage end stands out
    float confidence = 0.0f;      // 0..1, to the hundredth
    std::vector<float> joints;    // lap centres, shallow to deep, to the centimetre
    std::string reason;           // one short sentence for the operator (UTF-8)
};

// Samples in the file's order (sample 0 the deepest), stepCm the sampling step.
CageSuggestion SuggestCage(const SampleRecord* samples, int count, int stepCm);
// The raw table of a loaded data set.
CageSuggestion SuggestCage(const CFileData& data);

#pragma once

#include "CageModel.h"

#include <cstdint>
#include <string>
#include <vector>

// One bundled sample file: the pile it was measured on and what the operator did with it.
// Texts are UTF-8 here; the generator stores them as code page 936 bytes.
struct SamplePlan {
    std::string fileName;

    std::string project;
    std::string site;
    std::string pileNo;
    int year = 2024;
    int month = 1;
    int day = 1;
    int32_t word1 = 0;
    int32_t word2 = 0;

    int stepCm = 25;
    int startCm = 0;  // depth of sample 0
    int count = 0;
    int secondaryStartCm = 0;
    int secondaryCount = 0;

    PileModel pile;
    uint64_t seed = 0;

    // Records the depth counter lost: depth 0 and all three channels 0.
    std::vector<int> lostRecords;
    // Records whose depth reads 0 while the field values are good.
    std::vector<int> lostDepths;

    // The operator stamped markers at the samples nearest to the joints and the bottom.
    bool savedMarkers = false;
    // The operator saved the print settings; the lengths come from the markers and the design.
    bool savedReport = false;
    float designPileLength = 0.0f;
    std::string engineeringName;
    std::string notes;
    std::string reportDate;
    std::string reportProject;
    std::string reportSite;
};

std::vector<SamplePlan> SampleCatalog();

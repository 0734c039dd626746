#pragma once

#include "CageModel.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// What the instrument (and, for the marker table and the report block, the analysis program)
// puts into a ".cdd" file. Texts are already the file's bytes.

struct AcquisitionSet {
    int32_t word1 = 0;
    int32_t word2 = 0;
    float startDepth = 0.0f;
    int32_t stepCm = 25;
    std::string project;
    std::string site;
    std::string pileNo;
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;
    std::vector<ProbeSample> samples;
};

struct ReportBlock {
    int32_t flag = 0;
    float detectedLength = 0.0f;
    float startDepth = 0.0f;
    float designCageLength = 0.0f;
    float designPileLength = 0.0f;
    // pile number, engineering name, notes, date, project, site
    std::array<std::string, 6> texts;
};

struct CddContent {
    int32_t markerCount = 0;
    std::array<float, 11> markers{};  // joint levels 1..10, then the bottom
    ReportBlock report;
    AcquisitionSet primary;
    AcquisitionSet secondary;
};

// The file's bytes. Throws std::runtime_error when the texts overflow their header.
std::string SerializeCdd(const CddContent& content);

// Writes bytes to path, replacing the file. Throws std::runtime_error when that fails.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

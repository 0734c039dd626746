#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A set of generated survey files for measuring the automatic interpretation: every condition an
// operator meets in the field (noise, drift, spikes, steps, weak or reversed cages, strong or free
// laps, short bottom sections, wide cages, bars of unequal strength, near and far holes, bottoms
// close to the deepest sample, holes without a cage, and a mix of them), a few dozen files each,
// with the truth they were drawn from. One seed gives one set; tune on one seed and
// measure on another.

struct BenchCondition {
    const char* name;
    int files;
};

// The conditions in the order the set lists them.
const std::vector<BenchCondition>& BenchConditions();

// Writes the files and "truth.csv" (file,condition,bottom,joints,lap_contrast; bottom empty without a
// cage, joints separated by ';', and for each joint "N/P": the relief of the lap's own field over
// the noise, and over the relief of the bars' remanence changes around it) into dir, and
// "timing-2048-5cm.cdd" and "timing-2048-25cm.cdd", full-capacity files outside the truth. Returns the number of files listed in the truth.
int WriteBenchSet(const std::filesystem::path& dir, uint64_t seed);

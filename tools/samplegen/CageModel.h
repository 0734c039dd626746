#pragma once

#include <cstdint>
#include <vector>

// Field of a rebar cage in a bored pile as a magnetometer probe sees it from a hole beside the pile.
//
// Axes follow the geomagnetic habit: x north, y east, z down; depths in metres, fields in nT.
// Every bar is a vertical steel rod magnetised along its axis by the vertical earth field (induced)
// plus a remanence that changes from piece to piece along the bar; such a rod acts on the outside
// like magnetic poles at its ends and wherever its magnetisation changes. The horizontal earth
// field adds a weak transverse magnetisation, treated as a line of horizontal dipoles.

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// One length of the cage between two joints, counted from the top.
struct CageSection {
    int bars = 0;
    double barDiameterMm = 0.0;
};

struct PileModel {
    double cageRadius = 0.5;            // radius of the circle of bars
    double cageTop = 0.0;               // depth of the bar tops (negative: above the ground)
    double cageBottom = 0.0;            // depth of the bar ends
    std::vector<double> joints;         // depth of the centre of each lap, shallow to deep
    std::vector<CageSection> sections;  // joints.size() + 1 sections, top to bottom
    double lapLength = 1.0;             // overlap of the bars of two sections at a joint
    double holeOffset = 0.5;            // horizontal distance from the circle of bars to the hole
    double holeBearingDeg = 0.0;        // direction from the pile axis to the hole, from north
    double holeDrift = 0.0;             // extra offset per metre of depth (a hole is never plumb)
    Vec3 earth;                         // regional field at the surface
    double earthGradientZ = 0.0;        // nT per metre of depth
    double noise = 3.0;                 // standard deviation of the instrument noise
    // Share of a lapped bar end that acts as a free pole (the ties carry the rest of the flux into
    // the other section's bars); well tied laps show little, loose ones as much as a cut end.
    double lapEndFreeFraction = 0.1;
    // Induced magnetisation times this: a negative value stands for a cage whose remanence
    // outweighs the induced part and points upwards.
    double polarity = 1.0;
    // Spread of the magnetisation from bar to bar within a section (bars from different batches,
    // some bent or heated): each bar's is the section's times a factor drawn around 1.
    double barSpread = 0.0;
};

struct ProbeSample {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    float depth = 0.0f;
};

// Deterministic generator, independent of the standard library's distributions so that a seed
// gives the same numbers with every compiler.
class SplitMix {
public:
    explicit SplitMix(uint64_t seed) : m_state(seed) {}
    uint64_t Next();
    double Uniform(double lo, double hi);
    double Normal(double sigma);

private:
    uint64_t m_state;
};

// What a pole of the cage is: the free end of a bar at the top or bottom of the cage, a lapped bar
// end (the share of it the ties leave free), or a change of the remanence along a bar.
enum class PoleKind { CageEnd, LapEnd, Piece };

class CageModel {
public:
    // The magnetisation of the cage is drawn once from cageSeed, so that two runs along the same
    // hole (the primary and the secondary data set) see the same steel.
    CageModel(const PileModel& pile, uint64_t cageSeed);

    // Total field (earth plus cage) at a depth of the hole, without noise.
    Vec3 FieldAt(double depth) const;
    // The part of the cage's field that comes from its poles of one kind.
    Vec3 PoleFieldAt(double depth, PoleKind kind) const;

    // One run of the probe: count samples from startCm upwards every stepCm centimetres, sample 0
    // the deepest, with instrument noise drawn from noiseSeed. Whole centimetres keep a 25 cm grid
    // exactly on the quarter metres.
    std::vector<ProbeSample> Survey(int startCm, int stepCm, int count, uint64_t noiseSeed) const;

private:
    struct Pole {
        double x, y, depth;
        double strength;  // A*m, positive where the magnetisation points out of the steel
        PoleKind kind;
    };
    struct Rod {
        double x, y, top, bottom;
        Vec3 momentPerMetre;  // transverse moment, A*m^2 per metre
    };

    Vec3 HolePosition(double depth) const;

    PileModel m_pile;
    std::vector<Pole> m_poles;
    std::vector<Rod> m_rods;
};

#include "CageModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

constexpr double kMu0 = 4.0e-7 * std::numbers::pi;
// mu0 / 4pi in nT * m / A, so that a pole of q A*m at d metres gives 100 * q / d^2 nT.
constexpr double kPoleFactor = 100.0;

// Rebar in the earth's field: a long rod magnetised along its axis is hardly demagnetised, so its
// apparent susceptibility is close to that of the steel; across the axis the demagnetising factor
// of a cylinder (1/2) caps the magnetisation at about twice the field.
constexpr double kAxialSusceptibility = 200.0;
constexpr double kTransverseSusceptibility = 2.0;
// Remanence of the bars as a fraction of the induced magnetisation: one value per bar and one per
// piece of bar (handling, bending and welding leave it patchy along the bar).
constexpr double kBarRemanence = 0.15;
constexpr double kPieceRemanence = 0.2;
constexpr double kPieceMin = 1.0;
constexpr double kPieceMax = 3.0;
// Transverse dipoles farther than this from the probe along the hole add less than the noise.
constexpr double kDipoleReach = 10.0;
constexpr double kDipoleSpacing = 0.05;

Vec3 Add(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 PoleField(double q, Vec3 r)
{
    const double d2 = r.x * r.x + r.y * r.y + r.z * r.z;
    const double k = kPoleFactor * q / (d2 * std::sqrt(d2));
    return {k * r.x, k * r.y, k * r.z};
}

Vec3 DipoleField(Vec3 m, Vec3 r)
{
    const double d2 = r.x * r.x + r.y * r.y + r.z * r.z;
    const double d = std::sqrt(d2);
    const double mr = (m.x * r.x + m.y * r.y + m.z * r.z) / d2;
    const double k = kPoleFactor / (d2 * d);
    return {k * (3.0 * mr * r.x - m.x), k * (3.0 * mr * r.y - m.y), k * (3.0 * mr * r.z - m.z)};
}

}  // namespace

uint64_t SplitMix::Next()
{
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SplitMix::Uniform(double lo, double hi)
{
    const double u = double(Next() >> 11) * 0x1.0p-53;
    return lo + (hi - lo) * u;
}

double SplitMix::Normal(double sigma)
{
    // Box-Muller; 1 - u keeps the logarithm away from 0.
    const double u1 = 1.0 - Uniform(0.0, 1.0);
    const double u2 = Uniform(0.0, 1.0);
    return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

CageModel::CageModel(const PileModel& pile, uint64_t cageSeed) : m_pile(pile)
{
    SplitMix rng(cageSeed);
    const double hz = pile.earth.z * 1e-9 / kMu0;
    const Vec3 hTransverse{pile.earth.x * 1e-9 / kMu0, pile.earth.y * 1e-9 / kMu0, 0.0};
    const double induced = kAxialSusceptibility * hz;

    if (pile.sections.size() != pile.joints.size() + 1) {
        throw std::invalid_argument("a cage needs one section more than it has joints");
    }
    for (std::size_t s = 0; s < pile.sections.size(); ++s) {
        const CageSection& section = pile.sections[s];
        const bool lappedTop = s > 0;
        const bool lappedBottom = s < pile.joints.size();
        const double top = lappedTop ? pile.joints[s - 1] - pile.lapLength / 2 : pile.cageTop;
        const double bottom = lappedBottom ? pile.joints[s] + pile.lapLength / 2 : pile.cageBottom;
        const double area = std::numbers::pi * std::pow(section.barDiameterMm / 2000.0, 2);
        // Bars of consecutive sections are not lined up with each other.
        const double phase = rng.Uniform(0.0, 1.0);

        for (int b = 0; b < section.bars; ++b) {
            const double angle = 2.0 * std::numbers::pi * (b + phase) / section.bars;
            const double radius = pile.cageRadius + rng.Uniform(-0.015, 0.015);
            const double bx = radius * std::cos(angle);
            const double by = radius * std::sin(angle);
            const double spread = pile.barSpread > 0 ? std::max(0.2, 1.0 + rng.Normal(pile.barSpread)) : 1.0;
            const double barMagnetisation = pile.polarity * induced * spread * (1.0 + rng.Normal(kBarRemanence));

            double pieceTop = top;
            double previous = 0.0;  // magnetisation above the piece; the top end faces air
            bool barTop = true;
            while (pieceTop < bottom) {
                const double pieceBottom = std::min(bottom, pieceTop + rng.Uniform(kPieceMin, kPieceMax));
                const double m = barMagnetisation + induced * rng.Normal(kPieceRemanence);
                const double free = barTop && lappedTop ? pile.lapEndFreeFraction : 1.0;
                const PoleKind kind = !barTop ? PoleKind::Piece : lappedTop ? PoleKind::LapEnd : PoleKind::CageEnd;
                m_poles.push_back({bx, by, pieceTop, (previous - m) * area * free, kind});
                barTop = false;
                previous = m;
                pieceTop = pieceBottom;
            }
            m_poles.push_back({bx, by, bottom, previous * area * (lappedBottom ? pile.lapEndFreeFraction : 1.0),
                               lappedBottom ? PoleKind::LapEnd : PoleKind::CageEnd});

            const double tm = kTransverseSusceptibility * area;
            m_rods.push_back({bx, by, top, bottom, {tm * hTransverse.x, tm * hTransverse.y, 0.0}});
        }
    }
}

Vec3 CageModel::HolePosition(double depth) const
{
    const double distance = m_pile.cageRadius + m_pile.holeOffset + m_pile.holeDrift * std::max(depth, 0.0);
    const double bearing = m_pile.holeBearingDeg * std::numbers::pi / 180.0;
    return {distance * std::cos(bearing), distance * std::sin(bearing), depth};
}

Vec3 CageModel::FieldAt(double depth) const
{
    const Vec3 p = HolePosition(depth);
    Vec3 field{m_pile.earth.x, m_pile.earth.y, m_pile.earth.z + m_pile.earthGradientZ * depth};

    for (const Pole& pole : m_poles) {
        field = Add(field, PoleField(pole.strength, {p.x - pole.x, p.y - pole.y, p.z - pole.depth}));
    }
    for (const Rod& rod : m_rods) {
        const double from = std::max(rod.top, depth - kDipoleReach);
        const double to = std::min(rod.bottom, depth + kDipoleReach);
        const int pieces = int(std::ceil((to - from) / kDipoleSpacing));
        if (pieces <= 0) {
            continue;
        }
        const double h = (to - from) / pieces;
        const Vec3 m{rod.momentPerMetre.x * h, rod.momentPerMetre.y * h, 0.0};
        for (int k = 0; k < pieces; ++k) {
            const double z = from + (k + 0.5) * h;
            field = Add(field, DipoleField(m, {p.x - rod.x, p.y - rod.y, p.z - z}));
        }
    }
    return field;
}

Vec3 CageModel::PoleFieldAt(double depth, PoleKind kind) const
{
    const Vec3 p = HolePosition(depth);
    Vec3 field;
    for (const Pole& pole : m_poles) {
        if (pole.kind == kind) {
            field = Add(field, PoleField(pole.strength, {p.x - pole.x, p.y - pole.y, p.z - pole.depth}));
        }
    }
    return field;
}

std::vector<ProbeSample> CageModel::Survey(int startCm, int stepCm, int count, uint64_t noiseSeed) const
{
    SplitMix rng(noiseSeed);
    // Slow wander of the sensors (temperature, cable twist) on top of the white noise.
    const double wander = 2.0 * m_pile.noise;
    const double phases[3] = {rng.Uniform(0.0, 6.3), rng.Uniform(0.0, 6.3), rng.Uniform(0.0, 6.3)};

    std::vector<ProbeSample> samples;
    samples.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const double depth = double(startCm - i * stepCm) / 100.0;
        const Vec3 f = FieldAt(depth);
        const double t = 2.0 * std::numbers::pi * depth / 7.0;
        ProbeSample s;
        s.x = int32_t(std::lround(f.x + wander * std::sin(t + phases[0]) + rng.Normal(m_pile.noise)));
        s.y = int32_t(std::lround(f.y + wander * std::sin(t + phases[1]) + rng.Normal(m_pile.noise)));
        s.z = int32_t(std::lround(f.z + wander * std::sin(t + phases[2]) + rng.Normal(m_pile.noise)));
        s.depth = float(depth);
        samples.push_back(s);
    }
    return samples;
}

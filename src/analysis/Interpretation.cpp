#include "analysis/Interpretation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

namespace {

// Horizontal distances (m) from the bars to the hole that the pole filters are made for. The bars
// of a cage stand at every distance from the nearest one to the far side of the circle; the
// filter that fits a pole best says which mix of distances it looks like.
constexpr double kDistances[] = {0.2, 0.3, 0.45, 0.65, 0.9, 1.3};
// A filter reaches this many distances either side of its pole, and at least a few grid points.
constexpr double kReach = 3.0;
constexpr int kMinHalfWindow = 4;
// A pole is only judged with this much of the survey on either side of it (or a whole half
// window): the swing from one side to the other is what tells a pole from a curving background.
constexpr double kMinRoom = 0.8;
// Close steps are averaged to about this spacing: the nearest bars stand 0.2 m from the hole, so
// nothing finer is there to resolve, and averaging lowers the noise.
constexpr double kGridMetres = 0.2;
// A pole must stand this many noise deviations out of the filter output.
constexpr double kPoleThreshold = 8.5;
// Even a far cage shows its poles to the narrower filters as well; a broad swell that only the
// widest filter picks up is a lens of magnetic ground or the sensors' wander, not a bar end.
constexpr double kSharpBelow = 1.0;
constexpr double kSharpShare = 0.4;
// A filter answers a pole with weaker side lobes, of the opposite sign at 1.35 r and of the same
// sign at 2.8 r; bars at mixed distances make them stronger. A weaker pole that close to a
// stronger one is a lobe when less than half of it is left without the stronger one's field.
constexpr double kSideLobeReach = 3.5;  // in distances of the stronger pole's filter
constexpr double kLobeRemainder = 0.5;
// A lap is two opposite pole sets about a metre apart, the deeper one with the bottom's sign.
constexpr double kLapFilterMax = 0.65;  // wider filters cannot part two poles a metre apart
constexpr double kLapClearOfBottom = 1.5;
constexpr double kLapSpacing = 3.0;  // sections are longer than this
constexpr double kLapThreshold = 8.5;
// The unevenness a lap is judged against: the pole answers 1.5 to 6 m either side of it.
constexpr std::pair<double, double> kLapAround = {1.5, 6.0};
constexpr double kLapUnevennessFloor = 2.0;  // noise alone answers about 1
constexpr double kLapClarity = 3.0;          // times the unevenness around
// What the pair, fitted with the cage's own ring, must explain of the survey within 3 m of its
// centre beyond a smooth background; and how far apart the strengths of its two ends may be.
constexpr double kLapShare = 0.7;
constexpr double kLapEndsRatio = 10.0;
constexpr double kLapWindow = 3.0;
// Sections are cut to 6 to 13 m; a pair at a whole number of them from a clear lap (within the
// spread of where laps are tied) needs less to be taken for one.
constexpr double kSectionMin = 6.0;
constexpr double kSectionMax = 13.0;
constexpr double kSectionMisfit = 0.4;
constexpr double kPeriodicLapOff = 0.35;
constexpr std::size_t kSpacedLaps = 3;
constexpr double kPeriodicLapThreshold = 6.0;
constexpr double kPeriodicLapClarity = 1.5;
constexpr double kPeriodicLapShare = 0.5;
// The ring laps are fitted with when the cage end gave none: 0.55 m from a ring of 0.5 m radius.
constexpr std::size_t kTypicalRing = 7;
// Too little to judge a survey by.
constexpr int kMinSamples = 12;
constexpr double kMinSpan = 2.0;
// Integer samples carry at least their rounding as noise.
constexpr double kMinSigma = 0.5;
constexpr int kNoiseBlock = 16;

struct Grid {
    std::vector<double> z;  // shallow to deep, background level removed
    double first = 0.0;     // depth of z[0]
    double spacing = 0.0;
};

// Each filter's output over the grid: (signal-to-noise, amplitude) at every point.
using FilterOutputs = std::vector<std::vector<std::pair<double, double>>>;

struct Pole {
    int j = 0;
    double snr = 0.0;  // signed: the sign of the pole
    double amplitude = 0.0;
    int filter = 0;
    double depth = 0.0;
};

double MedianOf(std::vector<double> v)
{
    if (v.empty()) {
        return 0.0;
    }
    const auto mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// Spread of white noise from second differences, which carry 6 times its variance. Where bars
// end the cage's own structure inflates them, so the quietest stretches (a low quantile of block
// estimates) stand for the background.
double NoiseSigma(const std::vector<double>& v)
{
    const std::size_t n = v.size();
    if (n < 3) {
        return kMinSigma;
    }
    std::vector<double> d2(n - 2);
    for (std::size_t k = 1; k + 1 < n; ++k) {
        d2[k - 1] = std::abs(v[k - 1] - 2.0 * v[k] + v[k + 1]);
    }
    double typical = 0.0;
    const std::size_t blocks = d2.size() / kNoiseBlock;
    if (blocks < 4) {
        typical = MedianOf(d2);
    } else {
        std::vector<double> estimates(blocks);
        for (std::size_t b = 0; b < blocks; ++b) {
            const auto from = d2.begin() + std::ptrdiff_t(b * kNoiseBlock);
            const auto mid = from + kNoiseBlock / 2;
            std::nth_element(from, mid, from + kNoiseBlock);
            estimates[b] = *mid;
        }
        std::sort(estimates.begin(), estimates.end());
        // Short blocks find the quiet stretches between the bar ends of a long cage. For pure
        // noise the lowest tenth of their medians ends about 37 % under the median of all;
        // scale back so that a noise-only survey is judged by its true spread.
        typical = estimates[estimates.size() / 10] / 0.63;
    }
    return std::max(kMinSigma, typical / 0.6745 / std::sqrt(6.0));
}

// A spike (one sample, or two side by side) stands off both neighbours in the same direction
// while they agree with each other; the steep swing past a near bar end at a coarse step has
// neighbours far apart and stays. Nothing a bar 0.2 m or more from the hole does is that narrow.
void RemoveSpikes(std::vector<double>& v, double sigma)
{
    const std::size_t n = v.size();
    for (std::size_t width = 1; width <= 2; ++width) {
        for (std::size_t k = 1; k + width < n; ++k) {
            const double before = v[k - 1];
            const double after = v[k + width];
            const double limit = 8.0 * sigma + 3.0 * std::abs(after - before);
            bool spike = true;
            double side = 0.0;
            for (std::size_t i = 0; i < width && spike; ++i) {
                const double line = before + (after - before) * double(i + 1) / double(width + 1);
                const double off = v[k + i] - line;
                spike = std::abs(off) > limit && off * side >= 0.0;
                side = off;
            }
            for (std::size_t i = 0; spike && i < width; ++i) {
                v[k + i] = before + (after - before) * double(i + 1) / double(width + 1);
            }
        }
    }
    if (n >= 3) {
        if (std::abs(v[0] - v[1]) > 8.0 * sigma + 3.0 * std::abs(v[1] - v[2])) {
            v[0] = v[1];
        }
        if (std::abs(v[n - 1] - v[n - 2]) > 8.0 * sigma + 3.0 * std::abs(v[n - 2] - v[n - 3])) {
            v[n - 1] = v[n - 2];
        }
    }
}

// Matched filter for one pole at horizontal distance r: the pole's Z along the hole,
// (z - z0) / ((z - z0)^2 + r^2)^1.5, with everything a cubic in depth can explain taken out, so
// that the background, a drift and the slow wander of the sensors do not count as poles.
class PoleFilter {
public:
    PoleFilter(double r, double spacing) : m_r(r)
    {
        m_w = std::max(kMinHalfWindow, int(std::ceil(kReach * r / spacing)));
        for (int u = -m_w; u <= m_w; ++u) {
            const double x = u * spacing;
            const double d2 = x * x + r * r;
            m_t.push_back(x / (d2 * std::sqrt(d2)));
        }
        m_keep = std::min(m_w, int(std::ceil(kMinRoom / spacing)));
        m_full = Make(-m_w, m_w);
        for (int cut = 1; cut <= m_w - m_keep; ++cut) {
            m_cutShallow.push_back(Make(-m_w + cut, m_w));
            m_cutDeep.push_back(Make(-m_w, m_w - cut));
        }
    }

    double Distance() const { return m_r; }

    struct Weights {
        int from = 0;
        std::vector<double> w;  // unit length
        double norm = 0.0;      // length before scaling; amplitude = dot / norm
    };

    // Whether the survey leaves room for a pole at grid point j of m to be judged.
    bool Covers(int j, int m) const { return std::min(m_w, j) >= m_keep && std::min(m_w, m - 1 - j) >= m_keep; }

    // The weights at grid point j of m. Near the ends of the survey the window is cut; with too
    // little of it left there are none.
    const Weights* At(int j, int m, Weights& scratch) const
    {
        if (!Covers(j, m)) {
            return nullptr;
        }
        const int from = std::max(-m_w, -j);
        const int to = std::min(m_w, m - 1 - j);
        if (from > -m_w && to < m_w) {
            scratch = Make(from, to);
            return &scratch;
        }
        if (from > -m_w) {
            return &m_cutShallow[std::size_t(from + m_w - 1)];
        }
        if (to < m_w) {
            return &m_cutDeep[std::size_t(m_w - to - 1)];
        }
        return &m_full;
    }

    // Signal-to-noise of the pole term at grid point j and its amplitude.
    std::pair<double, double> Fit(const std::vector<double>& z, int j, double sigma) const
    {
        Weights scratch;
        const Weights* w = At(j, int(z.size()), scratch);
        if (!w) {
            return {0.0, 0.0};
        }
        double dot = 0.0;
        for (std::size_t i = 0; i < w->w.size(); ++i) {
            dot += w->w[i] * z[std::size_t(j + w->from + int(i))];
        }
        return {dot / sigma, dot / w->norm};
    }

    // Signal-to-noise the filter gives at grid point j for the field of a known pole.
    double Response(const Grid& g, int j, const Pole& pole, double r, double sigma) const
    {
        Weights scratch;
        const Weights* w = At(j, int(g.z.size()), scratch);
        if (!w) {
            return 0.0;
        }
        double dot = 0.0;
        for (std::size_t i = 0; i < w->w.size(); ++i) {
            const double u = g.first + (j + w->from + int(i)) * g.spacing - pole.depth;
            const double d2 = u * u + r * r;
            dot += w->w[i] * u / (d2 * std::sqrt(d2));
        }
        return pole.amplitude * dot / sigma;
    }

private:
    // The template over offsets from..to, orthogonal to 1, u, u^2, u^3 on that support.
    Weights Make(int from, int to) const
    {
        const std::size_t n = std::size_t(to - from + 1);
        std::vector<std::vector<double>> basis;
        Weights out;
        out.from = from;
        out.w.assign(m_t.begin() + (from + m_w), m_t.begin() + (to + m_w + 1));
        std::vector<double> power(n, 1.0);
        for (int degree = 0; degree <= 3; ++degree) {
            std::vector<double> b = power;
            for (std::size_t i = 0; i < n; ++i) {
                power[i] *= double(from + int(i)) / m_w;
            }
            for (const auto& e : basis) {
                Subtract(b, e);
            }
            const double len = Length(b);
            if (len > 1e-9) {
                for (double& v : b) {
                    v /= len;
                }
                Subtract(out.w, b);
                basis.push_back(std::move(b));
            }
        }
        out.norm = Length(out.w);
        if (out.norm > 0) {
            for (double& v : out.w) {
                v /= out.norm;
            }
        }
        return out;
    }

    static double Length(const std::vector<double>& v)
    {
        double s = 0.0;
        for (double x : v) {
            s += x * x;
        }
        return std::sqrt(s);
    }

    // v minus its component along the unit vector e.
    static void Subtract(std::vector<double>& v, const std::vector<double>& e)
    {
        double d = 0.0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            d += v[i] * e[i];
        }
        for (std::size_t i = 0; i < v.size(); ++i) {
            v[i] -= d * e[i];
        }
    }

    double m_r;
    int m_w = 0;
    int m_keep = 0;  // grid points needed on either side of a pole
    std::vector<double> m_t;
    Weights m_full;
    std::vector<Weights> m_cutShallow;  // the first k + 1 offsets missing
    std::vector<Weights> m_cutDeep;     // the last k + 1 offsets missing
};

// The filters for one grid spacing and their outputs over a survey, kept for the next survey:
// made anew for every file, they cost more than the filtering itself (above all the kernel's
// fresh pages for the outputs). A survey borrows one set from the shelf and puts it back when
// done, so that threads never share one. (Kept per thread instead, their destructors at the
// thread's end crash the Windows build.)
struct FilterWork {
    double spacing = 0.0;
    std::vector<PoleFilter> filters;
    FilterOutputs outputs;
};

class FilterShelf {
public:
    struct PutBack {
        FilterShelf* shelf;
        void operator()(FilterWork* work) const
        {
            const std::lock_guard lock(shelf->m_mutex);
            shelf->m_spare.emplace_back(work);
        }
    };
    using Loan = std::unique_ptr<FilterWork, PutBack>;

    // Filters for `spacing`, and outputs of any size.
    Loan Borrow(double spacing)
    {
        std::unique_ptr<FilterWork> work;
        {
            const std::lock_guard lock(m_mutex);
            if (!m_spare.empty()) {
                work = std::move(m_spare.back());
                m_spare.pop_back();
            }
        }
        if (!work) {
            work = std::make_unique<FilterWork>();
        }
        if (work->filters.empty() || work->spacing != spacing) {
            work->filters.clear();
            for (double r : kDistances) {
                work->filters.emplace_back(r, spacing);
            }
            work->spacing = spacing;
        }
        return Loan(work.release(), PutBack{this});
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<FilterWork>> m_spare;
};

struct Survey {
    std::vector<double> z;  // shallow to deep
    std::vector<double> x;
    std::vector<double> y;
    double firstDepth = 0.0;
    double step = 0.0;  // metres
};

// Z from the shallowest sample down, on the nominal grid of the step. The depths of a survey are
// regular except where the counter dropped out; the median offset from the grid ignores those.
std::optional<Survey> ReadSurvey(const SampleRecord* samples, int count, int stepCm)
{
    if (stepCm <= 0 || stepCm > 1000) {
        return std::nullopt;
    }
    Survey s;
    s.step = stepCm / 100.0;
    s.z.resize(std::size_t(count));
    s.x.resize(std::size_t(count));
    s.y.resize(std::size_t(count));
    std::vector<double> offsets;
    offsets.reserve(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        const SampleRecord& r = samples[count - 1 - k];
        s.z[std::size_t(k)] = r.z;
        s.x[std::size_t(k)] = r.x;
        s.y[std::size_t(k)] = r.y;
        if (std::isfinite(r.depth)) {
            offsets.push_back(double(r.depth) - k * s.step);
        }
    }
    s.firstDepth = MedianOf(std::move(offsets));
    if (!std::isfinite(s.firstDepth) || std::abs(s.firstDepth) > 1e6) {
        return std::nullopt;
    }
    return s;
}

// One component of the survey averaged to the grid.
Grid ToGrid(const Survey& s, const std::vector<double>& v)
{
    const int bin = std::max(1, int(std::lround(kGridMetres / s.step)));
    Grid g;
    g.spacing = bin * s.step;
    g.first = s.firstDepth + (bin - 1) * s.step / 2.0;
    const std::size_t m = v.size() / std::size_t(bin);
    g.z.resize(m);
    for (std::size_t j = 0; j < m; ++j) {
        double sum = 0.0;
        for (int b = 0; b < bin; ++b) {
            sum += v[j * std::size_t(bin) + std::size_t(b)];
        }
        g.z[j] = sum / bin;
    }
    const double level = MedianOf(g.z);
    for (double& value : g.z) {
        value -= level;
    }
    return g;
}

// The strongest answer of the narrower filters at grid point j.
double SharpestResponse(const std::vector<PoleFilter>& filters, const FilterOutputs& outputs, int j)
{
    double sharp = 0.0;
    for (std::size_t f = 0; f < filters.size(); ++f) {
        if (filters[f].Distance() <= kSharpBelow) {
            sharp = std::max(sharp, std::abs(outputs[f][std::size_t(j)].first));
        }
    }
    return sharp;
}

void FilterAll(const Grid& g, double sigma, const std::vector<PoleFilter>& filters, FilterOutputs& outputs)
{
    outputs.resize(filters.size());
    for (std::size_t f = 0; f < filters.size(); ++f) {
        outputs[f].resize(g.z.size());
        for (std::size_t j = 0; j < g.z.size(); ++j) {
            outputs[f][j] = filters[f].Fit(g.z, int(j), sigma);
        }
    }
}

// Where between grid points a peak or trough through the values l, c, r has its vertex (in grid
// steps from c, at most half a step); none when c is no extreme.
double VertexOffset(double l, double c, double r)
{
    const double curve = l - 2.0 * c + r;
    return curve * c < 0 ? std::clamp(0.5 * (l - r) / curve, -0.5, 0.5) : 0.0;
}

// Every pole that stands out of the noise, shallow to deep, without the side lobes of stronger
// ones.
std::vector<Pole> FindPoles(const Grid& g, double sigma, const std::vector<PoleFilter>& filters,
                            const FilterOutputs& outputs)
{
    const int m = int(g.z.size());
    std::vector<Pole> best(static_cast<std::size_t>(m));
    for (std::size_t f = 0; f < filters.size(); ++f) {
        for (int j = 0; j < m; ++j) {
            const auto [snr, amplitude] = outputs[f][std::size_t(j)];
            Pole& b = best[std::size_t(j)];
            if (std::abs(snr) > std::abs(b.snr)) {
                b = {j, snr, amplitude, int(f), 0.0};
            }
        }
    }
    std::vector<Pole> candidates;
    for (int j = 1; j + 1 < m; ++j) {
        Pole p = best[std::size_t(j)];
        const double before = std::abs(best[std::size_t(j - 1)].snr);
        const double after = std::abs(best[std::size_t(j + 1)].snr);
        if (std::abs(p.snr) < kPoleThreshold || std::abs(p.snr) < before || std::abs(p.snr) <= after) {
            continue;
        }
        const PoleFilter& f = filters[std::size_t(p.filter)];
        if (f.Distance() > kSharpBelow && SharpestResponse(filters, outputs, j) < kSharpShare * std::abs(p.snr)) {
            continue;
        }
        // Between grid points: the vertex of the parabola through the chosen filter's outputs.
        const double l = outputs[std::size_t(p.filter)][std::size_t(j - 1)].first;
        const double r = outputs[std::size_t(p.filter)][std::size_t(j + 1)].first;
        p.depth = g.first + (j + VertexOffset(l, p.snr, r)) * g.spacing;
        candidates.push_back(p);
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Pole& a, const Pole& b) { return std::abs(a.snr) > std::abs(b.snr); });

    // A weaker pole near stronger ones may be nothing but their lobes: take their fields out of
    // its filter's output and see whether it still stands (a remainder of the other sign means the
    // lobes explain more than all of it). A stronger pole's field is taken once as its own filter
    // fitted it and once as the weaker pole's filter sees it, since the bars at mixed distances fit
    // neither exactly; either explanation will do. Strongest first, so that only real poles
    // explain others.
    const auto stands = [&](const Pole& p, const std::vector<Pole>& stronger) {
        const PoleFilter& f = filters[std::size_t(p.filter)];
        double asFitted = p.snr;
        double asSeen = p.snr;
        for (const Pole& q : stronger) {
            const double rq = filters[std::size_t(q.filter)].Distance();
            if (std::abs(q.depth - p.depth) <= kSideLobeReach * std::max(f.Distance(), rq)) {
                asFitted -= f.Response(g, p.j, q, rq, sigma);
                Pole seen = q;
                seen.amplitude = outputs[std::size_t(p.filter)][std::size_t(q.j)].second;
                asSeen -= f.Response(g, p.j, seen, f.Distance(), sigma);
            }
        }
        const double least = std::max(kPoleThreshold, kLobeRemainder * std::abs(p.snr));
        return asFitted * p.snr > 0 && std::abs(asFitted) >= least && asSeen * p.snr > 0 && std::abs(asSeen) >= least;
    };
    std::vector<Pole> real;
    for (const Pole& p : candidates) {
        if (stands(p, real)) {
            real.push_back(p);
        }
    }
    std::sort(real.begin(), real.end(), [](const Pole& a, const Pole& b) { return a.depth < b.depth; });

    return real;
}

double LapShare(const Grid& g, std::size_t ring, double centre, double sign);

// The length of the cage's sections from the laps found (shallow to deep): the one spacing of
// which every gap between them is a whole multiple. None when fewer than two laps or no such
// spacing.
std::optional<double> SectionLength(const std::vector<float>& laps)
{
    if (laps.size() < 2) {
        return std::nullopt;
    }
    std::vector<double> gaps;
    for (std::size_t k = 1; k < laps.size(); ++k) {
        gaps.push_back(double(laps[k]) - double(laps[k - 1]));
    }
    const double shortest = *std::min_element(gaps.begin(), gaps.end());
    std::optional<double> best;
    double bestMiss = kSectionMisfit;
    for (int parts = 1; parts <= 3; ++parts) {
        if (shortest / parts < kSectionMin || shortest / parts > kSectionMax) {
            continue;
        }
        double sum = 0.0;
        double multiples = 0.0;
        for (double gap : gaps) {
            sum += gap;
            multiples += std::round(gap / (shortest / parts));
        }
        const double length = sum / multiples;
        double miss = 0.0;
        for (double gap : gaps) {
            miss = std::max(miss, std::abs(gap - std::round(gap / length) * length));
        }
        if (miss < bestMiss) {
            bestMiss = miss;
            best = length;
        }
    }
    return best;
}

// Laps above the bottom: a pole set of the opposite sign to the bottom's above one of the
// bottom's sign, about a lap length apart and of like strength. The remanence of the bars gives
// pole pairs of every spacing too, as strong as the bars around them are: a lap must stand well
// out of the cage's own unevenness where it is (the sections grow lighter downwards, and so do
// their laps and their unevenness), and its two ends, fitted as whole rings like the bottom's,
// must explain most of the field around it: where the unevenness is, pieces of several bars
// overlap, which no single pair explains. A lap that is not clear is not suggested.
std::vector<float> FindLaps(const Grid& g, const std::vector<PoleFilter>& filters, const FilterOutputs& outputs,
                            const Pole& bottom, std::size_t ring)
{
    const int m = int(g.z.size());
    const double sign = bottom.snr > 0 ? 1.0 : -1.0;
    std::vector<double> score(static_cast<std::size_t>(m), 0.0);
    std::vector<double> unevenness(static_cast<std::size_t>(m), 0.0);
    std::vector<char> covered(static_cast<std::size_t>(m), 0);
    std::vector<double> out(static_cast<std::size_t>(m));
    for (std::size_t f = 0; f < filters.size(); ++f) {
        if (filters[f].Distance() > kLapFilterMax) {
            continue;
        }
        for (int j = 0; j < m; ++j) {
            out[std::size_t(j)] = sign * outputs[f][std::size_t(j)].first;
            unevenness[std::size_t(j)] = std::max(unevenness[std::size_t(j)], std::abs(out[std::size_t(j)]));
            covered[std::size_t(j)] |= filters[f].Covers(j, m) ? 1 : 0;
        }
        for (double half : {0.4, 0.5, 0.6}) {
            const int h = std::max(1, int(std::lround(half / g.spacing)));
            for (int j = h; j + h < m; ++j) {
                const double pair = std::min(-out[std::size_t(j - h)], out[std::size_t(j + h)]);
                score[std::size_t(j)] = std::max(score[std::size_t(j)], pair);
            }
        }
    }
    // The typical pole answer of the cage around a point, leaving out the point's own pair and the
    // ends of the survey, where no filter has room to answer and silence says nothing of the cage.
    const int near = int(std::ceil(kLapAround.first / g.spacing));
    const int reach = int(std::lround(kLapAround.second / g.spacing));
    const int last = std::min(m - 1, int(std::floor((bottom.depth - g.first) / g.spacing)));
    const auto around = [&](int j) {
        std::vector<double> v;
        for (int k = std::max(0, j - reach); k <= std::min(last, j + reach); ++k) {
            if (std::abs(k - j) >= near && covered[std::size_t(k)]) {
                v.push_back(unevenness[std::size_t(k)]);
            }
        }
        return std::max(kLapUnevennessFloor, MedianOf(std::move(v)));
    };

    // The cage hangs from the head of the hole, where the survey starts, and only its last section
    // is cut short: no lap lies within the shortest section of the start.
    std::vector<std::pair<double, int>> peaks;  // how clearly each pair stands out, and where
    for (int j = 1; j + 1 < m; ++j) {
        const double depth = g.first + j * g.spacing;
        const double v = score[std::size_t(j)];
        if (v >= kPeriodicLapThreshold && v >= score[std::size_t(j - 1)] && v > score[std::size_t(j + 1)] &&
            depth < bottom.depth - kLapClearOfBottom && depth > g.first + kSectionMin) {
            peaks.emplace_back(v / around(j), j);
        }
    }
    std::sort(peaks.rbegin(), peaks.rend());
    // Between grid points: the vertex of the parabola through the pair score.
    const auto centre = [&](int j) {
        const double offset = VertexOffset(score[std::size_t(j - 1)], score[std::size_t(j)], score[std::size_t(j + 1)]);
        return g.first + (j + offset) * g.spacing;
    };
    std::vector<float> laps;
    const auto clearOfLaps = [&](double depth) {
        return std::none_of(laps.begin(), laps.end(), [&](float l) { return std::abs(l - depth) < kLapSpacing; });
    };
    for (const auto& [clarity, j] : peaks) {
        if (clarity < kLapClarity) {
            break;
        }
        const double depth = centre(j);
        if (score[std::size_t(j)] >= kLapThreshold && clearOfLaps(depth) &&
            LapShare(g, ring, depth, sign) >= kLapShare) {
            laps.push_back(float(std::round(depth * 100.0) / 100.0));
        }
    }
    std::sort(laps.begin(), laps.end());
    // Only the last section of a cage may be cut short: where all clear laps but one repeat at one
    // spacing (three of them at least, so that the spacing means something) and that one is not the
    // deepest, nor can the deepest be the one off, it is a piece boundary between laps, not a lap.
    while (laps.size() > kSpacedLaps && !SectionLength(laps) &&
           !SectionLength(std::vector<float>(laps.begin(), laps.end() - 1))) {
        std::vector<std::size_t> off;  // the laps without which the others repeat
        for (std::size_t k = 0; k + 1 < laps.size(); ++k) {
            std::vector<float> others = laps;
            others.erase(others.begin() + std::ptrdiff_t(k));
            if (SectionLength(others)) {
                off.push_back(k);
            }
        }
        if (off.size() != 1) {
            break;
        }
        laps.erase(laps.begin() + std::ptrdiff_t(off.front()));
    }
    // The sections of a cage are cut to one length, so its laps repeat at one spacing: where the
    // clear laps give that spacing, a fainter pair that stands just where another lap must be and
    // fits as one is taken too.
    const std::optional<double> section = SectionLength(laps);
    if (!section) {
        return laps;
    }
    const double phase = laps.front();
    const auto onSpacing = [&](double depth) {
        const double k = std::round((depth - phase) / *section);
        return std::abs(depth - phase - k * *section) <= kPeriodicLapOff;
    };
    for (const auto& [clarity, j] : peaks) {
        const double depth = centre(j);
        if (clarity >= kPeriodicLapClarity && onSpacing(depth) && clearOfLaps(depth) &&
            LapShare(g, ring, depth, sign) >= kPeriodicLapShare) {
            laps.push_back(float(std::round(depth * 100.0) / 100.0));
        }
    }
    std::sort(laps.begin(), laps.end());
    return laps;
}

// The field of one set of poles, a pole at the end of every bar of a ring around the pile axis,
// along the hole: Z per unit of strength (peak 1) at depth offset u, tabulated for a few rings.
// The near bars give the sharp swing, the far side of the ring a broad one with its own lobes;
// fitting the whole ring explains both, where a filter for one distance takes the broad part
// for another pole.
struct Ring {
    double gap = 0.0;     // hole to the nearest bar
    double radius = 0.0;  // of the circle of bars
    std::vector<double> z;
    std::vector<double> h;     // the horizontal field, away from the pile, on the scale of z
    std::vector<double> near;  // Z of the half of the ring facing the hole alone
};

constexpr double kRingStep = 0.02;
constexpr double kRingReach = 12.0;
constexpr int kRingBars = 16;

const std::vector<Ring>& Rings()
{
    static const std::vector<Ring> rings = [] {
        std::vector<Ring> out;
        const int n = int(std::lround(kRingReach / kRingStep));
        for (double gap : {0.2, 0.35, 0.55, 0.8, 1.1, 1.5}) {
            for (double radius : {0.3, 0.5, 0.75}) {
                const std::vector<double> zero(std::size_t(2 * n + 1), 0.0);
                Ring ring{gap, radius, zero, zero, zero};
                const double d = gap + radius;
                for (int b = 0; b < kRingBars; ++b) {
                    const double angle = 2.0 * 3.14159265358979 * (b + 0.5) / kRingBars;
                    const double rho2 = d * d + radius * radius - 2.0 * d * radius * std::cos(angle);
                    for (int k = -n; k <= n; ++k) {
                        const double u = k * kRingStep;
                        const double d2 = u * u + rho2;
                        ring.z[std::size_t(k + n)] += u / (d2 * std::sqrt(d2));
                        ring.h[std::size_t(k + n)] += (d - radius * std::cos(angle)) / (d2 * std::sqrt(d2));
                        if (std::cos(angle) > 0.0) {
                            ring.near[std::size_t(k + n)] += u / (d2 * std::sqrt(d2));
                        }
                    }
                }
                double peak = 0.0;
                for (double v : ring.z) {
                    peak = std::max(peak, std::abs(v));
                }
                for (double& v : ring.z) {
                    v /= peak;
                }
                for (double& v : ring.h) {
                    v /= peak;
                }
                for (double& v : ring.near) {
                    v /= peak;
                }
                out.push_back(std::move(ring));
            }
        }
        return out;
    }();
    return rings;
}

double RingField(const std::vector<double>& table, double u)
{
    const double x = u / kRingStep + double(table.size() / 2);
    if (x <= 0.0 || x >= double(table.size() - 1)) {
        return 0.0;
    }
    const std::size_t k = std::size_t(x);
    const double f = x - double(k);
    return table[k] * (1.0 - f) + table[k + 1] * f;
}

// Least squares of the grid points from..to-1 with one ring's pole sets at `depths` and a cubic
// background: the residual sum of squares and, when asked for, each set's strength, how much the
// residual grows without it, and the spread of the residual around it (what is left there that
// the model does not explain: noise, or the part of a strong set's field that a ring misses).
struct PoleFit {
    double chi2 = 0.0;
    std::vector<double> strength;
    std::vector<double> gain;
    std::vector<double> localSpread;
    std::vector<double> error;     // standard error of each strength per unit of noise
    std::vector<double> residual;  // over the window
};

constexpr int kBackgroundTerms = 4;
constexpr double kLocalReach = 1.0;  // metres either side of a set, beyond its ring's own size

bool Cholesky(std::vector<double>& a, int p)
{
    for (int j = 0; j < p; ++j) {
        double d = a[std::size_t(j * p + j)];
        for (int k = 0; k < j; ++k) {
            d -= a[std::size_t(j * p + k)] * a[std::size_t(j * p + k)];
        }
        if (!(d > 0.0)) {
            return false;
        }
        d = std::sqrt(d);
        a[std::size_t(j * p + j)] = d;
        for (int i = j + 1; i < p; ++i) {
            double v = a[std::size_t(i * p + j)];
            for (int k = 0; k < j; ++k) {
                v -= a[std::size_t(i * p + k)] * a[std::size_t(j * p + k)];
            }
            a[std::size_t(i * p + j)] = v / d;
        }
    }
    return true;
}

// Solves L L^T x = b in place.
void CholeskySolve(const std::vector<double>& l, int p, std::vector<double>& b)
{
    for (int i = 0; i < p; ++i) {
        for (int k = 0; k < i; ++k) {
            b[std::size_t(i)] -= l[std::size_t(i * p + k)] * b[std::size_t(k)];
        }
        b[std::size_t(i)] /= l[std::size_t(i * p + i)];
    }
    for (int i = p - 1; i >= 0; --i) {
        for (int k = i + 1; k < p; ++k) {
            b[std::size_t(i)] -= l[std::size_t(k * p + i)] * b[std::size_t(k)];
        }
        b[std::size_t(i)] /= l[std::size_t(i * p + i)];
    }
}

struct FitWindow {
    int from = 0;
    int to = 0;
};

// With `split` a pole index, that set's near and far halves get strengths of their own.
std::optional<PoleFit> FitRing(const Grid& g, FitWindow w, const Ring& ring, const std::vector<double>& depths,
                               bool full, bool horizontal = false, int split = -1)
{
    const int poles = int(depths.size());
    const int extra = split >= 0 ? 1 : 0;
    const int p = poles + extra + kBackgroundTerms;
    const int n = w.to - w.from;
    const double top = g.first + w.from * g.spacing;
    const double half = std::max(1e-6, 0.5 * (n - 1) * g.spacing);
    std::vector<double> rows(static_cast<std::size_t>(n * p));
    std::vector<double> ata(static_cast<std::size_t>(p * p), 0.0);
    std::vector<double> aty(static_cast<std::size_t>(p), 0.0);
    double yy = 0.0;
    for (int i = 0; i < n; ++i) {
        double* row = &rows[std::size_t(i * p)];
        const double depth = g.first + (w.from + i) * g.spacing;
        for (int k = 0; k < poles; ++k) {
            row[k] = RingField(horizontal ? ring.h : ring.z, depth - depths[std::size_t(k)]);
        }
        if (extra) {
            row[poles] = RingField(ring.near, depth - depths[std::size_t(split)]);
        }
        const double t = (depth - top) / half - 1.0;
        double power = 1.0;
        for (int k = 0; k < kBackgroundTerms; ++k) {
            row[poles + extra + k] = power;
            power *= t;
        }
        const double y = g.z[std::size_t(w.from + i)];
        yy += y * y;
        for (int a = 0; a < p; ++a) {
            aty[std::size_t(a)] += row[a] * y;
            for (int b = 0; b <= a; ++b) {
                ata[std::size_t(a * p + b)] += row[a] * row[b];
            }
        }
    }
    for (int a = 0; a < p; ++a) {
        for (int b = 0; b < a; ++b) {
            ata[std::size_t(b * p + a)] = ata[std::size_t(a * p + b)];
        }
        // Sets too close to be told apart share what they explain instead of failing the fit.
        ata[std::size_t(a * p + a)] = ata[std::size_t(a * p + a)] * (1.0 + 1e-9) + 1e-12;
    }
    if (!Cholesky(ata, p)) {
        return std::nullopt;
    }
    PoleFit fit;
    std::vector<double> beta = aty;
    CholeskySolve(ata, p, beta);
    double explained = 0.0;
    for (int a = 0; a < p; ++a) {
        explained += beta[std::size_t(a)] * aty[std::size_t(a)];
    }
    fit.chi2 = std::max(0.0, yy - explained);
    if (!full) {
        return fit;
    }
    std::vector<double> residual(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double model = 0.0;
        for (int a = 0; a < p; ++a) {
            model += rows[std::size_t(i * p + a)] * beta[std::size_t(a)];
        }
        residual[std::size_t(i)] = g.z[std::size_t(w.from + i)] - model;
    }
    fit.residual = residual;
    const double reach = kLocalReach + ring.gap + ring.radius;
    for (int k = 0; k < poles; ++k) {
        std::vector<double> e(static_cast<std::size_t>(p), 0.0);
        e[std::size_t(k)] = 1.0;
        CholeskySolve(ata, p, e);
        fit.strength.push_back(beta[std::size_t(k)]);
        fit.gain.push_back(beta[std::size_t(k)] * beta[std::size_t(k)] / std::max(e[std::size_t(k)], 1e-300));
        fit.error.push_back(std::sqrt(std::max(e[std::size_t(k)], 0.0)));
        double sum = 0.0;
        int count = 0;
        for (int i = 0; i < n; ++i) {
            if (std::abs(g.first + (w.from + i) * g.spacing - depths[std::size_t(k)]) <= reach) {
                sum += residual[std::size_t(i)] * residual[std::size_t(i)];
                ++count;
            }
        }
        fit.localSpread.push_back(count ? std::sqrt(sum / count) : 0.0);
    }
    return fit;
}

// How much of the survey around a lap centre a pair of opposite sets explains, with the deeper one
// of the bottom's sign and the two of like strength (0 when no such pair fits).
double LapShare(const Grid& g, std::size_t ring, double centre, double sign)
{
    const int m = int(g.z.size());
    FitWindow w;
    w.from = std::clamp(int(std::floor((centre - kLapWindow - g.first) / g.spacing)), 0, m);
    w.to = std::clamp(int(std::ceil((centre + kLapWindow - g.first) / g.spacing)) + 1, w.from, m);
    if (w.to - w.from < 3 * kBackgroundTerms) {
        return 0.0;
    }
    const Ring& r = Rings()[ring];
    const std::optional<PoleFit> none = FitRing(g, w, r, {}, false);
    if (!none || none->chi2 <= 0.0) {
        return 0.0;
    }
    double best = 0.0;
    for (double length : {0.8, 1.0, 1.2}) {
        const std::optional<PoleFit> pair = FitRing(g, w, r, {centre - length / 2, centre + length / 2}, true);
        if (!pair || sign * pair->strength[0] >= 0.0 || sign * pair->strength[1] <= 0.0) {
            continue;
        }
        const double ratio = std::abs(pair->strength[0] / pair->strength[1]);
        if (ratio < 1.0 / kLapEndsRatio || ratio > kLapEndsRatio) {
            continue;
        }
        best = std::max(best, 1.0 - pair->chi2 / none->chi2);
    }
    return best;
}

// The pole sets near the cage end, fitted together: every point where some filter answers is a
// candidate; the ring that fits best is taken, and candidates are dropped, the least needed first,
// until each one left explains clearly more than what the fit leaves around it. What is left is
// the cage's end as a whole (the bottom, the top end of a short last section, the last lap)
// without the lobes and the broad far-side field that the filters alone take for poles of their
// own.
struct FittedPole {
    double depth = 0.0;
    double strength = 0.0;      // nT at the peak of the ring's Z
    double significance = 0.0;  // square root of the residual's growth without it, in local spreads
    bool seenAcross = true;     // the horizontal field agrees (or tells nothing)
};

// A pole set pulls the horizontal field away from the pile as it pulls Z, in proportion (on the
// rings' scale the horizontal strength of a set is about its Z strength), whatever the bearing of
// the hole; a set that shows in Z alone is no bar end (a lens of magnetic ground seen from afar,
// the wander of the Z sensor). The bearing is where the sets' horizontal strengths line up with
// their Z strengths. Files whose horizontal components do not vary at all carry none.
constexpr double kAcrossShare = 0.4;

void CheckAcross(const Grid (&across)[2], FitWindow w, const Ring& ring, const std::vector<double>& depths,
                 std::vector<FittedPole>& poles)
{
    const auto varies = [](const std::vector<double>& v) {
        return std::any_of(v.begin(), v.end(), [&](double x) { return x != v.front(); });
    };
    if (!varies(across[0].z) && !varies(across[1].z)) {
        return;
    }
    const std::optional<PoleFit> fx = FitRing(across[0], w, ring, depths, true, true);
    const std::optional<PoleFit> fy = FitRing(across[1], w, ring, depths, true, true);
    if (!fx || !fy) {
        return;
    }
    const double sigmaX = NoiseSigma(across[0].z);
    const double sigmaY = NoiseSigma(across[1].z);
    double sx = 0.0;
    double sy = 0.0;
    for (std::size_t k = 0; k < poles.size(); ++k) {
        sx += fx->strength[k] * poles[k].strength;
        sy += fy->strength[k] * poles[k].strength;
    }
    const double bearing = std::atan2(sy, sx);
    const double c = std::cos(bearing);
    const double sn = std::sin(bearing);
    for (std::size_t k = 0; k < poles.size(); ++k) {
        const double h = c * fx->strength[k] + sn * fy->strength[k];
        const double error = std::hypot(c * fx->error[k] * std::max(sigmaX, fx->localSpread[k]),
                                        sn * fy->error[k] * std::max(sigmaY, fy->localSpread[k]));
        const double seen = poles[k].strength > 0 ? h : -h;
        poles[k].seenAcross = seen >= kAcrossShare * std::abs(poles[k].strength) - 2.0 * error;
    }
}

constexpr double kCandidateSnr = 4.0;
constexpr double kCandidateApart = 0.3;
constexpr int kResidualSets = 2;
constexpr double kEndWindowAbove = 8.0;  // metres of cage above the deepest pole the filters found
constexpr double kEndWindowBelow = 6.0;
constexpr double kKeepSignificance = 6.0;
constexpr double kRefineStep = 0.05;
constexpr int kRefineSteps = 3;
constexpr std::size_t kRefined = 4;  // the deepest sets, the ones the bottom is chosen from
constexpr double kDominantShare = 0.3;
constexpr double kShapeReach = 2.0;       // distances to the far side of the ring, below the stronger set
constexpr double kShapeOfStronger = 2.0;  // times the weaker set's strength

// How far below a set its own ring's field still reaches: its far side's answer and lobes.
double ShapeReach(const Ring& ring)
{
    return kShapeReach * (ring.gap + 2.0 * ring.radius) + kLocalReach;
}

std::vector<double> Significances(const PoleFit& fit, double sigma)
{
    std::vector<double> out;
    for (std::size_t k = 0; k < fit.gain.size(); ++k) {
        out.push_back(std::sqrt(fit.gain[k]) / std::max(sigma, fit.localSpread[k]));
    }
    return out;
}

// Pruning that leaves no set means nothing near the deepest pole stands out of what the fit leaves:
// no cage end, not a failed fit.
std::optional<std::vector<FittedPole>> NoSetLeft(const std::vector<double>& depths)
{
    return depths.empty() ? std::optional(std::vector<FittedPole>{}) : std::nullopt;
}

std::optional<std::vector<FittedPole>> FitCageEnd(const Grid& g, const Grid (&across)[2], double sigma,
                                                  const std::vector<PoleFilter>& filters, const FilterOutputs& outputs,
                                                  double deepest, std::size_t& ringOut)
{
    const int m = int(g.z.size());
    FitWindow w;
    w.from = std::clamp(int(std::floor((deepest - kEndWindowAbove - g.first) / g.spacing)), 0, m);
    w.to = std::clamp(int(std::ceil((deepest + kEndWindowBelow - g.first) / g.spacing)) + 1, w.from, m);
    if (w.to - w.from < 4 * kBackgroundTerms) {
        return std::nullopt;
    }
    std::vector<double> best(static_cast<std::size_t>(m), 0.0);
    std::vector<int> bestFilter(static_cast<std::size_t>(m), 0);
    for (std::size_t f = 0; f < filters.size(); ++f) {
        for (int j = w.from; j < w.to; ++j) {
            const double v = std::abs(outputs[f][std::size_t(j)].first);
            if (v > best[std::size_t(j)]) {
                best[std::size_t(j)] = v;
                bestFilter[std::size_t(j)] = int(f);
            }
        }
    }
    std::vector<double> depths;
    std::vector<double> weights;  // how strongly each candidate stands out
    for (int j = std::max(1, w.from); j + 1 < w.to; ++j) {
        const double v = best[std::size_t(j)];
        if (v >= kCandidateSnr && v >= best[std::size_t(j - 1)] && v > best[std::size_t(j + 1)]) {
            const auto& out = outputs[std::size_t(bestFilter[std::size_t(j)])];
            const double l = out[std::size_t(j - 1)].first;
            const double c = out[std::size_t(j)].first;
            const double r = out[std::size_t(j + 1)].first;
            depths.push_back(g.first + (j + VertexOffset(l, c, r)) * g.spacing);
            weights.push_back(v);
        }
    }
    if (depths.empty()) {
        return std::nullopt;
    }
    const std::vector<Ring>& rings = Rings();
    const auto bestRing = [&](const std::vector<double>& at) {
        std::size_t chosen = 0;
        double least = INFINITY;
        for (std::size_t r = 0; r < rings.size(); ++r) {
            const std::optional<PoleFit> fit = FitRing(g, w, rings[r], at, false);
            if (fit && fit->chi2 < least) {
                least = fit->chi2;
                chosen = r;
            }
        }
        return chosen;
    };
    // The ring is judged by the dominant sets alone: with every weak candidate free to take up
    // what a wrong ring leaves, any ring would fit.
    const auto dominant = [](const std::vector<double>& at, const std::vector<double>& weight) {
        const double top = *std::max_element(weight.begin(), weight.end());
        std::vector<double> out;
        for (std::size_t k = 0; k < at.size(); ++k) {
            if (weight[k] >= kDominantShare * top) {
                out.push_back(at[k]);
            }
        }
        return out;
    };
    std::size_t ring = bestRing(dominant(depths, weights));
    std::optional<PoleFit> fit;
    const auto prune = [&] {
        while (!depths.empty()) {
            fit = FitRing(g, w, rings[ring], depths, true);
            if (!fit) {
                return false;
            }
            const std::vector<double> significance = Significances(*fit, sigma);
            const auto weakest = std::min_element(significance.begin(), significance.end());
            if (*weakest >= kKeepSignificance) {
                return true;
            }
            depths.erase(depths.begin() + (weakest - significance.begin()));
        }
        return false;
    };
    for (int pass = 0; pass < 2; ++pass) {
        if (!prune()) {
            return NoSetLeft(depths);
        }
        // The deepest sets to where they fit best, deepest first, then the ring again.
        for (std::size_t k = depths.size(); k-- > 0 && k + kRefined >= depths.size();) {
            double at = depths[k];
            double least = fit->chi2;
            std::vector<double> trial = depths;
            for (int step = -kRefineSteps; step <= kRefineSteps; ++step) {
                trial[k] = depths[k] + step * kRefineStep;
                const std::optional<PoleFit> t = step ? FitRing(g, w, rings[ring], trial, false) : std::nullopt;
                if (t && t->chi2 < least) {
                    least = t->chi2;
                    at = trial[k];
                }
            }
            depths[k] = at;
        }
        ring = bestRing(dominant(depths, Significances(*FitRing(g, w, rings[ring], depths, true), sigma)));
    }
    // What the fit leaves may still hold a set that no candidate stood for (the filters' lobes of a
    // strong lap can bury a weak bottom below it): the filters once more over the residual.
    for (int added = 0; added < kResidualSets; ++added) {
        fit = FitRing(g, w, rings[ring], depths, true);
        if (!fit) {
            return std::nullopt;
        }
        Grid rest;
        rest.first = g.first + w.from * g.spacing;
        rest.spacing = g.spacing;
        rest.z = fit->residual;
        FilterOutputs left;
        FilterAll(rest, sigma, filters, left);
        double strongest = kPoleThreshold;
        double at = NAN;
        for (const auto& out : left) {
            for (std::size_t j = 0; j < out.size(); ++j) {
                const double depth = rest.first + double(j) * rest.spacing;
                if (std::abs(out[j].first) > strongest && std::none_of(depths.begin(), depths.end(), [&](double d) {
                        return std::abs(d - depth) < kCandidateApart;
                    })) {
                    strongest = std::abs(out[j].first);
                    at = depth;
                }
            }
        }
        if (std::isnan(at)) {
            break;
        }
        depths.insert(std::upper_bound(depths.begin(), depths.end(), at), at);
        if (!prune()) {
            return NoSetLeft(depths);
        }
    }
    fit = FitRing(g, w, rings[ring], depths, true);
    if (!fit) {
        return std::nullopt;
    }
    ringOut = ring;
    std::vector<FittedPole> end;
    const std::vector<double> significance = Significances(*fit, sigma);
    for (std::size_t k = 0; k < depths.size(); ++k) {
        end.push_back({depths[k], fit->strength[k], significance[k]});
    }
    CheckAcross(across, w, rings[ring], depths, end);
    // Weaker sets below a stronger one may be no more than the stronger set's own shape: bars of
    // unequal strength make the near and the far side of a ring pull differently, which one ring
    // cannot follow. Let the stronger set's halves go their own ways and see whether anything
    // below it is still needed.
    for (std::size_t k = depths.size(); k-- > 0 && k + kRefined >= depths.size();) {
        for (std::size_t i = 0; i < k && end[k].significance >= kKeepSignificance; ++i) {
            if (depths[k] - depths[i] > ShapeReach(rings[ring]) ||
                std::abs(fit->strength[i]) < kShapeOfStronger * std::abs(fit->strength[k])) {
                continue;
            }
            // Everything below the stronger set goes, so that the deeper sets cannot stand in for
            // each other.
            const std::vector<double> without(depths.begin(), depths.begin() + std::ptrdiff_t(i + 1));
            const std::optional<PoleFit> with = FitRing(g, w, rings[ring], depths, false, false, int(i));
            // Without them any ring may do: the one taken was chosen with these sets standing in for
            // the far side of a wider ring, whose field below the stronger set they are.
            std::optional<PoleFit> less;
            for (const Ring& other : rings) {
                const std::optional<PoleFit> trial = FitRing(g, w, other, without, false, false, int(i));
                if (trial && (!less || trial->chi2 < less->chi2)) {
                    less = trial;
                }
            }
            if (with && less) {
                const double gain = std::sqrt(std::max(0.0, less->chi2 - with->chi2));
                end[k].significance = std::min(end[k].significance, gain / std::max(sigma, fit->localSpread[k]));
            }
        }
    }
    std::sort(end.begin(), end.end(), [](const FittedPole& a, const FittedPole& b) { return a.depth < b.depth; });
    return end;
}

// The bottom is the deepest fitted set that stands out of the noise and is not a mere trace of a
// much stronger set above it (the bars of a last section are seldom a tenth of those above; one
// that weak but clearly out of the noise is taken, as doubtful). It cannot be told from a lap when
// it looks like one: an opposite set about a lap length above it and of like strength, so that the
// real bottom may be a weak set further down. Sets of one sign closer than the nearest bars stand
// from the hole merge into one, so a lap's deeper end and a bottom that close below it look like a
// single set lower down: the opposite set may stand that much more than a lap length above.
struct EndChoice {
    FittedPole pole;
    bool ambiguous = false;
};

constexpr double kBottomSignificance = kPoleThreshold;
constexpr double kBottomOfStrongest = 0.1;
constexpr double kClearBottom = 2.0 * kBottomSignificance;
constexpr double kAmbiguousShare = 0.45;  // of the confidence left
constexpr double kLapLengthMin = 0.5;
constexpr double kLapLengthMax = 1.6;
constexpr double kLapLike = 0.3;  // of the bottom's strength: a tied end of a light section shows little

std::optional<EndChoice> ChooseBottom(const std::vector<FittedPole>& end, const Ring& ring)
{
    double strongest = 0.0;
    for (const FittedPole& p : end) {
        strongest = std::max(strongest, std::abs(p.strength));
    }
    for (std::size_t k = end.size(); k-- > 0;) {
        const FittedPole& p = end[k];
        const bool faint = std::abs(p.strength) < kBottomOfStrongest * strongest;
        if (p.significance < kBottomSignificance || (faint && p.significance < kClearBottom) || !p.seenAcross) {
            continue;
        }
        // A faint set that still stands clearly out of the noise is a light last section under a
        // loose lap as likely as a trace: the strong set above it may be that lap.
        EndChoice choice{p, faint};
        // A set the fit still needs below the bottom, though too weak to take, beyond the reach of
        // the bottom's own far side: the light last section under a lap may end there.
        for (std::size_t i = k + 1; i < end.size(); ++i) {
            if (end[i].significance >= kKeepSignificance && end[i].seenAcross &&
                end[i].depth - p.depth > ShapeReach(ring)) {
                choice.ambiguous = true;
            }
        }
        for (std::size_t i = 0; i < k; ++i) {
            const FittedPole& q = end[i];
            const double above = p.depth - q.depth;
            if (above >= kLapLengthMin && above <= kLapLengthMax + ring.gap && q.strength * p.strength < 0 &&
                std::abs(q.strength) >= kLapLike * std::abs(p.strength)) {
                choice.ambiguous = true;
            }
        }
        return choice;
    }
    return std::nullopt;
}

constexpr const char* kNoCageEnd = "未发现钢筋笼端部的磁异常，不给出建议。";

std::string Format(const char* format, double a, double b = 0.0)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

}  // namespace

CageSuggestion SuggestCage(const SampleRecord* samples, int count, int stepCm)
{
    CageSuggestion out;
    const std::optional<Survey> survey = samples && count > 0 ? ReadSurvey(samples, count, stepCm) : std::nullopt;
    if (count > 0 && !survey) {
        out.reason = "步距或深度无效，无法判读。";
        return out;
    }
    if (count < kMinSamples || (count - 1) * survey->step < kMinSpan) {
        out.reason = "测点太少，无法判读。";
        return out;
    }
    Survey s = *survey;
    for (std::vector<double>* v : {&s.z, &s.x, &s.y}) {
        RemoveSpikes(*v, NoiseSigma(*v));
    }
    const Grid grid = ToGrid(s, s.z);
    const Grid across[2] = {ToGrid(s, s.x), ToGrid(s, s.y)};
    const double sigma = NoiseSigma(grid.z);

    static FilterShelf shelf;
    const FilterShelf::Loan work = shelf.Borrow(grid.spacing);
    const std::vector<PoleFilter>& filters = work->filters;
    FilterOutputs& outputs = work->outputs;
    FilterAll(grid, sigma, filters, outputs);
    const std::vector<Pole> poles = FindPoles(grid, sigma, filters, outputs);
    if (poles.empty()) {
        out.reason = kNoCageEnd;
        return out;
    }
    Pole bottom = poles.back();
    double strength = std::abs(bottom.snr);
    bool ambiguous = false;
    std::size_t ring = kTypicalRing;
    if (const std::optional<std::vector<FittedPole>> end =
            FitCageEnd(grid, across, sigma, filters, outputs, bottom.depth, ring)) {
        const std::optional<EndChoice> choice = ChooseBottom(*end, Rings()[ring]);
        if (!choice) {
            out.reason = kNoCageEnd;
            return out;
        }
        bottom.depth = choice->pole.depth;
        bottom.snr = choice->pole.strength > 0 ? choice->pole.significance : -choice->pole.significance;
        strength = choice->pole.significance;
        ambiguous = choice->ambiguous;
    }
    out.bottom = float(std::round(bottom.depth * 100.0) / 100.0);
    out.joints = FindLaps(grid, filters, outputs, bottom, ring);

    const double below = grid.first + (double(grid.z.size()) - 1.0) * grid.spacing - bottom.depth;
    const double byStrength = 1.0 - std::exp(-(strength - kPoleThreshold) / (2.0 * kPoleThreshold));
    const double byRoomBelow = 0.6 + 0.4 * std::clamp(below / 1.5, 0.0, 1.0);
    const double byClarity = ambiguous ? kAmbiguousShare : 1.0;
    out.confidence = float(std::round(100.0 * std::clamp(byStrength * byRoomBelow * byClarity, 0.0, 1.0)) / 100.0);

    if (below < 1.0) {
        out.reason = "底部距最深测点不足 1 m，其下背景无法核实，请人工核对。";
    } else if (ambiguous) {
        out.reason = "底部与接头难以区分，请人工核对。";
    } else if (out.confidence < 0.5) {
        out.reason = Format("底部磁异常较弱（信噪比 %.0f），请人工核对。", strength);
    } else if (out.joints.empty()) {
        out.reason = Format("最深的一组磁极在 %.2f m，其下只有背景场。", double(*out.bottom));
    } else {
        out.reason = Format("最深的一组磁极在 %.2f m，其下只有背景场；另有 %.0f 处搭接接头。", double(*out.bottom),
                            double(out.joints.size()));
    }
    return out;
}

CageSuggestion SuggestCage(const CFileData& data)
{
    const int count = int(std::min<uint32_t>(data.m_nCount, uint32_t(data.m_raw.size())));
    return SuggestCage(data.m_raw.data(), count, data.m_nStep);
}

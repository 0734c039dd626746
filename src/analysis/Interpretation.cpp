#include "analysis/Interpretation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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
constexpr double kLapSpacing = 3.0;      // sections are longer than this
constexpr double kLapThreshold = 8.5;
constexpr double kLapOverChance = 4.0;    // times the median pair score inside the cage
constexpr double kLapOfStrongest = 0.35;  // of the strongest lap's score
// Too little to judge a survey by.
constexpr int kMinSamples = 12;
constexpr double kMinSpan = 2.0;
// Integer samples carry at least their rounding as noise.
constexpr double kMinSigma = 0.5;
constexpr int kNoiseBlock = 32;

struct Grid {
    std::vector<double> z;  // shallow to deep, background level removed
    double first = 0.0;     // depth of z[0]
    double spacing = 0.0;
};

// Each filter's output over the grid: (signal-to-noise, amplitude) at every point.
using FilterOutputs = std::vector<std::vector<std::pair<double, double>>>;

struct Pole {
    int j = 0;
    double snr = 0.0;     // signed: the sign of the pole
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
        std::vector<double> estimates;
        for (std::size_t b = 0; b < blocks; ++b) {
            const auto from = d2.begin() + std::ptrdiff_t(b * kNoiseBlock);
            estimates.push_back(MedianOf(std::vector<double>(from, from + kNoiseBlock)));
        }
        std::sort(estimates.begin(), estimates.end());
        // For pure noise the lowest fifth of the block medians ends about 17 % under the median
        // of all; scale back so that a noise-only survey is judged by its true spread.
        typical = estimates[estimates.size() / 5] / 0.83;
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

    // The weights at grid point j of m. Near the ends of the survey the window is cut; with too
    // little of it left there are none.
    const Weights* At(int j, int m, Weights& scratch) const
    {
        const int from = std::max(-m_w, -j);
        const int to = std::min(m_w, m - 1 - j);
        if (-from < m_keep || to < m_keep) {
            return nullptr;
        }
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

struct Survey {
    std::vector<double> z;  // shallow to deep
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
    std::vector<double> offsets;
    offsets.reserve(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        const SampleRecord& r = samples[count - 1 - k];
        s.z[std::size_t(k)] = r.z;
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

Grid ToGrid(const Survey& s)
{
    const int bin = std::max(1, int(std::lround(kGridMetres / s.step)));
    Grid g;
    g.spacing = bin * s.step;
    g.first = s.firstDepth + (bin - 1) * s.step / 2.0;
    const std::size_t m = s.z.size() / std::size_t(bin);
    g.z.resize(m);
    for (std::size_t j = 0; j < m; ++j) {
        double sum = 0.0;
        for (int b = 0; b < bin; ++b) {
            sum += s.z[j * std::size_t(bin) + std::size_t(b)];
        }
        g.z[j] = sum / bin;
    }
    const double level = MedianOf(g.z);
    for (double& v : g.z) {
        v -= level;
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

FilterOutputs FilterAll(const Grid& g, double sigma, const std::vector<PoleFilter>& filters)
{
    FilterOutputs outputs(filters.size());
    for (std::size_t f = 0; f < filters.size(); ++f) {
        outputs[f].resize(g.z.size());
        for (std::size_t j = 0; j < g.z.size(); ++j) {
            outputs[f][j] = filters[f].Fit(g.z, int(j), sigma);
        }
    }
    return outputs;
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
        const double curve = l - 2.0 * p.snr + r;
        const double offset = curve * p.snr < 0 ? std::clamp(0.5 * (l - r) / curve, -0.5, 0.5) : 0.0;
        p.depth = g.first + (j + offset) * g.spacing;
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

// Laps above the bottom: a pole set of the opposite sign to the bottom's above one of the
// bottom's sign, about a lap length apart and of like strength, standing well out of the cage's
// own unevenness (the remanence of the bars gives pole pairs of every spacing).
std::vector<float> FindLaps(const Grid& g, const std::vector<PoleFilter>& filters, const FilterOutputs& outputs,
                            const Pole& bottom)
{
    const int m = int(g.z.size());
    const double sign = bottom.snr > 0 ? 1.0 : -1.0;
    std::vector<double> score(static_cast<std::size_t>(m), 0.0);
    std::vector<double> out(static_cast<std::size_t>(m));
    for (std::size_t f = 0; f < filters.size(); ++f) {
        if (filters[f].Distance() > kLapFilterMax) {
            continue;
        }
        for (int j = 0; j < m; ++j) {
            out[std::size_t(j)] = sign * outputs[f][std::size_t(j)].first;
        }
        for (double half : {0.4, 0.5, 0.6}) {
            const int h = std::max(1, int(std::lround(half / g.spacing)));
            for (int j = h; j + h < m; ++j) {
                const double pair = std::min(-out[std::size_t(j - h)], out[std::size_t(j + h)]);
                score[std::size_t(j)] = std::max(score[std::size_t(j)], pair);
            }
        }
    }
    // How strong a chance pair inside the cage is.
    std::vector<double> inside;
    for (int j = 0; j < m; ++j) {
        if (g.first + j * g.spacing < bottom.depth - kLapClearOfBottom && score[std::size_t(j)] > 0) {
            inside.push_back(score[std::size_t(j)]);
        }
    }
    const double floor = std::max(kLapThreshold, kLapOverChance * MedianOf(inside));

    std::vector<std::pair<double, int>> peaks;
    for (int j = 1; j + 1 < m; ++j) {
        const double depth = g.first + j * g.spacing;
        const double v = score[std::size_t(j)];
        if (v >= floor && v >= score[std::size_t(j - 1)] && v > score[std::size_t(j + 1)] &&
            depth < bottom.depth - kLapClearOfBottom && depth > g.first + kLapClearOfBottom) {
            peaks.emplace_back(v, j);
        }
    }
    std::sort(peaks.rbegin(), peaks.rend());
    std::vector<float> laps;
    for (const auto& [v, j] : peaks) {
        if (v < kLapOfStrongest * peaks.front().first) {
            break;
        }
        const double depth = g.first + j * g.spacing;
        if (std::none_of(laps.begin(), laps.end(), [&](float l) { return std::abs(l - depth) < kLapSpacing; })) {
            laps.push_back(float(std::round(depth * 100.0) / 100.0));
        }
    }
    std::sort(laps.begin(), laps.end());
    return laps;
}

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
    RemoveSpikes(s.z, NoiseSigma(s.z));
    const Grid grid = ToGrid(s);
    const double sigma = NoiseSigma(grid.z);

    std::vector<PoleFilter> filters;
    for (double r : kDistances) {
        filters.emplace_back(r, grid.spacing);
    }
    const FilterOutputs outputs = FilterAll(grid, sigma, filters);
    const std::vector<Pole> poles = FindPoles(grid, sigma, filters, outputs);
    if (poles.empty()) {
        out.reason = "未发现钢筋笼端部的磁异常，不给出建议。";
        return out;
    }
    const Pole& bottom = poles.back();
    out.bottom = float(std::round(bottom.depth * 100.0) / 100.0);
    out.joints = FindLaps(grid, filters, outputs, bottom);

    const double strength = std::abs(bottom.snr);
    const double below = grid.first + (double(grid.z.size()) - 1.0) * grid.spacing - bottom.depth;
    const double byStrength = 1.0 - std::exp(-(strength - kPoleThreshold) / (2.0 * kPoleThreshold));
    const double byRoomBelow = 0.6 + 0.4 * std::clamp(below / 1.5, 0.0, 1.0);
    out.confidence = float(std::round(100.0 * std::clamp(byStrength * byRoomBelow, 0.0, 1.0)) / 100.0);

    if (below < 1.0) {
        out.reason = "底部距最深测点不足 1 m，其下背景无法核实，请人工核对。";
    } else if (out.confidence < 0.5) {
        out.reason = Format("底部磁异常较弱（信噪比 %.0f），请人工核对。", strength);
    } else if (out.joints.empty()) {
        out.reason = Format("最深的一组磁极在 %.2f m，其下只有背景场。", double(*out.bottom));
    } else {
        out.reason = Format("最深的一组磁极在 %.2f m，其下只有背景场；另有 %.0f 处搭接接头。",
                            double(*out.bottom), double(out.joints.size()));
    }
    return out;
}

CageSuggestion SuggestCage(const CFileData& data)
{
    const int count = int(std::min<uint32_t>(data.m_nCount, uint32_t(data.m_raw.size())));
    return SuggestCage(data.m_raw.data(), count, data.m_nStep);
}

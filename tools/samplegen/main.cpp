// orvek-samplegen <outdir>: writes the bundled sample measurement files and truth.txt, the cage
// each file was generated from. The output depends only on the catalogue, so running it again
// reproduces the folder byte for byte.
// orvek-samplegen --bench <outdir> [SEED]: writes the interpretation bench set drawn from SEED.

#include "CageModel.h"
#include "CddWriter.h"
#include "SampleCatalog.h"
#include "BenchSet.h"

#include "data/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

std::string Format(const char* fmt, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

std::string Gbk(const std::string& utf8)
{
    const auto bytes = Utf16ToCp936(Utf8ToUtf16(utf8));
    if (!bytes) {
        throw std::runtime_error("no code page 936 form for \"" + utf8 + "\"");
    }
    return *bytes;
}

// The operator places markers with the cursor, which snaps to samples.
float NearestSampleDepth(const SamplePlan& plan, double depth)
{
    if (plan.count <= 0 || plan.stepCm <= 0) {
        return 0.0f;
    }
    const long index = std::lround((plan.startCm - depth * 100.0) / plan.stepCm);
    const long clamped = std::clamp(index, 0L, long(plan.count) - 1);
    return float(double(plan.startCm - clamped * plan.stepCm) / 100.0);
}

CddContent BuildContent(const SamplePlan& plan)
{
    const CageModel model(plan.pile, plan.seed);
    CddContent c;

    AcquisitionSet acq;
    acq.word1 = plan.word1;
    acq.word2 = plan.word2;
    acq.stepCm = plan.stepCm;
    acq.project = Gbk(plan.project);
    acq.site = Gbk(plan.site);
    acq.pileNo = Gbk(plan.pileNo);
    acq.year = plan.year;
    acq.month = plan.month;
    acq.day = plan.day;

    c.primary = acq;
    c.primary.startDepth = float(plan.startCm / 100.0);
    c.primary.samples = model.Survey(plan.startCm, plan.stepCm, plan.count, plan.seed * 1000 + 1);
    for (int i : plan.lostRecords) {
        c.primary.samples.at(std::size_t(i)) = ProbeSample{};
    }
    for (int i : plan.lostDepths) {
        c.primary.samples.at(std::size_t(i)).depth = 0.0f;
    }

    c.secondary = acq;
    c.secondary.startDepth = float(plan.secondaryStartCm / 100.0);
    c.secondary.samples =
        model.Survey(plan.secondaryStartCm, plan.stepCm, plan.secondaryCount, plan.seed * 1000 + 2);

    if (plan.savedMarkers) {
        c.markerCount = 11;
        for (std::size_t j = 0; j < plan.pile.joints.size() && j < 10; ++j) {
            c.markers[j] = NearestSampleDepth(plan, plan.pile.joints[j]);
        }
        c.markers[10] = NearestSampleDepth(plan, plan.pile.cageBottom);
    }
    if (plan.savedReport) {
        ReportBlock& r = c.report;
        r.flag = 1;
        // The survey starts at the deepest sample; the bars above the ground are measured with a tape.
        r.startDepth = float(plan.startCm / 100.0);
        r.detectedLength = NearestSampleDepth(plan, plan.pile.cageBottom) - float(plan.pile.cageTop);
        r.designCageLength = float(plan.pile.cageBottom - plan.pile.cageTop);
        r.designPileLength = plan.designPileLength;
        r.texts = {Gbk(plan.pileNo), Gbk(plan.engineeringName), Gbk(plan.notes),
                   Gbk(plan.reportDate), Gbk(plan.reportProject), Gbk(plan.reportSite)};
    }
    return c;
}

std::string Truth(const SamplePlan& s)
{
    const PileModel& p = s.pile;
    std::string t = s.fileName + "\n";
    const double last = (s.startCm - (s.count - 1) * s.stepCm) / 100.0;
    t += Format("  primary: %d samples, step %d cm, depths %.2f .. %.2f m; secondary: %d samples",
                s.count, s.stepCm, s.startCm / 100.0, last, s.secondaryCount);
    t += s.secondaryCount > 0 ? Format(" from %.2f m\n", s.secondaryStartCm / 100.0) : std::string("\n");
    t += Format("  cage: top %.2f m, bottom %.2f m, length %.2f m, radius %.2f m\n", p.cageTop, p.cageBottom,
                p.cageBottom - p.cageTop, p.cageRadius);
    t += "  joints:";
    for (double j : p.joints) {
        t += Format(" %.2f", j);
    }
    t += p.joints.empty() ? " none\n  bars:" : " m\n  bars:";
    for (std::size_t k = 0; k < p.sections.size(); ++k) {
        t += Format("%s %d x D%.0f", k ? " |" : "", p.sections[k].bars, p.sections[k].barDiameterMm);
    }
    t += Format(" (top to bottom; laps %.2f m centred on the joints)\n", p.lapLength);
    t += Format("  hole: %.2f m beside the bars at the surface, +%.3f m per m of depth, bearing %.0f deg\n",
                p.holeOffset, p.holeDrift, p.holeBearingDeg);
    t += "  acquisition: project \"" + s.project + "\", site \"" + s.site + "\", pile \"" + s.pileNo + "\"" +
         Format(", test date %04d-%02d-%02d\n", s.year, s.month, s.day);
    if (!s.lostRecords.empty() || !s.lostDepths.empty()) {
        t += "  lost records (depth 0, X = Y = Z = 0) at index:";
        for (int i : s.lostRecords) {
            t += Format(" %d", i);
        }
        t += "; depth 0 with good values at index:";
        for (int i : s.lostDepths) {
            t += Format(" %d", i);
        }
        t += "\n";
    }
    if (s.savedMarkers) {
        t += "  saved markers (nearest samples):";
        for (std::size_t j = 0; j < p.joints.size(); ++j) {
            t += Format(" joint %zu at %.2f,", j + 1, NearestSampleDepth(s, p.joints[j]));
        }
        t += Format(" bottom at %.2f m\n", NearestSampleDepth(s, p.cageBottom));
    } else {
        t += "  saved markers: none (marker count 0)\n";
    }
    if (s.savedReport) {
        t += Format("  saved report: detected length %.2f m, start depth %.2f m, design cage %.2f m, "
                    "design pile %.2f m\n",
                    NearestSampleDepth(s, p.cageBottom) - p.cageTop, s.startCm / 100.0, p.cageBottom - p.cageTop,
                    double(s.designPileLength));
        t += "    texts: \"" + s.pileNo + "\", \"" + s.engineeringName + "\", \"" + s.notes + "\", \"" + s.reportDate +
             "\", \"" + s.reportProject + "\", \"" + s.reportSite + "\"\n";
    } else {
        t += "  saved report: none (report flag 0)\n";
    }
    return t;
}

const char* kTruthHeader =
    "Sample measurement files generated from a model of a rebar cage seen from a probe hole beside\n"
    "the pile. Depths in metres below the ground; sample 0 of each file is the deepest. At the cage\n"
    "bottom Z swings from a minimum just above it to a maximum just below it; each joint (a lap where\n"
    "the number of bars changes) shows a smaller valley between two ridges.\n"
    "\n"
    "Reproduce this folder exactly (this file included), from the repository root:\n"
    "  cmake --build <build> --target orvek-samplegen && <build>/tools/orvek-samplegen samples\n"
    "\n";

}  // namespace

int main(int argc, char** argv)
{
    const bool bench = argc >= 3 && argc <= 4 && std::string(argv[1]) == "--bench";
    if ((argc != 2 && !bench) || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::fprintf(argc == 2 ? stdout : stderr, "usage: orvek-samplegen <outdir>\n"
                                                  "       orvek-samplegen --bench <outdir> [SEED]\n");
        return argc == 2 ? 0 : 2;
    }
    try {
        if (bench) {
            const uint64_t seed = argc == 4 ? std::stoull(argv[3]) : 1;
            const int files = WriteBenchSet(argv[2], seed);
            std::printf("%d bench files (seed %llu) in %s\n", files, (unsigned long long)seed, argv[2]);
            return 0;
        }
        const std::filesystem::path dir(argv[1]);
        std::filesystem::create_directories(dir);
        std::string truth = kTruthHeader;
        for (const SamplePlan& plan : SampleCatalog()) {
            const std::string bytes = SerializeCdd(BuildContent(plan));
            WriteFileBytes(dir / plan.fileName, bytes);
            truth += Truth(plan) + "\n";
            std::printf("%s: %d + %d samples, %zu bytes\n", plan.fileName.c_str(), plan.count, plan.secondaryCount,
                        bytes.size());
        }
        WriteFileBytes(dir / "truth.txt", truth);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvek-samplegen: %s\n", e.what());
        return 1;
    }
    return 0;
}

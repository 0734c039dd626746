// samples: the raw and the rebuilt smoothed table as CSV.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "analysis/Smoothing.h"

#include <iostream>
#include <memory>
#include <sstream>

namespace {

void RunSamples(const std::string& path, int window, bool secondary)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    std::ostringstream out;
    if (secondary) {
        const CFileData& s = slot->secondary;
        out << "index,x,y,z,depth\n";
        for (uint32_t i = 0; i < s.m_nCount; ++i) {
            const SampleRecord& r = s.m_raw[i];
            out << i << ',' << r.x << ',' << r.y << ',' << r.z << ',' << FloatText(r.depth) << '\n';
        }
    } else {
        CFileData& p = slot->primary;
        RebuildSmoothedTable(p, window);
        out << "index,x,y,z,depth,dx,dy,dz,sx,sy,sz,sdx,sdy,sdz\n";
        for (uint32_t i = 0; i < p.m_nCount; ++i) {
            const SampleRecord& r = p.m_raw[i];
            const SampleRecord& m = p.m_smoothed[i];
            out << i << ',' << r.x << ',' << r.y << ',' << r.z << ',' << FloatText(r.depth) << ',' << r.dx << ','
                << r.dy << ',' << r.dz << ',' << m.x << ',' << m.y << ',' << m.z << ',' << m.dx << ',' << m.dy << ','
                << m.dz << '\n';
        }
    }
    std::cout << out.str();
}

}  // namespace

void AddSamplesCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("samples", "Print the raw and smoothed samples as CSV");
    auto path = std::make_shared<std::string>();
    auto window = std::make_shared<int>(1);
    auto secondary = std::make_shared<bool>(false);
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    cmd->add_option("--smooth", *window, "smoothing points (1..10)")->check(CLI::Range(1, 10));
    cmd->add_flag("--secondary", *secondary, "print the secondary data set's raw samples");
    cmd->callback([=] { RunSamples(*path, *window, *secondary); });
}

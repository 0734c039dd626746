#include "CddWriter.h"

#include <bit>
#include <fstream>
#include <stdexcept>

namespace {

void PutU32(std::string& out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(char((v >> shift) & 0xFFu));
    }
}

void PutI32(std::string& out, int32_t v) { PutU32(out, uint32_t(v)); }
void PutF32(std::string& out, float v) { PutU32(out, std::bit_cast<uint32_t>(v)); }

void PutText(std::string& out, const std::string& bytes)
{
    if (bytes.find('\0') != std::string::npos) {
        throw std::runtime_error("a text holds a NUL byte");
    }
    out += bytes;
    out.push_back('\0');
}

void PadTo(std::string& out, std::size_t size, const char* what)
{
    if (out.size() > size) {
        throw std::runtime_error(std::string(what) + " does not fit before offset " + std::to_string(size));
    }
    out.resize(size, '\0');
}

void PutAcquisitionHeader(std::string& out, const AcquisitionSet& set)
{
    PutI32(out, set.word1);
    PutI32(out, set.word2);
    PutF32(out, set.startDepth);
    PutI32(out, set.stepCm);
    PutU32(out, uint32_t(set.samples.size()));
    PutText(out, set.project);
    PutText(out, set.site);
    PutText(out, set.pileNo);
    PutI32(out, set.year);
    PutI32(out, set.month);
    PutI32(out, set.day);
}

void PutSamples(std::string& out, const std::vector<ProbeSample>& samples)
{
    for (const ProbeSample& s : samples) {
        PutI32(out, s.x);
        PutI32(out, s.y);
        PutI32(out, s.z);
        PutF32(out, s.depth);
    }
}

}  // namespace

std::string SerializeCdd(const CddContent& content)
{
    if (content.primary.samples.size() > 2048 || content.secondary.samples.size() > 2048) {
        throw std::runtime_error("more than 2048 samples in a data set");
    }
    std::string out;
    PutI32(out, content.markerCount);
    for (float depth : content.markers) {
        PutF32(out, depth);
    }
    PutI32(out, content.report.flag);
    PutF32(out, content.report.detectedLength);
    PutF32(out, content.report.startDepth);
    PutF32(out, content.report.designCageLength);
    PutF32(out, content.report.designPileLength);
    for (const std::string& text : content.report.texts) {
        if (text.size() > 255) {
            throw std::runtime_error("a report text is longer than 255 bytes");
        }
        PutText(out, text);
    }
    PadTo(out, 512, "the report texts");

    PutAcquisitionHeader(out, content.primary);
    PadTo(out, 1024, "the acquisition header");
    PutSamples(out, content.primary.samples);
    for (char b = 0; b < 16; ++b) {
        out.push_back(b);
    }
    PutAcquisitionHeader(out, content.secondary);
    PutSamples(out, content.secondary.samples);
    return out;
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

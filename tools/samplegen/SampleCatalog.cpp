#include "SampleCatalog.h"

namespace {

// One mid-latitude site (inclination about 56 degrees, declination a few degrees west).
constexpr Vec3 kEarth{29850.0, -1930.0, 45120.0};
constexpr double kEarthGradient = 0.6;

// The instrument's own header words; the analysis program carries them unchanged.
constexpr int32_t kWord1 = 0x0103;
constexpr int32_t kWord2 = 21407;
constexpr int32_t kWord2SecondProbe = 21562;

PileModel Pile(double radius, double top, double bottom, std::vector<double> joints,
               std::vector<CageSection> sections, double offset, double bearing, double drift)
{
    PileModel p;
    p.cageRadius = radius;
    p.cageTop = top;
    p.cageBottom = bottom;
    p.joints = std::move(joints);
    p.sections = std::move(sections);
    p.holeOffset = offset;
    p.holeBearingDeg = bearing;
    p.holeDrift = drift;
    p.earth = kEarth;
    p.earthGradientZ = kEarthGradient;
    return p;
}

}  // namespace

std::vector<SamplePlan> SampleCatalog()
{
    std::vector<SamplePlan> list;

    {
        SamplePlan s;
        s.fileName = "P01-12m.cdd";
        s.project = "GS-2024-031";
        s.site = "Riverside";
        s.pileNo = "P01";
        s.year = 2024, s.month = 3, s.day = 18;
        s.word1 = kWord1, s.word2 = kWord2;
        s.startCm = 1200, s.count = 49;
        s.secondaryStartCm = 1150, s.secondaryCount = 47;
        s.pile = Pile(0.35, 0.20, 9.00, {}, {{8, 20}}, 0.40, 30, 0.002);
        s.seed = 101;
        list.push_back(s);
    }
    {
        SamplePlan s;
        s.fileName = "P02-20m.cdd";
        s.project = "GS-2024-031";
        s.site = "Riverside";
        s.pileNo = "P02";
        s.year = 2024, s.month = 4, s.day = 2;
        s.word1 = kWord1, s.word2 = kWord2;
        s.startCm = 2000, s.count = 81;
        s.secondaryStartCm = 2000, s.secondaryCount = 81;
        s.pile = Pile(0.45, -0.60, 16.30, {8.30}, {{12, 22}, {8, 20}}, 0.60, 75, 0.002);
        s.seed = 202;
        s.savedMarkers = true;
        s.savedReport = true;
        s.designPileLength = 18.0f;
        s.engineeringName = "滨江大道桥梁桩基工程";
        s.notes = "旁孔磁测法，孔距0.6m";
        s.reportDate = "2024年4月2日";
        s.reportProject = "钢筋笼长度检测";
        s.reportSite = "滨江大道三标段";
        list.push_back(s);
    }
    {
        SamplePlan s;
        s.fileName = "P03-30m.cdd";
        s.project = "DH-07";
        s.site = "东湖新区";
        s.pileNo = "P03";
        s.year = 2024, s.month = 5, s.day = 21;
        s.word1 = kWord1, s.word2 = kWord2;
        s.startCm = 3000, s.count = 121;
        s.secondaryStartCm = 2800, s.secondaryCount = 113;
        s.pile = Pile(0.55, 0.50, 26.50, {12.50}, {{16, 25}, {12, 22}}, 0.80, 200, 0.001);
        s.seed = 303;
        list.push_back(s);
    }
    {
        SamplePlan s;
        s.fileName = "P04-45m.cdd";
        s.project = "HW-112";
        s.site = "Harbour West";
        s.pileNo = "P04";
        s.year = 2024, s.month = 6, s.day = 11;
        s.word1 = kWord1, s.word2 = kWord2;
        s.startCm = 4500, s.count = 181;
        s.secondaryStartCm = 4500, s.secondaryCount = 181;
        s.pile = Pile(0.60, -0.80, 40.50, {12.00, 24.00}, {{20, 28}, {16, 25}, {12, 22}}, 0.45, 120, 0.002);
        s.seed = 404;
        s.savedMarkers = true;
        s.savedReport = true;
        s.designPileLength = 43.0f;
        s.engineeringName = "港西码头扩建工程";
        s.notes = "两处搭接接头";
        s.reportDate = "2024-06-11";
        s.reportProject = "桩基钢筋笼检测";
        s.reportSite = "港西二号泊位";
        list.push_back(s);
    }
    {
        SamplePlan s;
        s.fileName = "P05-60m.cdd";
        s.project = "HW-112";
        s.site = "Harbour West";
        s.pileNo = "P05";
        s.year = 2024, s.month = 6, s.day = 14;
        s.word1 = kWord1, s.word2 = kWord2;
        s.startCm = 6000, s.count = 241;
        s.secondaryStartCm = 5700, s.secondaryCount = 229;
        s.pile = Pile(0.65, -0.50, 54.75, {11.50, 23.00, 34.50, 46.00},
                      {{24, 32}, {20, 28}, {16, 25}, {12, 25}, {10, 22}}, 1.00, 300, 0.003);
        s.seed = 505;
        s.savedMarkers = true;
        s.savedReport = true;
        s.designPileLength = 58.0f;
        s.engineeringName = "港西码头扩建工程";
        s.notes = "笼顶高出地面0.5m";
        s.reportDate = "2024年6月14日";
        s.reportProject = "桩基钢筋笼检测";
        s.reportSite = "港西三号泊位";
        list.push_back(s);
    }
    {
        SamplePlan s;
        s.fileName = "P06-45m-5cm.cdd";
        s.project = "南环快速路";
        s.site = "NH-K3";
        s.pileNo = "P06";
        s.year = 2024, s.month = 8, s.day = 30;
        s.word1 = kWord1, s.word2 = kWord2SecondProbe;
        s.stepCm = 5;
        s.startCm = 4500, s.count = 901;
        s.secondaryStartCm = 4300, s.secondaryCount = 861;
        s.pile = Pile(0.50, -0.50, 38.60, {10.80, 22.80}, {{16, 25}, {12, 25}, {10, 22}}, 0.35, 10, 0.001);
        s.seed = 606;
        list.push_back(s);
    }
    {
        SamplePlan s;
        s.fileName = "P07-36m.cdd";
        s.project = "GS-2024-058";
        s.site = "North Yard";
        s.pileNo = "P07";
        s.year = 2024, s.month = 9, s.day = 5;
        s.word1 = kWord1, s.word2 = kWord2SecondProbe;
        s.startCm = 3600, s.count = 145;
        s.secondaryStartCm = 0, s.secondaryCount = 0;
        s.pile = Pile(0.50, -0.70, 31.20, {15.20}, {{14, 25}, {10, 22}}, 0.70, 160, 0.002);
        s.seed = 707;
        s.lostRecords = {40};
        s.lostDepths = {97};
        s.savedMarkers = true;
        list.push_back(s);
    }
    {
        SamplePlan s;
        s.fileName = "P08-24m.cdd";
        s.project = "CX-WWTP";
        s.site = "城西污水厂";
        s.pileNo = "B-17";
        s.year = 2024, s.month = 11, s.day = 19;
        s.word1 = kWord1, s.word2 = kWord2SecondProbe;
        s.startCm = 2410, s.count = 97;
        s.secondaryStartCm = 2410, s.secondaryCount = 97;
        s.pile = Pile(0.40, -0.30, 19.80, {9.80}, {{10, 20}, {8, 18}}, 0.30, 250, 0.001);
        s.seed = 808;
        list.push_back(s);
    }
    return list;
}

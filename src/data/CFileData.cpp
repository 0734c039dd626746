#include "data/CFileData.h"

CFileData::CFileData()
    : m_raw(kMaxSamples), m_smoothed(kMaxSamples), m_depthPixels(kMaxSamples)
{
}

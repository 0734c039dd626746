#include "data/SystemConfig.h"

#include "data/ByteIO.h"
#include "data/PathUtil.h"

#include <fstream>

void LoadConfiguration(FileSlot& slot, const std::string& folder)
{
    const std::string path = JoinPath(folder, kSystemConfigName);
    {
        std::ifstream in(NativePath(path), std::ios::binary);
        if (in) {
            // A short file leaves the value it does not reach unchanged.
            unsigned char bytes[4];
            if (in.read(reinterpret_cast<char*>(bytes), 4)) {
                slot.cfgValueA = byteio::GetF32(bytes);
                if (in.read(reinterpret_cast<char*>(bytes), 4)) {
                    slot.cfgValueB = byteio::GetI32(bytes);
                }
            }
            return;
        }
    }
    slot.cfgValueA = 25.0f;
    slot.cfgValueB = 20;
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    if (!out) {
        return;
    }
    unsigned char bytes[8];
    byteio::PutI32(bytes, slot.primary.m_nStep);
    byteio::PutI32(bytes + 4, slot.cfgValueB);
    out.write(reinterpret_cast<const char*>(bytes), 8);
}

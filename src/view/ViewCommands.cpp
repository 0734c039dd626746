#include "view/ViewCommands.h"

#include "data/FileSlot.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, kMarkerSlots> kMarkerCommandIds = {32787, 32788, 32789, 32790, 32805, 32806,
                                                             32807, 32809, 32810, 32811, 32796};

}  // namespace

int cmd::MarkerCommandId(int kind)
{
    if (kind < 0 || kind >= kMarkerSlots)
        return 0;
    return kMarkerCommandIds[static_cast<std::size_t>(kind)];
}

int cmd::MarkerKindOfCommand(int commandId)
{
    const auto it = std::find(kMarkerCommandIds.begin(), kMarkerCommandIds.end(), commandId);
    return it == kMarkerCommandIds.end() ? -1 : static_cast<int>(it - kMarkerCommandIds.begin());
}

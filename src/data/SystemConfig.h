#pragma once

#include "data/FileSlot.h"

#include <string>

inline constexpr const char* kSystemConfigName = "zel.sysconfig";

// Reads the folder's configuration file into slot.cfgValueA / cfgValueB, or creates it (8 bytes:
// the primary step as int32, then 20) when it cannot be opened. Never reports a failure.
void LoadConfiguration(FileSlot& slot, const std::string& folder);

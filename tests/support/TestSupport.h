#pragma once
// Shared helpers of the Qt tests (recording paint device, scripted Prompts) live beside this file.

#pragma once

#include "report/DataPage.h"
#include "report/PrintSettings.h"

#include <array>
#include <string>
#include <vector>

// What the print settings dialog chose and the print job prints: the file names, the overflow
// lists of the second and later data pages, the job's mode, the flag that enables Print and Print
// preview, and the settings of the pages. The main frame owns one and hands it to the dialog and
// the job; orvek-cli and tests fill one of their own.
//
// File names are stored as the file system spells them (QFile::encodeName of the listed name),
// without a folder.
struct PrintSelection {
    // List k names the files that need a data page k + 2.
    static constexpr int kOverflowLists = datapage::kMaxPages - 1;

    std::vector<std::string> m_printFiles;
    std::array<std::vector<std::string>, kOverflowLists> m_overflowFiles;
    std::array<int, kOverflowLists> m_overflowCount{};
    // 1 while a real print job runs, 0 for a preview.
    int m_printMode = 0;
    // Nonzero enables Print and Print preview.
    int m_printReady = 0;
    PrintSettings m_printSettings;

    // Empties the file list and the overflow lists.
    void ClearFiles()
    {
        m_printFiles.clear();
        ClearOverflow();
    }
    void ClearOverflow()
    {
        for (auto& list : m_overflowFiles)
            list.clear();
        m_overflowCount.fill(0);
    }
};

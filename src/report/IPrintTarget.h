#pragma once

#include <array>
#include <string>
#include <vector>

// The print state the main frame keeps between the print settings dialog and the print job: the
// chosen file names, the overflow lists of the second to fifth data pages, the job's mode and
// the flag that enables Print and Print preview. The report layer reaches it only through this
// interface; the main frame implements it with its own members, orvek-cli and tests with
// PrintLists.
//
// File names are stored as the file system spells them (QFile::encodeName of the listed name),
// without a folder.
class IPrintTarget {
public:
    static constexpr int kOverflowLists = 4;

    virtual ~IPrintTarget() = default;

    virtual std::vector<std::string>& PrintFiles() = 0;
    virtual std::array<std::vector<std::string>, kOverflowLists>& OverflowFiles() = 0;
    virtual std::array<int, kOverflowLists>& OverflowCount() = 0;
    // 1 while a real print job runs, 0 for a preview.
    virtual int& PrintMode() = 0;
    // Nonzero enables Print and Print preview.
    virtual int& PrintReady() = 0;
};

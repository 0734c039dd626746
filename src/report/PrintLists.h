#pragma once

#include "report/IPrintTarget.h"

// The print state as plain members, for a caller without a main frame.
class PrintLists final : public IPrintTarget {
public:
    std::vector<std::string> m_printFiles;
    std::array<std::vector<std::string>, kOverflowLists> m_overflowFiles;
    std::array<int, kOverflowLists> m_overflowCount{};
    int m_printMode = 0;
    int m_printReady = 0;

    std::vector<std::string>& PrintFiles() override { return m_printFiles; }
    std::array<std::vector<std::string>, kOverflowLists>& OverflowFiles() override { return m_overflowFiles; }
    std::array<int, kOverflowLists>& OverflowCount() override { return m_overflowCount; }
    int& PrintMode() override { return m_printMode; }
    int& PrintReady() override { return m_printReady; }
};

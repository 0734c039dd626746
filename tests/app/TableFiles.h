#pragma once

#include "ShellFixture.h"

#include "app/CommandIds.h"
#include "data/MeasurementFile.h"

#include <QImage>

#include <memory>
#include <string>

// Measurement files of a chosen size for the table and correction tests, and the loads that
// check what ended up in them.

inline std::unique_ptr<FileSlot> LoadFile(const QString& path)
{
    auto slot = std::make_unique<FileSlot>();
    if (FullLoad(*slot, path.toStdString()) != LoadResult::Ok)
        return nullptr;
    return slot;
}

// A copy of a bundled sample cut down to its n deepest samples (n no larger than the sample's).
inline QString SampleWithCount(const ShellFixture& f, const QString& name, const QString& sample, int n)
{
    const QString path = f.Sample(name, sample);
    std::unique_ptr<FileSlot> slot = LoadFile(path);
    if (!slot || n > int(slot->primary.m_nCount))
        return QString();
    slot->primary.m_nCount = uint32_t(n);
    return DataRewrite(path.toStdString(), *slot) == WriteResult::Ok ? path : QString();
}

// A file of n made-up samples one step apart, the deepest at 0.25 (n - 1) m, with Z = 1000 + 7 i
// and a start depth of 100 m in its header.
inline QString SyntheticFile(const ShellFixture& f, const QString& name, int n)
{
    const QString path = f.Sample(name);
    std::unique_ptr<FileSlot> slot = LoadFile(path);
    if (!slot)
        return QString();
    CFileData& p = slot->primary;
    p.m_nCount = uint32_t(n);
    p.m_fStartDepth = 100.0f;
    for (int i = 0; i < n; ++i) {
        SampleRecord& s = p.m_raw[std::size_t(i)];
        s.x = i;
        s.y = -i;
        s.z = 1000 + 7 * i;
        s.depth = 0.25f * float(n - 1 - i);
    }
    return DataRewrite(path.toStdString(), *slot) == WriteResult::Ok ? path : QString();
}

// Opens path like File / Open and lets the view load it with one graph paint.
inline bool OpenAndLoad(ShellFixture& f, const QString& path)
{
    if (path.isEmpty() || !f.frame->OpenDocumentFile(path))
        return false;
    QImage client(1000, 600, QImage::Format_RGB32);
    f.View().PaintInto(client);
    return f.View().File().ScreenData().primary.m_nCount > 0 || LoadFile(path)->primary.m_nCount == 0;
}

// Switches to table mode and lets the view's paint fill the grid.
inline void ShowTable(ShellFixture& f)
{
    f.frame->OnCommand(cmd::kTableMode);
    f.PaintView();
}

// An opened file shown as a table: where the hot keys act.
inline bool OpenAsTable(ShellFixture& f, const QString& path)
{
    if (!OpenAndLoad(f, path))
        return false;
    ShowTable(f);
    return f.frame->HotKeyAllowed();
}

#include "view/DisplayedFile.h"

#include "analysis/Scales.h"
#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/SafeFile.h"
#include "data/SystemConfig.h"

#include <QFileInfo>

bool DisplayedFile::ShowsLoadedFile() const
{
    return SameFile(m_screenData.sourcePath, m_strFilePath.toStdString());
}

QString DisplayedFile::NotLoadedMessage() const
{
    if (!m_strLoadProblem.isEmpty())
        return m_strLoadProblem;
    return QString::fromUtf8(QFileInfo(m_strFilePath).isReadable() ? msg::kInvalidFile : msg::kCannotRead);
}

void DisplayedFile::Load(bool readsConfiguration, int clientWidth)
{
    if (readsConfiguration)
        LoadConfiguration(m_screenData, m_strFolder.toStdString());
    if (m_strFilePath.isEmpty())
        return;
    m_strLoadProblem.clear();
    try {
        const LoadResult result = FullLoad(m_screenData, m_strFilePath.toStdString());
        if (result == LoadResult::CannotOpen)
            m_strLoadProblem = QString::fromUtf8(msg::kCannotRead);
        else if (result != LoadResult::Ok)
            m_strLoadProblem = QString::fromUtf8(LoadResultMessage(result));
    } catch (const InvalidTestDateError&) {
        m_strLoadProblem = QString::fromUtf8(msg::kInvalidTestDate);
    }
    // What the slot still holds after a failed load belongs to the file shown before (or is half
    // read): showing it under this file's name would let the table and the tools write it here.
    if (!m_strLoadProblem.isEmpty())
        ClearLoadedData(m_screenData);
    BuildDepthPixelTable(m_screenData.primary, clientWidth);
}

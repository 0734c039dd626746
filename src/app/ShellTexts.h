#pragma once

#include <QString>

// The shell's own fixed texts (the file-level messages shared with orvek-cli live in
// data/Messages.h).
namespace texts {
inline const QString kAppTitle = QStringLiteral("Orvek 钢筋笼长度检测仪分析软件");
// Title of the main window once a file is shown; %1 is the file's full path.
inline const QString kFileTitle = QStringLiteral("%1 - 磁测仪");
inline const QString kOpenFilter = QStringLiteral(" Files (*.cdd)|*.cdd|All Files (*.*)|*.*||");
inline const QString kStoreMessage = QStringLiteral("存盘");
inline const QString kReady = QStringLiteral("就绪");
inline const QString kRecentPlaceholder = QStringLiteral("最近的文件");
inline const QString kUnsavedMarkers = QStringLiteral("标记尚未保存，是否保存？");
inline const QString kReplaceMarkers =
    QStringLiteral("已有标记。采用建议将替换底部深度并补充接头（已放置的接头级别不变），是否继续？");
// Message pane after File / Save; %1 is the file written.
inline const QString kSavedTo = QStringLiteral("标记已保存到 %1");

inline const QString kAboutTitle = QStringLiteral("关于Orvek");
inline const QString kAboutDescription = QStringLiteral("钢筋笼长度检测仪分析软件");
inline const QString kAboutVersion = QStringLiteral("版本:V1.9.0.9");
inline const QString kAboutDate = QStringLiteral("更新日期:2019年9月11日");

// Registry-era profile key the recent-file list lives under.
inline const QString kSettingsOrganisation = QStringLiteral("应用程序向导生成的本地应用程序");
inline const QString kSettingsApplication = QStringLiteral("Orvek");
}  // namespace texts

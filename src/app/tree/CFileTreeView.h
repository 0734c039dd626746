#pragma once

#include <QIcon>
#include <QString>
#include <QTreeWidget>

#include <array>

class CMainFrame;
class Prompts;

// The left pane: the measurement files of one folder under a root item named after the folder.
// The list is rebuilt only when the shell asks (it never watches the folder), and a click on a
// file makes it the displayed file.
class CFileTreeView : public QTreeWidget {
    Q_OBJECT
public:
    // Item data roles: the full path of a file item, and the indices of its two images.
    static constexpr int kPathRole = Qt::UserRole;
    static constexpr int kImageRole = Qt::UserRole + 1;
    static constexpr int kSelectedImageRole = Qt::UserRole + 2;

    enum Image { kImageFile = 0, kImageSelected = 1, kImageMarked = 2, kImageFolder = 3 };

    CFileTreeView(CMainFrame& frame, Prompts& prompts, QWidget* parent = nullptr);

    // The folder listed; set by the shell before it asks for a refill.
    QString m_strFolder;

    // Deletes every item and lists m_strFolder again.
    void Refill();

    // Makes the file of item the displayed file (the click on an item, Enter).
    void SelectFile(QTreeWidgetItem* item);
    // Highlights the item of the file at path and scrolls it into view; nothing when not listed.
    void SelectPath(const QString& path);

    QTreeWidgetItem* RootItem() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }

    // True when the file starts with the int32 value 11, the sign of a saved marker table.
    static bool HasSavedMarkers(const QString& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QIcon ItemIcon(int nImage, int nSelectedImage) const;

    CMainFrame& m_frame;
    Prompts& m_prompts;
    std::array<QIcon, 4> m_imageList;
    QTreeWidgetItem* m_pPressedItem = nullptr;
};

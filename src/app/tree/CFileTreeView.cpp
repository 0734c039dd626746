#include "app/tree/CFileTreeView.h"

#include "app/AppIcons.h"
#include "app/CMainFrame.h"
#include "app/FileChecks.h"
#include "data/Messages.h"
#include "data/PathUtil.h"
#include "view/DisplayedFile.h"
#include "view/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QtEndian>

#include <algorithm>

CFileTreeView::CFileTreeView(CMainFrame& frame, Prompts& prompts, QWidget* parent)
    : QTreeWidget(parent), m_frame(frame), m_prompts(prompts)
{
    setObjectName(QStringLiteral("fileTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The item text is the whole file name; a long one scrolls rather than being cut.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    // Every name counts, not only the first thousand of a large folder.
    header()->setResizeContentsPrecision(-1);

    const IconId images[] = {IconId::TreeFile, IconId::TreeFileSelected, IconId::TreeFileMarked,
                             IconId::TreeFolder};
    for (std::size_t i = 0; i < m_imageList.size(); ++i)
        m_imageList[i] = MakeIcon(images[i]);
}

QIcon CFileTreeView::ItemIcon(int nImage, int nSelectedImage) const
{
    QIcon icon;
    // A picture for each scale factor of a screen, so that the item stays sharp on any of them.
    for (qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        icon.addPixmap(m_imageList[std::size_t(nImage)].pixmap(QSize(16, 16), ratio), QIcon::Normal);
        icon.addPixmap(m_imageList[std::size_t(nSelectedImage)].pixmap(QSize(16, 16), ratio), QIcon::Selected);
    }
    return icon;
}

bool CFileTreeView::HasSavedMarkers(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    char bytes[4];
    if (file.read(bytes, 4) != 4)
        return false;
    return qFromLittleEndian<qint32>(bytes) == 11;
}

void CFileTreeView::Refill()
{
    m_pPressedItem = nullptr;
    clear();
    if (m_strFolder.isEmpty())
        return;

    auto* root = new QTreeWidgetItem(this, QStringList(LastComponentOf(m_strFolder)));
    root->setIcon(0, ItemIcon(kImageFolder, kImageFolder));
    root->setData(0, kImageRole, kImageFolder);
    root->setData(0, kSelectedImageRole, kImageFolder);

    // The operators' folders come from Windows, which matches "*.cdd" whatever the case and hands
    // the names back in name order; readdir order on other systems is arbitrary, so sort.
    QStringList names;
    const QDir dir(m_strFolder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted))
        if (HasCddExtension(name.toStdString()))
            names.append(name);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });

    for (const QString& name : names) {
        const QString path = QString::fromStdString(JoinPath(m_strFolder.toStdString(), name.toStdString()));
        const int selected = HasSavedMarkers(path) ? kImageMarked : kImageSelected;
        auto* item = new QTreeWidgetItem(root, QStringList(name));
        item->setIcon(0, ItemIcon(kImageFile, selected));
        item->setData(0, kPathRole, path);
        item->setData(0, kImageRole, kImageFile);
        item->setData(0, kSelectedImageRole, selected);
    }
    root->setExpanded(true);
}

void CFileTreeView::SelectFile(QTreeWidgetItem* item)
{
    if (!item || !item->parent())
        return;
    const QString path = item->data(0, kPathRole).toString();
    if (!IsReadableNonEmpty(path)) {
        m_prompts.Message(QString::fromUtf8(msg::kCannotRead));
        SelectPath(m_frame.ShownFile().FilePath());
        return;
    }
    if (!m_frame.MayDropMarkers()) {
        SelectPath(m_frame.ShownFile().FilePath());
        return;
    }
    m_frame.ShowChosenFile(path, CMainFrame::Origin::Tree);
}

void CFileTreeView::SelectPath(const QString& path)
{
    QTreeWidgetItem* root = RootItem();
    if (!root || path.isEmpty())
        return;
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* item = root->child(i);
        if (QFileInfo(item->data(0, kPathRole).toString()).absoluteFilePath() == wanted) {
            setCurrentItem(item);
            scrollToItem(item);
            return;
        }
    }
    clearSelection();
}

void CFileTreeView::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the highlighted file as a click would; moving the highlight alone does not.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) {
        SelectFile(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// Only a left click chooses a file; keys, double clicks and expansion leave the display alone.
void CFileTreeView::mousePressEvent(QMouseEvent* event)
{
    m_pPressedItem = event->button() == Qt::LeftButton ? itemAt(event->position().toPoint()) : nullptr;
    QTreeWidget::mousePressEvent(event);
}

void CFileTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidgetItem* pressed = m_pPressedItem;
    m_pPressedItem = nullptr;
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressed)
        return;
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item == pressed)
        SelectFile(item);
}

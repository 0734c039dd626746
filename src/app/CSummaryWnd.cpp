#include "app/CSummaryWnd.h"

#include "data/Messages.h"
#include "report/PrintJob.h"
#include "report/SummaryWorkbooks.h"
#include "view/Prompts.h"

#include <QDate>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace {

constexpr int kSortRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;

const QString kCageTopKey = QStringLiteral("Summary/CageTop");
const QString kToleranceKey = QStringLiteral("Summary/Tolerance");

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string PathText(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QPair<qint64, qint64> StampOf(const std::string& path)
{
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(path)));
    return {info.lastModified().toMSecsSinceEpoch(), info.size()};
}

QDoubleSpinBox* MetresBox(double minimum, double maximum, double value, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setDecimals(2);
    box->setSingleStep(0.01);
    box->setSuffix(QStringLiteral(" m"));
    box->setValue(value);
    return box;
}

// Where a check text calls for the operator's eye.
QColor CheckColour(const SummaryRow& row)
{
    if (!row.loaded)
        return QColor(255, 170, 170);
    if (row.check == kCheckUnmarked)
        return QColor(255, 235, 156);
    if (!row.check.empty())
        return QColor(255, 199, 140);
    return QColor();
}

}  // namespace

CSummaryWnd::CSummaryWnd(Prompts& prompts, OpenFile openFile, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompts(prompts), m_openFile(std::move(openFile))
{
    setObjectName(QStringLiteral("summaryWnd"));
    const QSettings settings;
    m_pCageTop = MetresBox(-100.0, 100.0, settings.value(kCageTopKey, 0.0).toDouble(), this);
    m_pCageTop->setObjectName(QStringLiteral("cageTop"));
    m_pTolerance = MetresBox(0.0, 10.0, settings.value(kToleranceKey, 0.10).toDouble(), this);
    m_pTolerance->setObjectName(QStringLiteral("tolerance"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("笼顶深度："), this));
    bar->addWidget(m_pCageTop);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(QStringLiteral("允许偏差："), this));
    bar->addWidget(m_pTolerance);
    bar->addStretch(1);
    const auto button = [this, bar](const QString& text, const char* name, void (CSummaryWnd::*slot)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
    };
    button(QStringLiteral("导出CSV…"), "exportCsv", &CSummaryWnd::OnExportCsv);
    button(QStringLiteral("导出Excel…"), "exportExcel", &CSummaryWnd::OnExportExcel);
    button(QStringLiteral("导出PDF…"), "exportPdf", &CSummaryWnd::OnExportPdf);
    button(QStringLiteral("打印…"), "print", &CSummaryWnd::OnPrint);

    m_pModel = new QStandardItemModel(0, int(kSummaryColumns), this);
    for (std::size_t c = 0; c < kSummaryColumns; ++c)
        m_pModel->setHeaderData(int(c), Qt::Horizontal, QString::fromUtf8(kSummaryHeadings[c]));
    m_pSorted = new QSortFilterProxyModel(this);
    m_pSorted->setSourceModel(m_pModel);
    m_pSorted->setSortRole(kSortRole);
    m_pTable = new QTableView(this);
    m_pTable->setObjectName(QStringLiteral("summaryTable"));
    m_pTable->setModel(m_pSorted);
    m_pTable->setSortingEnabled(true);
    m_pTable->sortByColumn(int(SummaryColumn::PileNo), Qt::AscendingOrder);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->setDefaultSectionSize(m_pTable->fontMetrics().height() + 6);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->horizontalHeader()->setResizeContentsPrecision(200);
    connect(m_pTable, &QTableView::doubleClicked, this, &CSummaryWnd::OnRowActivated);

    m_pStatus = new QLabel(this);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("progress"));
    m_pProgress->hide();
    auto* foot = new QHBoxLayout;
    foot->addWidget(m_pStatus, 1);
    foot->addWidget(m_pProgress);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_pTable, 1);
    layout->addLayout(foot);

    m_pPoll = new QTimer(this);
    m_pPoll->setInterval(50);
    connect(m_pPoll, &QTimer::timeout, this, &CSummaryWnd::OnPollWorker);
    // A save arrives as a few changes of the folder (a temporary file, then its rename).
    m_pSettle = new QTimer(this);
    m_pSettle->setSingleShot(true);
    m_pSettle->setInterval(150);
    connect(m_pSettle, &QTimer::timeout, this, &CSummaryWnd::OnFolderChanged);
    m_pWatcher = new QFileSystemWatcher(this);
    connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, m_pSettle, qOverload<>(&QTimer::start));

    connect(m_pCageTop, &QDoubleSpinBox::valueChanged, this, &CSummaryWnd::OnSettingsChanged);
    connect(m_pTolerance, &QDoubleSpinBox::valueChanged, this, &CSummaryWnd::OnSettingsChanged);
    resize(1280, 640);
}

CSummaryWnd::~CSummaryWnd()
{
    m_bCancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

CSummaryWnd* CSummaryWnd::ShowFor(QWidget& parent, const QString& folder, Prompts& prompts, OpenFile openFile)
{
    auto* wnd = parent.findChild<CSummaryWnd*>(QString(), Qt::FindDirectChildrenOnly);
    if (!wnd)
        wnd = new CSummaryWnd(prompts, std::move(openFile), &parent);
    if (wnd->Folder() != folder || wnd->Rows().empty())
        wnd->ShowFolder(folder);
    wnd->show();
    wnd->raise();
    wnd->activateWindow();
    return wnd;
}

SummarySettings CSummaryWnd::Settings() const
{
    return {m_pCageTop->value(), m_pTolerance->value()};
}

void CSummaryWnd::ShowFolder(const QString& folder)
{
    // Rows of the folder shown before must not arrive after the new folder's.
    m_bCancel = true;
    if (m_worker.joinable())
        m_worker.join();
    m_pPoll->stop();
    m_workerRows.clear();
    m_bRereadPending = false;
    if (!m_pWatcher->directories().isEmpty())
        m_pWatcher->removePaths(m_pWatcher->directories());
    m_strFolder = folder;
    setWindowTitle(QStringLiteral("检测结果汇总 - ") + QDir::toNativeSeparators(folder));
    m_rows.clear();
    m_stamps.clear();
    m_bFitColumns = true;
    FillModel();
    m_pWatcher->addPath(folder);
    m_bFullRead = true;
    StartReading(CddFilesIn(PathText(folder)));
}

void CSummaryWnd::StartReading(std::vector<std::string> paths)
{
    if (IsFilling()) {
        m_bRereadPending = true;
        return;
    }
    for (const std::string& path : paths)
        m_stamps.insert(QString::fromStdString(path), StampOf(path));
    m_workerPaths = std::move(paths);
    m_nDone = 0;
    m_bWorkerFinished = false;
    m_bCancel = false;
    m_pProgress->setRange(0, int(m_workerPaths.size()));
    m_pProgress->setValue(0);
    m_pProgress->show();
    m_pStatus->setText(QStringLiteral("正在读取 %1 个文件…").arg(m_workerPaths.size()));
    const SummarySettings settings = Settings();
    const int jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    m_worker = std::thread([this, settings, jobs] {
        m_workerRows = SummariseFiles(m_workerPaths, settings, jobs, &m_nDone, &m_bCancel);
        m_bWorkerFinished = true;
    });
    m_pPoll->start();
}

void CSummaryWnd::OnPollWorker()
{
    m_pProgress->setValue(int(m_nDone.load()));
    if (!m_bWorkerFinished)
        return;
    m_pPoll->stop();
    m_worker.join();
    if (m_bFullRead) {
        m_rows = std::move(m_workerRows);
    } else {
        for (SummaryRow& fresh : m_workerRows) {
            auto same =
                std::find_if(m_rows.begin(), m_rows.end(), [&](const SummaryRow& r) { return r.path == fresh.path; });
            if (same != m_rows.end())
                *same = std::move(fresh);
            else
                m_rows.push_back(std::move(fresh));
        }
    }
    m_workerRows.clear();
    m_bFullRead = false;
    // The settings may have changed while the files were read.
    const SummarySettings settings = Settings();
    for (SummaryRow& row : m_rows)
        ApplySummarySettings(row, settings);
    SortSummaryRows(m_rows);
    m_pProgress->hide();
    FillModel();
    if (m_bRereadPending) {
        m_bRereadPending = false;
        OnFolderChanged();
    }
}

void CSummaryWnd::OnFolderChanged()
{
    if (m_strFolder.isEmpty())
        return;
    if (IsFilling()) {
        m_bRereadPending = true;
        return;
    }
    const std::vector<std::string> files = CddFilesIn(PathText(m_strFolder));
    std::vector<std::string> changed;
    for (const std::string& path : files) {
        const auto known = m_stamps.constFind(QString::fromStdString(path));
        if (known == m_stamps.cend() || *known != StampOf(path))
            changed.push_back(path);
    }
    const std::unordered_set<std::string> present(files.begin(), files.end());
    const auto gone = std::erase_if(m_rows, [&](const SummaryRow& r) { return !present.contains(r.path); });
    if (gone)
        FillModel();
    if (!changed.empty())
        StartReading(std::move(changed));
}

void CSummaryWnd::OnSettingsChanged()
{
    QSettings settings;
    settings.setValue(kCageTopKey, m_pCageTop->value());
    settings.setValue(kToleranceKey, m_pTolerance->value());
    const SummarySettings s = Settings();
    for (SummaryRow& row : m_rows)
        ApplySummarySettings(row, s);
    FillModel();
}

void CSummaryWnd::FillModel()
{
    // The items go in with the view detached and the table is sorted once: item by item through
    // the view would take seconds for a large site. Detaching resets the header, so its state is
    // put back afterwards.
    QHeaderView* header = m_pTable->horizontalHeader();
    const int sortColumn = header->sortIndicatorSection();
    const Qt::SortOrder sortOrder = header->sortIndicatorOrder();
    QList<int> widths;
    for (int c = 0; c < header->count(); ++c)
        widths.append(header->sectionSize(c));
    m_pSorted->setSourceModel(nullptr);
    m_pModel->setRowCount(0);
    m_pModel->setRowCount(int(m_rows.size()));
    const double none = -std::numeric_limits<double>::max();
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const SummaryRow& row = m_rows[r];
        const auto cells = SummaryCells(row);
        for (std::size_t c = 0; c < kSummaryColumns; ++c) {
            const auto column = SummaryColumn(c);
            auto* item = new QStandardItem(FromUtf8(cells[c]));
            if (column == SummaryColumn::PileNo)
                item->setData(int(r), kSortRole);  // the rows are in natural pile order already
            else if (IsNumberColumn(column))
                item->setData(cells[c].empty() ? none : std::strtod(cells[c].c_str(), nullptr), kSortRole);
            else
                item->setData(item->text(), kSortRole);
            if (IsNumberColumn(column))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (column == SummaryColumn::Check && CheckColour(row).isValid())
                item->setBackground(CheckColour(row));
            if (column == SummaryColumn::Conclusion && row.conclusion == kConclusionNotMet)
                item->setForeground(QColor(192, 0, 0));
            if (column == SummaryColumn::File)
                item->setData(QString::fromStdString(row.path), kPathRole);
            m_pModel->setItem(int(r), int(c), item);
        }
    }
    m_pSorted->setSourceModel(m_pModel);
    m_pTable->sortByColumn(sortColumn, sortOrder);
    // Widths follow the contents once per folder; afterwards they stay as the operator left them.
    if (m_bFitColumns && !m_rows.empty()) {
        m_pTable->resizeColumnsToContents();
        m_bFitColumns = false;
    } else {
        for (int c = 0; c < widths.size() && c < header->count(); ++c)
            header->resizeSection(c, widths[c]);
    }
    const auto unread = std::count_if(m_rows.begin(), m_rows.end(), [](const SummaryRow& r) { return !r.loaded; });
    m_pStatus->setText(unread ? QStringLiteral("共 %1 个文件，%2 个无法读取").arg(m_rows.size()).arg(unread)
                              : QStringLiteral("共 %1 个文件").arg(m_rows.size()));
}

void CSummaryWnd::OnRowActivated(const QModelIndex& index)
{
    const QModelIndex source = m_pSorted->mapToSource(index);
    const QString path = m_pModel->item(source.row(), int(SummaryColumn::File))->data(kPathRole).toString();
    if (path.isEmpty() || !m_openFile)
        return;
    m_openFile(path);
    if (QWidget* frame = parentWidget()) {
        frame->raise();
        frame->activateWindow();
    }
}

QString CSummaryWnd::ExportPath(const QString& filter, const QString& suffix)
{
    Prompts::FileRequest request;
    request.filter = filter;
    request.defaultSuffix = suffix;
    request.initialPath = QDir(m_strFolder).filePath(QStringLiteral("检测结果汇总.") + suffix);
    request.confirmOverwrite = true;
    return m_prompts.SaveFileName(request).path;
}

SummaryDocument CSummaryWnd::Document() const
{
    SummaryDocument doc;
    doc.title = FromUtf8(SummaryTitle(m_rows, PathText(QDir(m_strFolder).dirName())));
    doc.rule = FromUtf8(SummaryRuleText(Settings()));
    doc.printDate = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    doc.rows = &m_rows;
    return doc;
}

void CSummaryWnd::Export(const QString& filter, const QString& suffix,
                         const std::function<bool(const QString& path)>& write)
{
    const QString path = ExportPath(filter, suffix);
    if (path.isEmpty())
        return;
    if (write(path))
        m_prompts.Message(QString::fromUtf8(msg::kSaved), Prompts::Kind::Information);
    else
        m_prompts.Message(QString::fromUtf8(msg::kCannotCreate));
}

void CSummaryWnd::OnExportCsv()
{
    Export(QStringLiteral("CSV 文件 (*.csv)|*.csv||"), QStringLiteral("csv"),
           [this](const QString& path) { return WriteSummaryCsv(PathText(path), m_rows); });
}

void CSummaryWnd::OnExportExcel()
{
    Export(QStringLiteral("Excel 工作簿 (*.xlsx)|*.xlsx|Excel 97-2003 工作簿 (*.xls)|*.xls||"), QStringLiteral("xlsx"),
           [this](const QString& path) {
               return path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive)
                          ? WriteSummaryXls(PathText(path), m_rows)
                          : WriteSummaryXlsx(PathText(path), m_rows);
           });
}

void CSummaryWnd::OnExportPdf()
{
    Export(QStringLiteral("PDF 文件 (*.pdf)|*.pdf||"), QStringLiteral("pdf"),
           [this](const QString& path) { return WriteSummaryPdf(path, Document()); });
}

void CSummaryWnd::OnPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    PrintJob::PreparePrinter(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PaintSummaryPages(Document(), printer))
        m_prompts.Message(QString::fromUtf8(msg::kCannotCreate));
}

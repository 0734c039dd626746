#include "report/CPrintSetDlg.h"

#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/PathUtil.h"
#include "report/PrintSelection.h"
#include "report/PrintSettings.h"
#include "report/ReportFields.h"
#include "view/CDrawCanvas.h"
#include "view/Prompts.h"
#include "view/TextU16.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using D = CPrintSetDlg;

// The report fields: the control (a line or a multi-line edit; ControlText and SetControlText
// read either), the member UpdateData copies it into, the report-block value it shows and saves,
// and its place among the printed texts (-1: not printed).
struct ReportField {
    int id;
    QString CPrintSetDlg::*member;
    std::u16string ReportTexts::*value;
    int printed;
};

const ReportField kReportFields[] = {
    {D::IDC_ENGINEERING_NAME, &D::m_strEngineeringName, &ReportTexts::engineeringName, 0},
    {D::IDC_NOTES, &D::m_strNotes, &ReportTexts::notes, 1},
    {D::IDC_DESIGN_PILE, &D::m_strDesignPile, &ReportTexts::designPileLength, 2},
    {D::IDC_DESIGN_CAGE, &D::m_strDesignCage, &ReportTexts::designCageLength, 3},
    {D::IDC_DATE, &D::m_strDate, &ReportTexts::date, 4},
    {D::IDC_PILE_NO, &D::m_strPileNo, &ReportTexts::pileNo, 5},
    {D::IDC_DETECTED_LENGTH, &D::m_strDetectedLength, &ReportTexts::detectedLength, 6},
    {D::IDC_START_DEPTH, &D::m_strStartDepth, &ReportTexts::startDepth, 7},
    {D::IDC_PROJECT, &D::m_strProject, &ReportTexts::project, -1},
    {D::IDC_SITE, &D::m_strSite, &ReportTexts::site, -1},
};

std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Index of the last path separator, as the folder rules of the program read a path.
qsizetype LastSeparatorIndex(const QString& path)
{
#ifdef _WIN32
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
#else
    return path.lastIndexOf(QLatin1Char('/'));
#endif
}

// The list box sorts like the operators' Windows list boxes: without regard to case.
bool ListOrder(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void CollectLeaves(const QTreeWidgetItem* item, QStringList& names)
{
    if (item->childCount() == 0) {
        names.append(item->text(0));
        return;
    }
    for (int i = 0; i < item->childCount(); ++i)
        CollectLeaves(item->child(i), names);
}

}  // namespace

CPrintSetDlg::CPrintSetDlg(CDrawCanvas& view, PrintSelection& selection, const QStringList& treeFiles, Prompts& prompts,
                           QWidget* parent)
    : QDialog(parent), m_dataSlot(std::make_unique<FileSlot>()), m_view(view), m_selection(selection),
      m_prompts(prompts)
{
    CreateControls();
    InitDialog(treeFiles);
}

CPrintSetDlg::~CPrintSetDlg() = default;

QStringList CPrintSetDlg::TreeLeafNames(const QTreeWidget& tree)
{
    QStringList names;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        CollectLeaves(tree.topLevelItem(i), names);
    return names;
}

void CPrintSetDlg::CreateControls()
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("打印设置"));

    auto named = [](auto* widget, int id) {
        widget->setObjectName(QString::number(id));
        return widget;
    };
    auto edit = [&](int id) { return named(new QLineEdit(this), id); };

    m_pTitleCheck = named(new QCheckBox(QStringLiteral("工程名称"), this), IDC_TITLE_CHECK);
    m_pEngineeringName = edit(IDC_ENGINEERING_NAME);
    m_pProject = edit(IDC_PROJECT);
    m_pSite = edit(IDC_SITE);
    m_pPileNo = edit(IDC_PILE_NO);
    m_pDetectedLength = edit(IDC_DETECTED_LENGTH);
    m_pStartDepth = edit(IDC_START_DEPTH);
    m_pStartDepth->setReadOnly(true);
    m_pDesignCage = edit(IDC_DESIGN_CAGE);
    m_pDesignPile = edit(IDC_DESIGN_PILE);
    m_pDate = edit(IDC_DATE);
    m_pNotes = named(new QTextEdit(this), IDC_NOTES);
    m_pNotes->setAcceptRichText(false);
    // Tab goes on to the next control, so that the buttons below can be reached from the
    // keyboard; Ctrl+Tab types a tab.
    m_pNotes->setTabChangesFocus(true);
    auto* typeTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), m_pNotes);
    typeTab->setContext(Qt::WidgetShortcut);
    connect(typeTab, &QShortcut::activated, m_pNotes, [this] { m_pNotes->insertPlainText(QStringLiteral("\t")); });
    m_pCurrentFile = named(new QLabel(this), IDC_CURRENT_FILE);
    m_pFileList = named(new QListWidget(this), IDC_FILE_LIST);
    m_pFileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pSelectAll = named(new QCheckBox(QStringLiteral("全选"), this), IDC_SELECT_ALL);
    m_pPrintWave = named(new QCheckBox(QStringLiteral("打印波形"), this), IDC_PRINT_WAVE);
    m_pPrintData = named(new QCheckBox(QStringLiteral("打印数据"), this), IDC_PRINT_DATA);
    m_pSave = named(new QPushButton(QStringLiteral("保  存"), this), IDC_SAVE);
    m_pOk = named(new QPushButton(QStringLiteral("确定"), this), IDC_OK);
    m_pCancel = named(new QPushButton(QStringLiteral("取消"), this), IDC_CANCEL);
    m_pOk->setDefault(true);
    m_pSave->setAutoDefault(false);

    auto* report = new QGroupBox(QStringLiteral("选中文件打印设置信息"), this);
    auto* grid = new QGridLayout(report);
    int row = 0;
    auto addRow = [&](QWidget* label, QWidget* field, const QString& unit = QString()) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (!unit.isEmpty())
            grid->addWidget(new QLabel(unit, report), row, 2);
        ++row;
    };
    auto label = [&](const char16_t* text) { return new QLabel(QString::fromUtf16(text), report); };
    addRow(m_pTitleCheck, m_pEngineeringName);
    addRow(label(u"项目"), m_pProject);
    addRow(label(u"工地"), m_pSite);
    addRow(label(u"桩号"), m_pPileNo);
    addRow(label(u"检测长度"), m_pDetectedLength, QStringLiteral("m"));
    addRow(label(u"起点深度"), m_pStartDepth, QStringLiteral("m"));
    addRow(label(u"设计笼长"), m_pDesignCage, QStringLiteral("m"));
    addRow(label(u"设计桩长"), m_pDesignPile, QStringLiteral("m"));
    addRow(label(u"时间"), m_pDate);
    grid->addWidget(label(u"(时间格式：2000-1-1)"), row++, 1);
    addRow(label(u"其他说明"), m_pNotes);
    addRow(label(u"当前文件"), m_pCurrentFile);

    auto* choice = new QGroupBox(QStringLiteral("打印选择"), this);
    auto* files = new QGroupBox(QStringLiteral("文件选择"), choice);
    auto* filesLayout = new QVBoxLayout(files);
    filesLayout->addWidget(m_pFileList);
    filesLayout->addWidget(m_pSelectAll);
    auto* kinds = new QGroupBox(QStringLiteral("类型选择"), choice);
    auto* kindsLayout = new QVBoxLayout(kinds);
    kindsLayout->addWidget(m_pPrintWave);
    kindsLayout->addWidget(m_pPrintData);
    auto* choiceLayout = new QVBoxLayout(choice);
    choiceLayout->addWidget(files, 1);
    choiceLayout->addWidget(kinds);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pSave);
    buttons->addStretch(1);
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);

    auto* columns = new QHBoxLayout;
    columns->addWidget(report, 3);
    columns->addWidget(choice, 2);
    auto* main = new QVBoxLayout(this);
    main->addLayout(columns);
    main->addLayout(buttons);

    connect(m_pTitleCheck, &QCheckBox::clicked, this, &CPrintSetDlg::OnTitleCheckClicked);
    connect(m_pSelectAll, &QCheckBox::clicked, this, &CPrintSetDlg::OnSelectAllClicked);
    connect(m_pFileList, &QListWidget::itemSelectionChanged, this, &CPrintSetDlg::OnSelectionChanged);
    connect(m_pSave, &QPushButton::clicked, this, &CPrintSetDlg::OnSave);
    connect(m_pOk, &QPushButton::clicked, this, &CPrintSetDlg::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CPrintSetDlg::InitDialog(const QStringList& treeFiles)
{
    m_pEngineeringName->setMaxLength(kEngineeringNameLimit);

    const DisplayedFile& shown = m_view.File();
    const QString& filePath = shown.FilePath();
    bool filled = !filePath.isEmpty() && ReadDataSlot(filePath);
    if (!filled && shown.ShowsLoadedFile()) {
        // The file on display can no longer be read: show what the view holds of it - never what
        // it holds of another file.
        *m_dataSlot = shown.ScreenData();
        filled = true;
    }
    if (filePath.isEmpty())
        m_strSelectedProblem = QString::fromUtf8(msg::kCannotRead);
    // A file that cannot be read leaves the fields empty, as selecting it in the list does.
    if (filled || filePath.isEmpty())
        ShowReportTexts(FillReportFields(*m_dataSlot));

    m_pTitleCheck->setChecked(true);
    m_pEngineeringName->setEnabled(true);
    m_pPrintWave->setChecked(true);
    m_pPrintData->setChecked(false);
    m_pSelectAll->setChecked(false);

    QStringList names = treeFiles;
    std::stable_sort(names.begin(), names.end(), ListOrder);
    {
        const QSignalBlocker blocker(m_pFileList);
        m_pFileList->clear();
        for (const QString& name : names) {
            auto* item = new QListWidgetItem(name, m_pFileList);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    }

    const qsizetype separator = LastSeparatorIndex(filePath);
    if (separator > 0)
        m_strCurrentName = filePath.mid(separator + 1);
    for (int i = 0; i < m_pFileList->count(); ++i) {
        if (QString::compare(m_pFileList->item(i)->text(), m_strCurrentName, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker blocker(m_pFileList);
            m_pFileList->setCurrentRow(i);
            m_pCurrentFile->setText(m_strCurrentName);
            break;
        }
    }

    m_strSelectedPath = filePath;

    m_selection.ClearFiles();
    UpdateData();
}

QWidget* CPrintSetDlg::Control(int id) const
{
    return findChild<QWidget*>(QString::number(id));
}

QString CPrintSetDlg::ControlText(int id) const
{
    QWidget* control = Control(id);
    if (auto* line = qobject_cast<QLineEdit*>(control))
        return line->text();
    if (auto* text = qobject_cast<QTextEdit*>(control))
        return text->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    return QString();
}

void CPrintSetDlg::SetControlText(int id, const QString& text)
{
    QWidget* control = Control(id);
    if (auto* line = qobject_cast<QLineEdit*>(control))
        line->setText(text);
    else if (auto* edit = qobject_cast<QTextEdit*>(control))
        edit->setPlainText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

void CPrintSetDlg::UpdateData()
{
    for (const ReportField& field : kReportFields)
        this->*field.member = ControlText(field.id);
}

void CPrintSetDlg::ClearReportFields()
{
    for (const ReportField& field : kReportFields)
        SetControlText(field.id, QString());
}

void CPrintSetDlg::ShowReportTexts(const ReportTexts& t)
{
    for (const ReportField& field : kReportFields)
        SetControlText(field.id, FromU16(t.*field.value));
}

bool CPrintSetDlg::ReadDataSlot(const QString& path)
{
    LoadResult result = LoadResult::CannotOpen;
    try {
        result = HeaderLoad(*m_dataSlot, FileSystemPath(path));
    } catch (const InvalidTestDateError&) {
    }
    if (result == LoadResult::Empty)
        m_prompts.Message(QString::fromUtf8(msg::kInvalidFile));
    m_strSelectedProblem.clear();
    if (result != LoadResult::Ok) {
        *m_dataSlot = FileSlot{};
        m_strSelectedProblem = QString::fromUtf8(result == LoadResult::CannotOpen ? msg::kCannotRead : msg::kInvalidFile);
    }
    return result == LoadResult::Ok;
}

void CPrintSetDlg::OnSelectionChanged()
{
    ClearReportFields();
    const QList<QListWidgetItem*> selected = m_pFileList->selectedItems();
    const QString name = selected.isEmpty() ? QString() : selected.front()->text();
    m_pCurrentFile->setText(selected.isEmpty() ? QStringLiteral("未知文件") : name);
    m_strSelectedPath = m_view.File().Folder() + QLatin1Char(kPathSeparator) + name;
    // A file that cannot be read leaves the fields empty rather than show another file's values.
    const bool read = !selected.isEmpty() && ReadDataSlot(m_strSelectedPath);
    if (selected.isEmpty())
        m_strSelectedProblem = QString::fromUtf8(msg::kCannotRead);
    {
        const QSignalBlocker blocker(m_pTitleCheck);
        m_pTitleCheck->setChecked(true);
    }
    if (read)
        ShowReportTexts(FillReportFields(*m_dataSlot));
}

void CPrintSetDlg::OnTitleCheckClicked()
{
    m_pEngineeringName->setEnabled(m_pTitleCheck->isChecked());
}

void CPrintSetDlg::OnSelectAllClicked()
{
    const Qt::CheckState state = m_pSelectAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < m_pFileList->count(); ++i)
        m_pFileList->item(i)->setCheckState(state);
}

void CPrintSetDlg::OnSave()
{
    UpdateData();
    if (!m_strSelectedProblem.isEmpty()) {
        m_prompts.Message(m_strSelectedProblem);
        return;
    }
    ReportTexts texts;
    for (const ReportField& field : kReportFields)
        texts.*field.value = (this->*field.member).toStdU16String();

    const WriteResult result = ReportSave(FileSystemPath(m_strSelectedPath), texts);
    if (result != WriteResult::Ok) {
        m_prompts.Message(QString::fromUtf8(WriteResultMessage(result)));
        return;
    }
    // The displayed file changed on disk: its header values are shown again from the file.
    const QString& shownPath = m_view.File().FilePath();
    if (!shownPath.isEmpty() && m_strSelectedPath == shownPath)
        m_view.RequestReload(CDrawCanvas::Reload::Once);
    m_prompts.Message(QString::fromUtf8(msg::kSaved), Prompts::Kind::Information);
}

PrintSettings CPrintSetDlg::SettingsFromControls() const
{
    PrintSettings s;
    s.printTitle = m_pTitleCheck->isChecked() ? 1 : 0;
    s.printWave = m_pPrintWave->isChecked() ? 1 : 0;
    s.printTable = m_pPrintData->isChecked() ? 1 : 0;
    for (const ReportField& field : kReportFields) {
        // Without the title box the engineering name is not printed.
        if (field.printed >= 0 && (s.printTitle || field.id != IDC_ENGINEERING_NAME))
            s.texts[std::size_t(field.printed)] = ControlText(field.id);
    }
    return s;
}

void CPrintSetDlg::OnOK()
{
    std::vector<std::string>& files = m_selection.m_printFiles;
    for (int i = 0; i < m_pFileList->count(); ++i) {
        const QListWidgetItem* item = m_pFileList->item(i);
        if (item->checkState() == Qt::Checked)
            files.push_back(QFile::encodeName(item->text()).toStdString());
    }
    m_selection.m_printReady = files.empty() ? 0 : 1;
    m_selection.m_printSettings = SettingsFromControls();
    UpdateData();
    accept();
}

#include "TImportCsvForm.h"

#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"
#include "document/core/ListDocument.h"
#include "import/core/ImportCommand.h"
#include "import/gui/ImportProgressDialog.h"
#include "listfile/core/ListFileCommands.h"
#include "listfile/core/TemplateLists.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileDialogService.h"
#include "platform/core/MessageService.h"
#include "platform/gui/FontFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quorvex {

namespace {

QString utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString kindCaption(const TemplateLists::Kind &kind)
{
    QString name = QString::fromUtf8(kind.fileName);
    if (name.endsWith(QStringLiteral(".lst")))
        name.chop(4);
    return name + QStringLiteral(" list");
}

QString encodingName(CsvEncoding e)
{
    switch (e) {
    case CsvEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case CsvEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case CsvEncoding::Latin1:
        return QStringLiteral("ISO-8859-1");
    case CsvEncoding::Utf16:
        return QStringLiteral("UTF-16");
    case CsvEncoding::Detect:
        break;
    }
    return QString();
}

QString separatorName(char c)
{
    return c == '\t' ? QStringLiteral("tab") : c == ';' ? QStringLiteral("semicolon") : QStringLiteral("comma");
}

// Destination box items: data is kind * 100 + template column.
int destinationCode(const CsvDestination &d) { return static_cast<int>(d.kind) * 100 + d.column; }
CsvDestination destinationOf(int code)
{
    return CsvDestination{static_cast<CsvDestination::Kind>(code / 100), code % 100};
}

} // namespace

TImportCsvForm::TImportCsvForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TImportCsvForm"));
    FontFit::install(this);
    setWindowTitle(QStringLiteral("Import CSV Text"));
    setModal(true);
    resize(760, 560);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_EncodingBox = new QComboBox(this);
    m_EncodingBox->setObjectName(QStringLiteral("EncodingBox"));
    m_EncodingBox->addItem(QStringLiteral("Detected"), static_cast<int>(CsvEncoding::Detect));
    for (CsvEncoding e : {CsvEncoding::Utf8, CsvEncoding::Windows1252, CsvEncoding::Latin1, CsvEncoding::Utf16})
        m_EncodingBox->addItem(encodingName(e), static_cast<int>(e));
    form->addRow(QStringLiteral("&Encoding:"), m_EncodingBox);
    m_SeparatorBox = new QComboBox(this);
    m_SeparatorBox->setObjectName(QStringLiteral("SeparatorBox"));
    m_SeparatorBox->addItem(QStringLiteral("Detected"), static_cast<int>(CsvSeparator::Detect));
    m_SeparatorBox->addItem(QStringLiteral("Tab"), static_cast<int>(CsvSeparator::Tab));
    m_SeparatorBox->addItem(QStringLiteral("Comma"), static_cast<int>(CsvSeparator::Comma));
    m_SeparatorBox->addItem(QStringLiteral("Semicolon"), static_cast<int>(CsvSeparator::Semicolon));
    form->addRow(QStringLiteral("&Separator:"), m_SeparatorBox);
    m_HeaderChkBox = new QCheckBox(QStringLiteral("First row holds the column &headers"), this);
    m_HeaderChkBox->setObjectName(QStringLiteral("HeaderChkBox"));
    m_HeaderChkBox->setChecked(true);
    form->addRow(QString(), m_HeaderChkBox);
    m_ListTypeBox = new QComboBox(this);
    m_ListTypeBox->setObjectName(QStringLiteral("ListTypeBox"));
    for (const TemplateLists::Kind &kind : TemplateLists::kinds())
        m_ListTypeBox->addItem(kindCaption(kind), QString::fromUtf8(kind.listType));
    m_ListTypeBox->setCurrentIndex(m_ListTypeBox->findData(QStringLiteral("dvdmovie")));
    form->addRow(QStringLiteral("List &type:"), m_ListTypeBox);
    layout->addLayout(form);

    layout->addWidget(new QLabel(QStringLiteral("Where each column of the text goes:"), this));
    m_ColumnsGrid = new QTableWidget(this);
    m_ColumnsGrid->setObjectName(QStringLiteral("ColumnsGrid"));
    m_ColumnsGrid->setColumnCount(3);
    m_ColumnsGrid->setHorizontalHeaderLabels(
        {QStringLiteral("Column of the text"), QStringLiteral("First value"), QStringLiteral("Goes to")});
    m_ColumnsGrid->horizontalHeader()->setStretchLastSection(true);
    m_ColumnsGrid->verticalHeader()->setVisible(false);
    m_ColumnsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ColumnsGrid->setMaximumHeight(170);
    layout->addWidget(m_ColumnsGrid);

    layout->addWidget(new QLabel(QStringLiteral("Preview of the new list (first 50 rows):"), this));
    m_PreviewGrid = new QTableWidget(this);
    m_PreviewGrid->setObjectName(QStringLiteral("PreviewGrid"));
    m_PreviewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_PreviewGrid, 1);
    m_StatusLabel = new QLabel(this);
    m_StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    layout->addWidget(m_StatusLabel);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    auto rebuild = [this] { rebuildColumns(); };
    connect(m_EncodingBox, qOverload<int>(&QComboBox::currentIndexChanged), this, rebuild);
    connect(m_SeparatorBox, qOverload<int>(&QComboBox::currentIndexChanged), this, rebuild);
    connect(m_HeaderChkBox, &QCheckBox::toggled, this, rebuild);
    connect(m_ListTypeBox, qOverload<int>(&QComboBox::currentIndexChanged), this, rebuild);
}

void TImportCsvForm::setBytes(std::string bytes)
{
    m_plan.setBytes(std::move(bytes));
    rebuildColumns();
}

QComboBox *TImportCsvForm::destinationBox(int sourceColumn) const
{
    return qobject_cast<QComboBox *>(m_ColumnsGrid->cellWidget(sourceColumn, 2));
}

CsvImportOptions TImportCsvForm::options() const
{
    CsvImportOptions o;
    o.encoding = static_cast<CsvEncoding>(m_EncodingBox->currentData().toInt());
    o.separator = static_cast<CsvSeparator>(m_SeparatorBox->currentData().toInt());
    o.headerRow = m_HeaderChkBox->isChecked();
    o.listType = m_ListTypeBox->currentData().toString().toStdString();
    for (int r = 0; r < m_ColumnsGrid->rowCount(); ++r)
        if (QComboBox *box = destinationBox(r))
            o.destinations.push_back(destinationOf(box->currentData().toInt()));
    return o;
}

void TImportCsvForm::rebuildColumns()
{
    if (m_building)
        return;
    m_building = true;
    CsvImportOptions o = options();
    o.destinations.clear();
    const auto rows = m_plan.sourceRows(o, PreviewRows + 1);
    std::size_t width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.size());
    std::vector<std::string> headers(width);
    if (o.headerRow && !rows.empty())
        std::copy(rows[0].begin(), rows[0].end(), headers.begin());
    const auto defaults = CsvImportPlan::defaultDestinations(headers, o.listType);
    const auto templateHeaders = TemplateLists::defaultHeaders(o.listType);
    const std::size_t firstData = o.headerRow ? 1 : 0;
    m_ColumnsGrid->clearContents();
    m_ColumnsGrid->setRowCount(static_cast<int>(width));
    for (std::size_t i = 0; i < width; ++i) {
        const int r = static_cast<int>(i);
        const QString name = QStringLiteral("%1. %2").arg(r + 1).arg(o.headerRow ? utf8(headers[i]) : QString());
        m_ColumnsGrid->setItem(r, 0, new QTableWidgetItem(name));
        const std::string sample = rows.size() > firstData && rows[firstData].size() > i ? rows[firstData][i] : "";
        m_ColumnsGrid->setItem(r, 1, new QTableWidgetItem(utf8(sample)));
        auto *box = new QComboBox(m_ColumnsGrid);
        box->setObjectName(QStringLiteral("DestinationBox%1").arg(r + 1));
        box->addItem(QStringLiteral("New column"), destinationCode({CsvDestination::Kind::NewColumn, 0}));
        box->addItem(QStringLiteral("Skip"), destinationCode({CsvDestination::Kind::Skip, 0}));
        for (std::size_t k = 0; k < templateHeaders.size(); ++k)
            box->addItem(QStringLiteral("Column %1: %2").arg(k + 1).arg(utf8(templateHeaders[k])),
                         destinationCode({CsvDestination::Kind::TemplateColumn, static_cast<int>(k) + 1}));
        box->setCurrentIndex(box->findData(destinationCode(defaults[i])));
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { refreshPreview(); });
        m_ColumnsGrid->setCellWidget(r, 2, box);
    }
    m_ColumnsGrid->resizeColumnsToContents();
    m_building = false;
    refreshPreview();
}

void TImportCsvForm::refreshPreview()
{
    if (m_building)
        return;
    const CsvImportOptions o = options();
    ListDocument preview;
    const CsvImportPlan::Result result = m_plan.build(o, preview, PreviewRows);
    m_PreviewGrid->clear();
    if (!result.ok) {
        m_PreviewGrid->setRowCount(0);
        m_PreviewGrid->setColumnCount(0);
        m_StatusLabel->setText(utf8(result.error));
        return;
    }
    const int columns = preview.ColCount() - 1;
    m_PreviewGrid->setColumnCount(columns);
    m_PreviewGrid->setRowCount(preview.RowCount() - 1);
    QStringList labels;
    for (int c = 1; c <= columns; ++c)
        labels << utf8(preview.cellView(c, 0));
    m_PreviewGrid->setHorizontalHeaderLabels(labels);
    for (int r = 1; r < preview.RowCount(); ++r)
        for (int c = 1; c <= columns; ++c) {
            const std::string_view cell = preview.cellView(c, r);
            if (!cell.empty())
                m_PreviewGrid->setItem(r - 1, c - 1,
                                       new QTableWidgetItem(AttachmentRef::isReference(cell)
                                                                ? QStringLiteral("[file] ") + utf8(AttachmentRef::fileName(cell))
                                                                : utf8(cell)));
        }
    m_PreviewGrid->resizeColumnsToContents();
    const CsvEncoding used = o.encoding == CsvEncoding::Detect ? m_plan.detectedEncoding() : o.encoding;
    m_StatusLabel->setText(QStringLiteral("Read as %1, separated by %2.")
                               .arg(encodingName(used), separatorName(m_plan.separatorOf(o))));
}

int TImportCsvForm::ImportCsvBtnClick(Editor &editor, ListFileCommands &files, FileDialogService &dialogs)
{
    if (!files.ConfirmSaveChanges())
        return ResultAborted;
    const std::optional<std::string> path = dialogs.openFile(ImportCommand::CsvFilter, std::string());
    if (!path)
        return ResultAborted;
    std::string error;
    CsvImportPlan loaded;
    if (!loaded.loadFile(*path, error)) {
        editor.services().messages.error(error + "\n\n - ImportCsvText()");
        return 1;
    }
    m_plan = std::move(loaded);
    rebuildColumns();
    if (exec() != QDialog::Accepted)
        return ResultAborted;
    ImportProgressDialog progress(parentWidget());
    const int result = ImportCommand::importCsv(editor, m_plan, options(), &progress);
    return result == 2 ? ResultAborted : result;
}

} // namespace quorvex

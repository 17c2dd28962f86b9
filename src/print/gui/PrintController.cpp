#include "PrintController.h"

#include "PdfPrinter.h"
#include "QPrinterDevice.h"
#include "QtPageRenderer.h"
#include "TPageSetupForm.h"
#include "TPrintPageNumsForm.h"
#include "sort/gui/TStatusForm.h"
#include "document/core/Editor.h"
#include "document/core/LongOperationGuard.h"
#include "platform/gui/Cp1252.h"
#include "platform/gui/QtFileDialogService.h"
#include "print/core/NullProgressWindow.h"
#include "print/core/PrintLayout.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace quorvex {

namespace {

// 1234567 as "1,234,567".
std::string groupedCount(long long n)
{
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

} // namespace

PrintController::PrintController(Editor &editor, QWidget *window, TStatusForm &progress,
                                 std::function<QFont()> gridFont)
    : QObject(window),
      m_editor(editor),
      m_window(window),
      m_gridFont(std::move(gridFont)),
      m_progress(progress),
      m_commands(editor, m_progress),
      m_export(editor),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // A pause sleeps in the event loop until the user does something.
    m_commands.engine().waitForEvents = [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); };
    m_commands.computeMaxEntries();
    m_pageSetup = new TPageSetupForm(editor, m_commands, window);
    m_pageSetup->onTestPrint = [this] { TestPrintBtnClick(); };
    m_pageNums = new TPrintPageNumsForm(m_commands.selection, editor.services().messages,
                                        [this] { return m_commands.totalPages(); }, window);
}

PrintController::~PrintController() = default;

void PrintController::done()
{
    if (afterCommand)
        afterCommand();
}

void PrintController::computeMaxEntries()
{
    m_commands.computeMaxEntries();
    m_pageSetup->showValues();
}

void PrintController::PageSetupBtnClick()
{
    // Its entries per page renumber the list's pages.
    if (m_editor.longOperationRunning)
        return;
    m_pageSetup->run();
    done();
}

void PrintController::PrintBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    if (!chooseRows())
        return;
    LongOperationGuard guard(m_editor);
    QtPageRenderer renderer(m_gridFont(), &m_editor.gridAppearance, &m_editor.gridSkins);
    QPrinterDevice device(*m_printer, renderer, m_window);
    device.setProposedFile(proposedPdfFile());
    m_commands.PrintBtnClick(device, renderer);
    done();
}

void PrintController::PrintPageNumsBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    if (!chooseRows())
        return;
    LongOperationGuard guard(m_editor);
    m_commands.beginPrintPageNums();
    m_pageNums->run();
    QtPageRenderer renderer(m_gridFont(), &m_editor.gridAppearance, &m_editor.gridSkins);
    QPrinterDevice device(*m_printer, renderer, m_window);
    device.setProposedFile(proposedPdfFile());
    m_commands.printSelection(device, renderer);
    done();
}

void PrintController::TestPrintBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    if (!chooseRows())
        return;
    LongOperationGuard guard(m_editor);
    QtPageRenderer renderer(m_gridFont(), &m_editor.gridAppearance, &m_editor.gridSkins);
    QPrinterDevice device(*m_printer, renderer, m_window);
    device.setProposedFile(proposedPdfFile());
    m_commands.TestPrintBtnClick(device, renderer);
    done();
}

void PrintController::PrintPreviewBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    if (!chooseRows())
        return;
    LongOperationGuard guard(m_editor);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_printer->pageLayout());
    QPrintPreviewDialog dialog(&printer, m_window);
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        const bool preview = target->paintEngine() && target->paintEngine()->type() == QPaintEngine::Picture;
        PageSelection sel;
        sel.startPage = 1;
        sel.endPage = m_commands.totalPages();
        // A preview keeps every page's picture: show the first pages only.
        if (preview && sel.endPage > MaxPreviewPages)
            sel.endPage = MaxPreviewPages;
        const PrintJob job = m_commands.job(sel);
        QtPageRenderer renderer(m_gridFont(), &m_editor.gridAppearance, &m_editor.gridSkins);
        QPrinterDevice device(*target, renderer, nullptr, false);
        NullProgressWindow quiet;
        SilentProgress silent;
        PrintEngine engine(m_editor.services().messages, silent, quiet);
        engine.printList(m_commands.printedList(), job, device, renderer);
    });
    dialog.exec();
    done();
}

bool PrintController::chooseRows()
{
    const ShownRows &shown = m_editor.shownRows();
    m_commands.shownRowsOnly = false;
    m_export.shownRowsOnly = false;
    if (!shown.active())
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvex"),
                    QStringLiteral("A filter shows %1 of the list's %2 rows. Put out only the shown rows, or the whole list?")
                        .arg(QString::fromLatin1(groupedCount(shown.count()).c_str()),
                             QString::fromLatin1(groupedCount(m_editor.document().RowCount() - 1).c_str())),
                    QMessageBox::NoButton, m_window);
    QPushButton *shownButton = box.addButton(QStringLiteral("&Shown Rows"), QMessageBox::AcceptRole);
    QPushButton *wholeButton = box.addButton(QStringLiteral("&Whole List"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(shownButton);
    box.exec();
    if (box.clickedButton() != shownButton && box.clickedButton() != wholeButton)
        return false;
    m_commands.shownRowsOnly = box.clickedButton() == shownButton;
    m_export.shownRowsOnly = m_commands.shownRowsOnly;
    return true;
}

QString PrintController::proposedPdfFile() const
{
    // Named after the list, in the documents folder, as the export is.
    QString name = QString::fromLatin1(ExportCommand::DefaultName);
    if (m_editor.saveListEnabled && !m_editor.currentListFile.empty()) {
        const QString base = QFileInfo(Cp1252::fromPath(m_editor.currentListFile)).completeBaseName();
        if (!base.isEmpty())
            name = base;
    }
    return Cp1252::fromPath(m_editor.paths().documentsFolder) + name + QStringLiteral(".pdf");
}

std::optional<std::string> PrintController::chooseExportFile()
{
    QFileDialog dialog(m_window);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(QtFileDialogService::qtFilters(ExportCommand::Filter));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    const QString start = m_lastExport.isEmpty()
                              ? Cp1252::fromPath(m_editor.paths().documentsFolder) +
                                    QString::fromLatin1(ExportCommand::DefaultName)
                              : m_lastExport;
    dialog.selectFile(start);
    const QString chosen = QtFileDialogService::execForAcceptedFile(dialog);
    if (chosen.isEmpty())
        return std::nullopt;
    m_lastExport = chosen;
    return Cp1252::toPath(m_lastExport);
}

void PrintController::ExportBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    if (!chooseRows())
        return;
    LongOperationGuard guard(m_editor);
    m_export.exportList(chooseExportFile());
    done();
}

} // namespace quorvex

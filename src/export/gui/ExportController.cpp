#include "ExportController.h"

#include "attachments/gui/QtPictureReader.h"
#include "document/core/Editor.h"
#include "document/core/LongOperationGuard.h"
#include "platform/gui/Cp1252.h"
#include "platform/gui/QtFileDialogService.h"

#include <QFileDialog>
#include <QFileInfo>

namespace quorvex {

ExportController::ExportController(Editor &editor, QWidget *window)
    : QObject(window), m_editor(editor), m_window(window), m_commands(editor)
{
    m_commands.setForeignReader(&QtPictureReader::read);
}

QString ExportController::catalogueTitle() const
{
    if (m_editor.currentListFile.empty())
        return QStringLiteral("Quorvex list");
    return QFileInfo(Cp1252::fromPath(m_editor.currentListFile)).completeBaseName();
}

std::optional<std::string> ExportController::askCsvFile()
{
    if (chooseCsvFile)
        return chooseCsvFile();
    QFileDialog dialog(m_window);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(QtFileDialogService::qtFilters(ListExportCommands::CsvFilter));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(m_lastCsv.isEmpty() ? Cp1252::fromPath(m_editor.paths().documentsFolder) +
                                                QString::fromLatin1(ListExportCommands::CsvDefaultName)
                                          : m_lastCsv);
    const QString chosen = QtFileDialogService::execForAcceptedFile(dialog);
    if (chosen.isEmpty())
        return std::nullopt;
    m_lastCsv = chosen;
    return Cp1252::toPath(chosen);
}

std::optional<std::string> ExportController::askCatalogueFolder()
{
    if (chooseCatalogueFolder)
        return chooseCatalogueFolder();
    const QString start =
        m_lastFolder.isEmpty() ? Cp1252::fromPath(m_editor.paths().documentsFolder) : m_lastFolder;
    const QString chosen = QFileDialog::getExistingDirectory(m_window, tr("Folder for the HTML catalogue"), start,
                                                             QFileDialog::ShowDirsOnly |
                                                                 QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty())
        return std::nullopt;
    m_lastFolder = chosen;
    return Cp1252::toPath(chosen);
}

void ExportController::CsvExportBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    const auto chosenRows = rows();
    if (!chosenRows)
        return;
    LongOperationGuard guard(m_editor);
    m_commands.exportCsv(askCsvFile(), *chosenRows);
    if (afterCommand)
        afterCommand();
}

void ExportController::HtmlCatalogueBtnClick()
{
    if (m_editor.longOperationRunning)
        return;
    const auto chosenRows = rows();
    if (!chosenRows)
        return;
    LongOperationGuard guard(m_editor);
    m_commands.exportCatalogue(askCatalogueFolder(), *chosenRows, catalogueTitle().toStdString());
    if (afterCommand)
        afterCommand();
}

} // namespace quorvex

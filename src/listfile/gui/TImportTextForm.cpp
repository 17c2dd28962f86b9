#include "TImportTextForm.h"

#include "platform/gui/FontFit.h"
#include "document/core/Editor.h"
#include "listfile/core/ListFileCommands.h"
#include "listfile/core/TemplateLists.h"
#include "listfile/core/TextImportCommand.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileDialogService.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace quorvex {

namespace {

// The template's file name without ".lst" names the kind: "DVD", "Cassette", ...
QString kindCaption(const TemplateLists::Kind &kind)
{
    QString name = QString::fromUtf8(kind.fileName);
    if (name.endsWith(QStringLiteral(".lst")))
        name.chop(4);
    return name + QStringLiteral(" list");
}

} // namespace

TImportTextForm::TImportTextForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TImportTextForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    setWindowTitle(QStringLiteral("Import Text List"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *hint = new QLabel(QStringLiteral("The first line of the text becomes the column headers.\n"
                                           "Choose the kind of list the rows are:"),
                            this);
    layout->addWidget(hint);
    auto *form = new QFormLayout;
    m_ListTypeBox = new QComboBox(this);
    m_ListTypeBox->setObjectName(QStringLiteral("ListTypeBox"));
    for (const TemplateLists::Kind &kind : TemplateLists::kinds())
        m_ListTypeBox->addItem(kindCaption(kind), QString::fromUtf8(kind.listType));
    m_ListTypeBox->setCurrentIndex(m_ListTypeBox->findData(QStringLiteral("dvdmovie")));
    form->addRow(QStringLiteral("List &type:"), m_ListTypeBox);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string TImportTextForm::chosenListType() const
{
    return m_ListTypeBox->currentData().toString().toStdString();
}

int TImportTextForm::ImportTextListBtnClick(Editor &editor, ListFileCommands &files, FileDialogService &dialogs)
{
    if (!files.ConfirmSaveChanges())
        return ResultAborted;
    const std::optional<std::string> path = dialogs.openFile(TextImportCommand::FileFilter, std::string());
    if (!path)
        return ResultAborted;
    if (exec() != QDialog::Accepted)
        return ResultAborted;
    return TextImportCommand::importFile(editor, *path, chosenListType());
}

} // namespace quorvex

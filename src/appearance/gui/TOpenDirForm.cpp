#include "TOpenDirForm.h"

#include "platform/gui/FontFit.h"
#include "platform/core/FileSystem.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTreeView>

namespace quorvex {

namespace {

const QString DocumentsEntry = QStringLiteral("My Documents");

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

TOpenDirForm::TOpenDirForm(MessageService &messages, const std::string &documentsFolder, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_messages(messages), m_documentsFolder(QString::fromUtf8(documentsFolder.c_str()))
{
    setObjectName(QStringLiteral("OpenDirForm"));
    // Grows past its pixel sizes where the desktop font needs it.
    FontFit::install(this);
    setWindowTitle(QStringLiteral("Open directory"));
    setModal(true);
    setFixedSize(360, 392);

    auto *dirLabel = new QLabel(QStringLiteral("Directories"), this);
    dirLabel->setGeometry(12, 8, 200, 18);
    m_DriveComboBox1 = new QComboBox(this);
    m_DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    m_DriveComboBox1->setGeometry(12, 28, 336, 24);
    m_DriveComboBox1->addItem(QStringLiteral("/"), QStringLiteral("/"));
    m_DriveComboBox1->addItem(QDir::homePath(), QDir::homePath());

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(QStringLiteral("/"));
    m_DirOutline = new QTreeView(this);
    m_DirOutline->setObjectName(QStringLiteral("DirOutline"));
    m_DirOutline->setGeometry(12, 58, 336, 232);
    m_DirOutline->setModel(m_model);
    m_DirOutline->setRootIndex(m_model->index(QStringLiteral("/")));
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_DirOutline->hideColumn(column);
    m_DirOutline->header()->hide();

    auto *pathLabel = new QLabel(QStringLiteral("&Enter path:"), this);
    pathLabel->setGeometry(12, 298, 200, 18);
    m_DirPathEdit = new QLineEdit(this);
    m_DirPathEdit->setObjectName(QStringLiteral("DirPathEdit"));
    m_DirPathEdit->setGeometry(12, 318, 336, 24);
    m_DirPathEdit->setToolTip(QStringLiteral("Path does not have to exist, but must be a valid format."));
    // Characters no path of ours may hold; typing them does nothing.
    m_DirPathEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\"*<>?|]*")), m_DirPathEdit));
    m_DirPathEdit->setText(m_documentsFolder);
    pathLabel->setBuddy(m_DirPathEdit);

    m_OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    m_OkBtn->setObjectName(QStringLiteral("OkBtn"));
    m_OkBtn->setDefault(true);
    m_OkBtn->setGeometry(184, 354, 78, 28);
    m_CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    m_CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    m_CancelBtn->setGeometry(270, 354, 78, 28);

    connect(m_DriveComboBox1, qOverload<int>(&QComboBox::activated), this, &TOpenDirForm::DriveComboBox1Change);
    connect(m_DirOutline->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &) { DirOutlineChange(current); });
    connect(m_OkBtn, &QPushButton::clicked, this, &TOpenDirForm::OkBtnClick);
    connect(m_CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TOpenDirForm::showEvent(QShowEvent *event)
{
    // The documents entry joins the drive box the first time the chooser shows.
    if (!m_documentsEntryAdded) {
        m_documentsEntryAdded = true;
        m_DriveComboBox1->addItem(DocumentsEntry, m_documentsFolder);
    }
    QDialog::showEvent(event);
}

void TOpenDirForm::showFolderInTree(const QString &folder)
{
    const QModelIndex index = m_model->index(withoutTrailingSlash(folder));
    if (!index.isValid())
        return;
    m_DirOutline->setCurrentIndex(index);
    m_DirOutline->expand(index);
    m_DirOutline->scrollTo(index);
}

void TOpenDirForm::DriveComboBox1Change(int index)
{
    showFolderInTree(m_DriveComboBox1->itemData(index).toString());
}

void TOpenDirForm::DirOutlineChange(const QModelIndex &current)
{
    if (!current.isValid())
        return;
    const QString folder = m_model->filePath(current);
    m_DirPathEdit->setText(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    if (withoutTrailingSlash(folder) == withoutTrailingSlash(m_documentsFolder))
        return;
    // The drive box follows the tree: the home entry for folders under home.
    const QString home = QDir::homePath();
    const bool underHome = folder == home || folder.startsWith(home + QLatin1Char('/'));
    m_DriveComboBox1->setCurrentIndex(underHome ? 1 : 0);
}

void TOpenDirForm::preset(const std::string &folder)
{
    const QString path = QString::fromUtf8(folder.c_str());
    if (FileSystem::isDirectory(folder))
        showFolderInTree(path);
    m_DirPathEdit->setText(path);
}

void TOpenDirForm::OkBtnClick()
{
    QString path = m_DirPathEdit->text();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    m_DirPathEdit->setText(path);
    const std::string native = path.toUtf8().toStdString();
    if (FileSystem::isDirectory(native)) {
        accept();
        return;
    }
    const MessageAnswer answer =
        m_messages.show(MessageKind::Error, "The directory you entered does not exist. Would you like to create it?",
                        MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::No) {
        accept();
        return;
    }
    if (answer != MessageAnswer::Yes)
        return;
    if (FileSystem::createFolder(native)) {
        accept();
        return;
    }
    m_messages.error("Unable to create directory:\n\n" + native + "\n\nPlease make sure the disk is not write protected.");
}

std::optional<std::string> TOpenDirForm::choose()
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return m_DirPathEdit->text().toUtf8().toStdString();
}

} // namespace quorvex

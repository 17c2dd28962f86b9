#include "FolderGroups.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvex {

namespace {

void paintRed(QWidget *w)
{
    QPalette p = w->palette();
    p.setColor(QPalette::ButtonText, Qt::red);
    p.setColor(QPalette::WindowText, Qt::red);
    w->setPalette(p);
}

} // namespace

FolderGroups::FolderGroups(FolderCommands &commands, FolderChooser &chooser, QWidget *parent)
    : QWidget(parent), m_commands(commands), m_chooser(chooser)
{
    setObjectName(QStringLiteral("FolderGroups"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *temp = new QGroupBox(QStringLiteral("Temporary Files"), this);
    temp->setObjectName(QStringLiteral("TempFilesGroup"));
    auto *tempLayout = new QVBoxLayout(temp);
    auto *tempButtons = new QHBoxLayout;
    m_CleanNowBtn = new QPushButton(QStringLiteral("Clean Now (Caution!)"), temp);
    m_CleanNowBtn->setObjectName(QStringLiteral("CleanNowBtn"));
    paintRed(m_CleanNowBtn);
    m_OpenTempBtn = new QPushButton(QStringLiteral("Open Temp Folder"), temp);
    m_OpenTempBtn->setObjectName(QStringLiteral("OpenTempBtn"));
    tempButtons->addWidget(m_CleanNowBtn);
    tempButtons->addWidget(m_OpenTempBtn);
    tempButtons->addStretch();
    tempLayout->addLayout(tempButtons);
    auto *warning = new QLabel(
        QStringLiteral("WARNING: This will delete ALL files in the program's temporary folder. Do NOT click this "
                       "button while a project is open or you will loose your work. You must first close all "
                       "instances of this program. Then restart one instance and click 'Clean Now'."),
        temp);
    warning->setObjectName(QStringLiteral("TempWarningLbl"));
    warning->setWordWrap(true);
    paintRed(warning);
    auto *note = new QLabel(QStringLiteral("Note: The 'Clean Now' should only be used if the program crashed and "
                                           "could not properly clean up. Be carefull deleting files from the temp "
                                           "folder."),
                            temp);
    note->setObjectName(QStringLiteral("TempNoteLbl"));
    note->setWordWrap(true);
    tempLayout->addWidget(warning);
    tempLayout->addWidget(note);

    auto *database = new QGroupBox(QStringLiteral("Database Location"), this);
    database->setObjectName(QStringLiteral("DatabaseLocationGroup"));
    auto *dbLayout = new QVBoxLayout(database);
    m_DBaseLocEdit = new QLineEdit(database);
    m_DBaseLocEdit->setObjectName(QStringLiteral("DBaseLocEdit"));
    m_DBaseLocEdit->setReadOnly(true);
    QPalette face = m_DBaseLocEdit->palette();
    face.setColor(QPalette::Base, QApplication::palette().color(QPalette::Button));
    m_DBaseLocEdit->setPalette(face);
    dbLayout->addWidget(m_DBaseLocEdit);
    auto *dbButtons = new QHBoxLayout;
    m_ChangeDataLocDirBtn = new QPushButton(QStringLiteral("Change..."), database);
    m_ChangeDataLocDirBtn->setObjectName(QStringLiteral("ChangeDataLocDirBtn"));
    m_CleanDatabaseBtn = new QPushButton(QStringLiteral("Clean Now (Caution)"), database);
    m_CleanDatabaseBtn->setObjectName(QStringLiteral("CleanDatabaseBtn"));
    paintRed(m_CleanDatabaseBtn);
    dbButtons->addWidget(m_ChangeDataLocDirBtn);
    dbButtons->addWidget(m_CleanDatabaseBtn);
    dbButtons->addStretch();
    dbLayout->addLayout(dbButtons);

    layout->addWidget(database);
    layout->addWidget(temp);

    connect(m_CleanNowBtn, &QPushButton::clicked, this, [this] { m_commands.cleanTempFolder(); });
    connect(m_OpenTempBtn, &QPushButton::clicked, this, [this] { m_commands.openTempFolder(); });
    connect(m_CleanDatabaseBtn, &QPushButton::clicked, this, [this] { m_commands.cleanDatabaseFolder(); });
    connect(m_ChangeDataLocDirBtn, &QPushButton::clicked, this, &FolderGroups::ChangeDataLocDirBtnClick);
}

void FolderGroups::setShownDatabaseFolder(const std::string &folder)
{
    m_DBaseLocEdit->setText(QString::fromUtf8(folder.c_str()));
}

std::string FolderGroups::shownDatabaseFolder() const
{
    return m_DBaseLocEdit->text().toUtf8().toStdString();
}

void FolderGroups::ChangeDataLocDirBtnClick()
{
    const auto folder = m_commands.changeDatabaseFolder(m_chooser, shownDatabaseFolder());
    if (!folder)
        return;
    setShownDatabaseFolder(*folder);
    emit databaseFolderChanged(m_DBaseLocEdit->text());
}

} // namespace quorvex

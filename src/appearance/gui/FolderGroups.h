#pragma once

#include "appearance/core/FolderCommands.h"

#include <QWidget>

#include <string>

class QLineEdit;
class QPushButton;

namespace quorvex {

// The "Temporary Files" and "Database Location" groups, ready to sit on a tab
// of the settings window.
class FolderGroups final : public QWidget {
    Q_OBJECT
public:
    FolderGroups(FolderCommands &commands, FolderChooser &chooser, QWidget *parent = nullptr);

    // The folder DBaseLocEdit shows (start-up and the settings' Cancel set it).
    void setShownDatabaseFolder(const std::string &folder);
    std::string shownDatabaseFolder() const;

    QPushButton *cleanNowButton() const { return m_CleanNowBtn; }
    QPushButton *openTempButton() const { return m_OpenTempBtn; }
    QLineEdit *databaseLocationEdit() const { return m_DBaseLocEdit; }
    QPushButton *changeDatabaseButton() const { return m_ChangeDataLocDirBtn; }
    QPushButton *cleanDatabaseButton() const { return m_CleanDatabaseBtn; }

signals:
    // A new database folder is in use; "Save Settings" should become available.
    void databaseFolderChanged(const QString &folder);

private:
    void ChangeDataLocDirBtnClick();

    FolderCommands &m_commands;
    FolderChooser &m_chooser;
    QPushButton *m_CleanNowBtn = nullptr;
    QPushButton *m_OpenTempBtn = nullptr;
    QLineEdit *m_DBaseLocEdit = nullptr;
    QPushButton *m_ChangeDataLocDirBtn = nullptr;
    QPushButton *m_CleanDatabaseBtn = nullptr;
};

} // namespace quorvex

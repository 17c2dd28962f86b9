#pragma once

#include "appearance/core/FolderCommands.h"
#include "platform/core/MessageService.h"

#include <QDialog>

#include <optional>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace quorvex {

// The "Open directory" folder chooser: a drive box, a folder tree and a path
// box that may name a folder that does not exist yet.
class TOpenDirForm final : public QDialog, public FolderChooser {
    Q_OBJECT
public:
    TOpenDirForm(MessageService &messages, const std::string &documentsFolder, QWidget *parent = nullptr);

    void preset(const std::string &folder) override;
    std::optional<std::string> choose() override;

    QComboBox *driveBox() const { return m_DriveComboBox1; }
    QTreeView *dirOutline() const { return m_DirOutline; }
    QLineEdit *dirPathEdit() const { return m_DirPathEdit; }
    QPushButton *okButton() const { return m_OkBtn; }
    QPushButton *cancelButton() const { return m_CancelBtn; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void DriveComboBox1Change(int index);
    void DirOutlineChange(const QModelIndex &current);
    void OkBtnClick();
    void showFolderInTree(const QString &folder);

    MessageService &m_messages;
    QString m_documentsFolder;
    bool m_documentsEntryAdded = false;
    QComboBox *m_DriveComboBox1 = nullptr;
    QTreeView *m_DirOutline = nullptr;
    QFileSystemModel *m_model = nullptr;
    QLineEdit *m_DirPathEdit = nullptr;
    QPushButton *m_OkBtn = nullptr;
    QPushButton *m_CancelBtn = nullptr;
};

} // namespace quorvex

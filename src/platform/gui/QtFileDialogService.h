#pragma once

#include "platform/core/FileDialogService.h"

#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

namespace quorvex {

// Qt's file dialogs for the core. Filters come as "description|patterns|..." pairs.
class QtFileDialogService final : public FileDialogService {
public:
    explicit QtFileDialogService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    // Where a dialog opens when it is given no path of its own.
    void setInitialFolder(const std::string &folder) { m_initialFolder = folder; }

    std::optional<std::string> openFile(const std::string &filter, const std::string &initialPath) override;
    std::optional<std::string> saveFile(const std::string &filter, int &filterIndex,
                                        const std::string &initialPath) override;
    // The real dialog asks Qt's question before it hands back an existing file.
    bool confirmsOverwrite() const override;
    // An open dialog with a preview of the picture under the cursor.
    std::optional<std::string> openPicture(const std::string &filter, const std::string &initialPath);

    // "Pictures|*.jpg;*.bmp|All|*.*" -> "Pictures (*.jpg *.bmp)" and "All (*)".
    static QStringList qtFilters(const std::string &filter);
    // Runs the dialog and gives the very name it accepted (and asked about
    // replacing), or an empty text when it was cancelled. Asked again after the
    // dialog closed, the dialog may give another: its folder listing, still filling
    // on Qt's own thread, can turn a typed path into a bare name in the folder shown.
    static QString execForAcceptedFile(QFileDialog &dialog);

    // Window tests choose files instead of a person: the responder gets whether the
    // dialog saves, the filter and its index (which it may change) and the initial path.
    using Responder = std::function<std::optional<std::string>(bool save, const std::string &filter,
                                                               int &filterIndex, const std::string &initialPath)>;
    static void setResponder(Responder responder);

private:
    // Starts in the initial folder, with the name box empty unless a file name is given.
    void placeAt(QFileDialog &dialog, const std::string &initialPath) const;
    std::optional<std::string> runOpen(const std::string &filter, const std::string &initialPath, bool preview);

    QWidget *m_parent;
    std::string m_initialFolder;
};

} // namespace quorvex

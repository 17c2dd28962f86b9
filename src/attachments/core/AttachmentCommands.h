#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

class Editor;

// One of the five "Insert ... " items of the Grid menu's insert submenu (and the
// same item of the grid's pop-up submenu), with the dialog it shows.
struct InsertCommandInfo {
    char typeCode;
    const char *handler;     // "InsertPictureBtnClick"
    const char *menuItem;    // "InsertPictureBtn" in the Grid menu's submenu
    const char *popupItem;   // "InsertPicture1" in the pop-up submenu
    const char *caption;     // "Insert &Picture..."
    const char *dialog;      // "OpenPicDlg"
    const char *filter;      // "description|patterns|..." (see FileFilter)
    bool picturePreview;     // the dialog previews pictures
    const char *undoCaption; // "&Undo Insert Picture"
};

// What a drop of files on the main window comes to.
struct DropDecision {
    enum class Action {
        Ignore,   // no file, or a kind of file the window does not take
        OpenList, // the window opens `path` as a list (silent open, with the save question)
        Insert,   // `path` was attached to the current cell as `typeCode`
    };
    Action action = Action::Ignore;
    std::string path;
    char typeCode = 0;
    int result = 0; // of the insert: 0 inserted, 1 failed after a message
};

// The insert, drop, extract and delete commands of cell attachments. The window
// shows the file dialogs and hands over what the user chose.
class AttachmentCommands {
public:
    static constexpr const char *InsertSubmenuCaption = "Inser&t Data in to Cell";
    static constexpr const char *InsertSubmenuItem = "Insert1";
    static constexpr const char *InsertPopupSubmenuItem = "InsertData2";
    // The two disabled notes above the five items, followed by a separator.
    static constexpr const char *DatabaseSizeNote = "WARNING: Inserting data can quickly increase database size.";
    static constexpr const char *LargeFileNote = "CAUTION: Inserting large files can take a while.";
    static constexpr const char *ExtractCaption = "E&xtract Data File from Cell...";
    static constexpr const char *ExtractItem = "ExtractDataFileFromCellBtn";
    static constexpr const char *ExportCellFileFilter = "All Files (*.*)|*.*";
    static constexpr const char *DeleteBinaryDataCaption = "Delete &Binary Data from Selection";
    static constexpr const char *DeleteBinaryDataItem = "DeleteBinaryDataBtn";
    static constexpr const char *DeleteBinaryDataUndoCaption = "&Undo Delete Binary Data";
    static constexpr const char *DeleteBinaryDataQuestion = "Delete all binary data from selection?";

    static constexpr const char *CopyFailedMessage =
        "An error occured while copying source file to temp folder. Failed to insert data.\n\n - InsertFileToCell()";
    static constexpr const char *TargetMissingMessage =
        "Unable to copy source file to temp folder. Failed to insert data.\n\n - InsertFileToCell()";
    static constexpr const char *ExtractFailedMessage =
        "An error occured while extracting the file. Unable\nto copy from temp folder to "
        "destination.\n\n - ExportDataFileFromCell()";
    static std::string noAttachmentMessage(int column, int row);

    // In menu order: picture, video clip, audio clip, web page file, any file.
    static const std::array<InsertCommandInfo, 5> &insertCommands();
    static const InsertCommandInfo *insertCommand(char typeCode);

    // The decision for a drop, without acting on it: the first file only, by the
    // extension from the last "." of its path, lowered.
    static DropDecision classifyDrop(const std::vector<std::string> &paths);

    // Shows the save dialog with the attachment's name preset; the chosen path,
    // or nothing when cancelled.
    using DestinationChooser = std::function<std::optional<std::string>(const std::string &presetName)>;

    explicit AttachmentCommands(Editor &editor) : m_editor(editor) {}

    // Copies the file into the database folder and puts a reference to it into
    // the current cell. 0 inserted, 1 failed after a message.
    int InsertFileToCell(const std::string &sourcePath, char marker, char typeCode);
    // An insert command after its dialog; an empty path means it was cancelled.
    void insertChosenFile(char typeCode, const std::string &path);
    // Inserts what the drop takes as an attachment; the window acts on OpenList.
    DropDecision FilesDropped(const std::vector<std::string> &paths);

    // 0 done or cancelled, 1 the cell holds no attachment.
    int ExportDataFileFromCell(int column, int row, const DestinationChooser &chooseDestination);
    void ExtractDataFileFromCellBtnClick(const DestinationChooser &chooseDestination);

    void DeleteBinaryDataBtnClick();

private:
    Editor &m_editor;
};

} // namespace quorvex

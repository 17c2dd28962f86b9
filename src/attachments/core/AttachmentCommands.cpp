#include "AttachmentCommands.h"

#include "document/core/AttachmentRef.h"
#include "AttachmentStore.h"
#include "document/core/Editor.h"
#include "platform/core/FileSystem.h"

#include <algorithm>
#include <string_view>

namespace quorvex {

namespace {

const std::array<InsertCommandInfo, 5> InsertCommands{{
    {AttachPicture, "InsertPictureBtnClick", "InsertPictureBtn", "InsertPicture1", "Insert &Picture...", "OpenPicDlg",
     "All (*.bmp;*.jpg;*.gif,*.ico, *.wmf,*.emf)|*.bmp;*.jpg;*.jpeg;*.gif;*.ico;*.wmf;*.emf|Bitmaps "
     "(*.bmp)|*.bmp|JPEG Image Files (*.jpg;*.jpeg)|*.jpg;*.jpeg|GIF (*.gif)|*.gif|Icons (*.ico)|*.ico|Windows "
     "Meta Files (*.wmf,*.emf)|*.wmf;*.emf",
     true, "&Undo Insert Picture"},
    {AttachVideo, "InsertVideoBtnClick", "InsertVideoBtn", "InsertVideo1", "Insert &Video Clip...", "OpenVideoDlg",
     "All (*.avi,*.mpg,*.mov,*.wmv,*.dv,*.flv,*.mp4,*.qt,*.rm,*.swf)|*.avi;*.mpg;*.mpeg;*.mov;*.wmv;*.dv;*.flv;*."
     "mp4;*.qt;*.rm;*.swf|All Files (*.*)|*.*",
     false, "&Undo Insert Video"},
    {AttachAudio, "InsertAudioBtnClick", "InsertAudioBtn", "InsertAudio1", "Insert &Audio Clip...", "OpenAudioDlg",
     "All "
     "(*.wav,*.mp3,*.wma,*.aac,*.aif,*.pcm,*.iff,*.m4a,*.mid,*.midi,*.mpa,*.ra,*.ram,*.raw,*.voc,*.wave)|*.wav;*."
     "mp3;*.wma;*.aac;*.aif;*.pcm;*.iff;*.m4a;*.mid;*.midi;*.mpa;*.ra;*.ram;*.raw;*.voc;*.wave|All Files (*.*)|*.*",
     false, "&Undo Insert Audio"},
    {AttachWebPage, "InsertWebPageBtnClick", "InsertWebPageBtn", "InsertWebPage1", "Insert &Web Page File...",
     "OpenWebPageDlg", "All (*.htm;*.html;*.mht)|*.htm;*.html;*.shtml;*.mht|All Files (*.*)|*.*", false,
     "&Undo Insert Web Page File"},
    {AttachFile, "InsertFileBtnClick", "InsertFileBtn", "InsertFile1", "Insert &File...", "OpenFileDlg",
     "All Files (*.*)|*.*", false, "&Undo Insert File"},
}};

struct DropKind {
    std::string_view ext;
    char type;
};

const DropKind DropKinds[] = {
    {".bmp", AttachPicture}, {".jpg", AttachPicture}, {".jpeg", AttachPicture}, {".gif", AttachPicture},
    {".ico", AttachPicture}, {".wmf", AttachPicture}, {".emf", AttachPicture},

    {".avi", AttachVideo},   {".mpg", AttachVideo},   {".mpeg", AttachVideo},   {".mov", AttachVideo},
    {".wmv", AttachVideo},   {".dv", AttachVideo},    {".flv", AttachVideo},    {".mp4", AttachVideo},
    {".qt", AttachVideo},    {".rm", AttachVideo},    {".swf", AttachVideo},

    {".wav", AttachAudio},   {".mp3", AttachAudio},   {".wma", AttachAudio},    {".aac", AttachAudio},
    {".aif", AttachAudio},   {".pcm", AttachAudio},   {".iff", AttachAudio},    {".m4a", AttachAudio},
    {".mid", AttachAudio},   {".midi", AttachAudio},  {".mpa", AttachAudio},    {".ra", AttachAudio},
    {".ram", AttachAudio},   {".raw", AttachAudio},   {".voc", AttachAudio},    {".wave", AttachAudio},

    {".htm", AttachWebPage}, {".html", AttachWebPage}, {".shtml", AttachWebPage}, {".mht", AttachWebPage},
};

std::string asciiLower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

std::string AttachmentCommands::noAttachmentMessage(int column, int row)
{
    return "Error, there is not a file contained in the cell coordinates (" + std::to_string(column) + "," +
           std::to_string(row) + "). Please try a cell that is attached to data.\n\n - ExportDataFileFromCell()";
}

const std::array<InsertCommandInfo, 5> &AttachmentCommands::insertCommands()
{
    return InsertCommands;
}

const InsertCommandInfo *AttachmentCommands::insertCommand(char typeCode)
{
    for (const InsertCommandInfo &info : InsertCommands)
        if (info.typeCode == typeCode)
            return &info;
    return nullptr;
}

DropDecision AttachmentCommands::classifyDrop(const std::vector<std::string> &paths)
{
    DropDecision d;
    if (paths.empty())
        return d;
    const std::string &path = paths.front();
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos)
        return d;
    const std::string ext = asciiLower(path.substr(dot));
    if (ext == ".lst" || ext == ".lstd") {
        d.action = DropDecision::Action::OpenList;
        d.path = path;
        return d;
    }
    for (const DropKind &kind : DropKinds) {
        if (kind.ext == ext) {
            d.action = DropDecision::Action::Insert;
            d.path = path;
            d.typeCode = kind.type;
            return d;
        }
    }
    return d;
}

int AttachmentCommands::InsertFileToCell(const std::string &sourcePath, char marker, char typeCode)
{
    const TextEncoding encoding = m_editor.document().textEncoding();
    const StoreResult stored = AttachmentStore::storeFile(sourcePath, m_editor.paths().databaseFolder, encoding);
    if (stored.outcome == StoreOutcome::CopyFailed) {
        m_editor.services().messages.error(CopyFailedMessage);
        return ResultFailed;
    }
    if (stored.outcome == StoreOutcome::TargetMissing) {
        m_editor.services().messages.error(TargetMissingMessage);
        return ResultFailed;
    }
    m_editor.MarkModified();
    const InsertCommandInfo *info = insertCommand(typeCode);
    m_editor.StartUndoableChange(info ? info->undoCaption : UndoHistory::ResetCaption);
    ListDocument &doc = m_editor.document();
    std::string text;
    text.reserve(stored.name.size() + 2);
    text += marker;
    text += typeCode;
    // The file is named in UTF-8 on disk; the cell holds the list's encoding.
    text += AttachmentStore::referenceName(stored.name, encoding);
    doc.SetCell(doc.Col(), doc.Row(), text);
    m_editor.currentCellRewritten();
    m_editor.view().documentChanged();
    return ResultOk;
}

void AttachmentCommands::insertChosenFile(char typeCode, const std::string &path)
{
    if (path.empty())
        return;
    BusyCursor busy(m_editor.view());
    // The in-place editor would otherwise write its text over the reference.
    m_editor.view().endCellEditing();
    InsertFileToCell(path, attachmentMarker, typeCode);
    const ListDocument &doc = m_editor.document();
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
}

DropDecision AttachmentCommands::FilesDropped(const std::vector<std::string> &paths)
{
    DropDecision d = classifyDrop(paths);
    if (d.action != DropDecision::Action::Insert)
        return d;
    BusyCursor busy(m_editor.view());
    m_editor.view().endCellEditing();
    d.result = InsertFileToCell(d.path, attachmentMarker, d.typeCode);
    const ListDocument &doc = m_editor.document();
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
    return d;
}

int AttachmentCommands::ExportDataFileFromCell(int column, int row, const DestinationChooser &chooseDestination)
{
    const ListDocument &doc = m_editor.document();
    if (!AttachmentRef::IsAttachmentCell(doc, column, row)) {
        m_editor.services().messages.error(noAttachmentMessage(column, row));
        return ResultFailed;
    }
    const std::string name = AttachmentRef::AttachmentFileName(doc, column, row);
    // A name with a folder part would read a file outside the database folder.
    if (!AttachmentRef::isSafeFileName(name)) {
        m_editor.services().messages.error(ExtractFailedMessage);
        return ResultOk;
    }
    const TextEncoding encoding = doc.textEncoding();
    const std::string source = AttachmentStore::pathOf(m_editor.paths().databaseFolder, name, encoding);
    // The dialog offers the name as a file name of this system.
    const std::optional<std::string> destination =
        chooseDestination ? chooseDestination(AttachmentStore::diskName(name, encoding)) : std::nullopt;
    if (!destination || destination->empty())
        return ResultOk;
    int error = 0;
    if (!AttachmentStore::copyReplacing(source, *destination, &error))
        m_editor.services().messages.error(std::string(ExtractFailedMessage) + "\n\n" +
                                           FileSystem::errorCause(error) +
                                           (FileSystem::exists(*destination) ? " The existing file was kept." : ""));
    return ResultOk;
}

void AttachmentCommands::ExtractDataFileFromCellBtnClick(const DestinationChooser &chooseDestination)
{
    BusyCursor busy(m_editor.view(), CursorShape::AppStarting);
    const ListDocument &doc = m_editor.document();
    ExportDataFileFromCell(doc.Col(), doc.Row(), chooseDestination);
}

void AttachmentCommands::DeleteBinaryDataBtnClick()
{
    if (m_editor.services().messages.confirm(DeleteBinaryDataQuestion) != MessageAnswer::Yes)
        return;
    BusyCursor busy(m_editor.view(), CursorShape::AppStarting);
    m_editor.view().endCellEditing();
    m_editor.MarkModified();
    m_editor.StartUndoableChange(DeleteBinaryDataUndoCaption);

    ListDocument &doc = m_editor.document();
    const CellRect s = doc.Selection();
    const int left = std::max(s.Left, 0);
    const int right = std::min(s.Right, doc.ColCount() - 1);
    const int top = std::max(s.Top, 0);
    const int bottom = std::min(s.Bottom, doc.RowCount() - 1);
    std::vector<std::string_view> cells;
    for (int r = top; r <= bottom; ++r) {
        const CellRow &row = doc.rowAt(r);
        const int stored = std::min(row.storedCount(), right + 1);
        bool any = false;
        for (int c = left; c < stored && !any; ++c)
            any = AttachmentRef::isReference(row.cell(c));
        if (!any)
            continue;
        // One new row block per changed row rather than one per cleared cell.
        cells.assign(static_cast<std::size_t>(row.storedCount()), std::string_view());
        for (int c = 0; c < row.storedCount(); ++c) {
            const std::string_view text = row.cell(c);
            cells[static_cast<std::size_t>(c)] =
                c >= left && c <= right && AttachmentRef::isReference(text) ? std::string_view() : text;
        }
        doc.setRowAt(r, CellRow::fromCells(cells));
    }
    m_editor.currentCellRewritten();
    m_editor.view().documentChanged();
    m_editor.view().showCellPreview(doc.Col(), doc.Row());
}

} // namespace quorvex

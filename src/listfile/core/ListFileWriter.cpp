#include "ListFileWriter.h"

#include "platform/core/AppConstants.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"
#include "document/core/AttachmentRef.h"
#include "attachments/core/AttachmentStore.h"
#include "document/core/ListDocument.h"
#include "document/core/PageSetup.h"
#include "platform/core/UnicodeText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace quorvex {

namespace {

constexpr std::size_t CopyPiece = 500000;
constexpr int RowsAhead = 8;

void writeFileTime(BinaryOutStream &out, std::uint64_t ticks)
{
    out.writeUInt32(static_cast<std::uint32_t>(ticks & 0xFFFFFFFFu));
    out.writeUInt32(static_cast<std::uint32_t>(ticks >> 32));
}

struct AbortSave {
};

} // namespace

ListFileWriter::ListFileWriter(MessageService &messages, ProgressReporter &progress)
    : m_messages(messages), m_progress(progress)
{
}

int ListFileWriter::SaveList_V11(const std::string &fileName, const ListFileSource &source)
{
    return saveList(fileName, source, ListFileVersion::V11);
}

int ListFileWriter::SaveList_V12(const std::string &fileName, const ListFileSource &source)
{
    return saveList(fileName, source, ListFileVersion::V12);
}

int ListFileWriter::SaveList_V13(const std::string &fileName, const ListFileSource &source)
{
    return saveList(fileName, source, ListFileVersion::V13);
}

int ListFileWriter::SaveList_V14(const std::string &fileName, const ListFileSource &source)
{
    return saveList(fileName, source, ListFileVersion::V14);
}

int ListFileWriter::saveAs(const std::string &fileName, const ListFileSource &source, ListFileVersion version)
{
    if (!ListFileFormat::tagOf(version))
        version = ListFileFormat::versionForPath(fileName, source.document.textEncoding());
    return saveList(fileName, source, version);
}

int ListFileWriter::save(const std::string &fileName, const ListFileSource &source)
{
    return saveList(fileName, source, ListFileFormat::versionForPath(fileName, source.document.textEncoding()));
}

std::size_t ListFileWriter::unstorableCharacters(const ListFileSource &source)
{
    const ListDocument &doc = source.document;
    if (doc.textEncoding() != TextEncoding::Utf8)
        return 0;
    std::size_t count = 0;
    auto add = [&count](std::string_view text) {
        for (std::size_t pos = 0; pos < text.size();) {
            if (static_cast<unsigned char>(text[pos]) < 0x80) {
                ++pos;
                continue;
            }
            if (UnicodeText::cp1252Byte(UnicodeText::decode(text, pos)) < 0)
                ++count;
        }
    };
    add(source.listType);
    for (int r = 0; r < doc.RowCount(); ++r) {
        const CellRow &cells = doc.rowAt(r);
        for (int c = 0; c < cells.storedCount() && c < doc.ColCount(); ++c)
            add(cells.cell(c));
    }
    return count;
}

void ListFileWriter::reportRow(int row, int last, bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_progressInterval.count() > 0 && now - m_lastReport < m_progressInterval)
        return;
    m_lastReport = now;
    const int percent = last > 0 ? static_cast<int>(static_cast<double>(row) / last * 100.0) : 100;
    m_progress.setProgress(percent, std::to_string(percent) + "% - complete. Saving row " + std::to_string(row) +
                                        " of " + std::to_string(last));
    m_progress.pumpEvents();
}

int ListFileWriter::saveList(const std::string &fileName, const ListFileSource &source, ListFileVersion version)
{
    const bool v11 = !ListFileFormat::isDependent(version);
    const std::string routine = std::string(" - SaveList_V1") + ListFileFormat::versionName(version)[2] + "()";
    m_tooLongCol = m_tooLongRow = -1;
    // Through a link the list goes to the link's target; the link stays.
    AtomicFile temp(fileName);
    if (!temp.open()) {
        m_messages.error("Unable to open file for writing. List was not saved. Please\n make sure the disk is not "
                         "write protected.\n\n" +
                         routine + "\n\n" + temp.errorText());
        return ResultFailed;
    }
    BinaryOutStream out;
    out.attach(temp.fd(), false);
    const ListDocument &doc = source.document;
    const PageSetup &ps = source.pageSetup;
    const int cols = doc.ColCount();
    const int rows = doc.RowCount();
    // Texts go out in the version's encoding; most lists need no conversion.
    const TextEncoding fileEncoding = ListFileFormat::encodingOf(version);
    const TextEncoding docEncoding = doc.textEncoding();
    const bool convert = fileEncoding != docEncoding;
    std::string converted;
    auto inFile = [&](std::string_view text) -> std::string_view {
        if (!convert)
            return text;
        std::size_t replaced = 0;
        converted = fileEncoding == TextEncoding::Utf8 ? UnicodeText::fromCp1252(text)
                                                       : UnicodeText::toCp1252(text, replaced);
        return converted;
    };
    try {
        out.write(listFileMagic, std::strlen(listFileMagic));
        const char *tag = ListFileFormat::tagOf(version);
        out.write(tag, std::strlen(tag));
        const std::string type(inFile(source.listType));
        out.writeInt32(static_cast<std::int32_t>(12 + type.size() + 4 * static_cast<std::size_t>(cols)));
        out.writeInt32(static_cast<std::int32_t>(type.size()));
        out.write(type);
        out.writeInt32(cols);
        out.writeInt32(rows);
        for (int c = 0; c < cols; ++c)
            out.writeInt32(doc.ColWidth(c));
        out.writeInt32(ListFileFormat::PageSetupSize);
        for (int w : ps.maxWidths)
            out.writeInt32(w);
        out.writeInt32(ps.maxEntries);
        out.writeInt32(ps.leftIndent);
        out.writeInt32(ps.topIndent);
        out.writeUInt8(ps.landscape ? 1 : 0);

        // Names whose data an earlier cell of the file carries; data cells first,
        // so header-row and page-column references defer to them.
        std::unordered_set<std::string_view> stored;
        std::unordered_set<std::string_view> inDataCells;
        if (v11) {
            for (int r = 1; r < rows; ++r) {
                const CellRow &cells = doc.rowAt(r);
                for (int c = 1; c < cells.storedCount() && c < cols; ++c) {
                    const std::string_view text = cells.cell(c);
                    if (AttachmentRef::isReference(text))
                        inDataCells.insert(AttachmentRef::fileName(text));
                }
            }
        }
        const int last = rows - 1;
        m_lastReport = {};
        for (int r = 0; r < rows; ++r) {
            if (r % 5 == 0)
                reportRow(r, last, r == 0);
            // After a sort the rows lie in memory in another order.
            if (r + RowsAhead < rows)
                doc.rowAt(r + RowsAhead).prefetch();
            const CellRow &cells = doc.rowAt(r);
            for (int c = 0; c < cols; ++c) {
                const std::string_view text = cells.cell(c);
                if (v11 && AttachmentRef::isReference(text)) {
                    const std::string_view name = AttachmentRef::fileName(text);
                    const std::string_view fileName = inFile(name);
                    out.writeInt32(-1);
                    out.writeUInt8(static_cast<std::uint8_t>(text[0]));
                    out.writeUInt8(text.size() > 1 ? static_cast<std::uint8_t>(text[1]) : 0);
                    out.writeInt32(static_cast<std::int32_t>(fileName.size()));
                    out.write(fileName);
                    const bool dataCell = r >= 1 && c >= 1;
                    if (stored.count(name) || (!dataCell && inDataCells.count(name))) {
                        out.writeUInt8(0);
                        continue;
                    }
                    stored.insert(name);
                    // The file is found by the name in the list's own encoding.
                    if (addFile(out, std::string(name), m_databaseFolder, docEncoding) == ResultAborted)
                        throw AbortSave();
                    continue;
                }
                const std::string_view cellText = inFile(text);
                if (cellText.size() > m_cellLimit) {
                    out.abandon();
                    temp.discard();
                    m_progress.pumpEvents();
                    m_messages.error("The cell at coordinate " + std::to_string(c) + "," + std::to_string(r) +
                                     " contains data that exceeds\nthe cell text limit of 2GB. The Save process "
                                     "was\ncancelled. Please adjust the cell contents.\n\n" +
                                     routine);
                    m_tooLongCol = c;
                    m_tooLongRow = r;
                    return ResultFailed;
                }
                out.writeInt32(static_cast<std::int32_t>(cellText.size()));
                out.write(cellText);
            }
        }
        out.writeUInt8(0);
        out.finish();
        if (!temp.commit())
            throw std::system_error(temp.error(), std::generic_category(), "commit");
    } catch (const AbortSave &) {
        out.abandon();
        temp.discard();
        m_progress.pumpEvents();
        m_messages.plain("File save has been aborted.");
        return ResultAborted;
    } catch (const std::system_error &e) {
        out.abandon();
        temp.discard();
        // The cause in plain words: a full disk, a refused permission.
        m_messages.error("An error occured while saving the list. List not saved.\n\n" + routine + "\n\n" +
                         FileSystem::errorCause(e.code().value()));
        return ResultFailed;
    } catch (const std::exception &e) {
        out.abandon();
        temp.discard();
        // One box: the system's reason goes on a line of its own under the message.
        m_messages.error("An error occured while saving the list. List not saved.\n\n" + routine + "\n\n" +
                         e.what());
        return ResultFailed;
    }
    return ResultOk;
}

int ListFileWriter::AddFileToFStreamBin(BinaryOutStream &out, const std::string &fileName, const std::string &folder)
{
    return addFile(out, fileName, folder, TextEncoding::Windows1252);
}

int ListFileWriter::addFile(BinaryOutStream &out, const std::string &fileName, const std::string &folder,
                            TextEncoding encoding)
{
    const std::string path = AttachmentStore::pathOf(folder, fileName, encoding);
    // Only a bare name of the database folder is embedded; never a path that leads elsewhere.
    // A FIFO or device under an attachment's name is refused, not waited on.
    int fd = AttachmentRef::isSafeFileName(fileName) ? FileSystem::openForReading(path) : -1;
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) != 0) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        const MessageAnswer answer = m_messages.show(
            MessageKind::Error,
            "Error saving the following source file to the list:\n" + folder +
                (folder.empty() || folder.back() == '/' ? "" : "/") + ListFileFormat::toUtf8(fileName, encoding) +
                "\n\nUnable to open it for reading. Please make sure the file\nexists and has not been corrupted "
                "and is not in use.\n\nThe file will be skipped if 'OK' is clicked. The save\nroutine will be "
                "aborted if 'Cancel' is clicked.\n\n - AddFileToFStreamBin()",
            MessageButtons::OkCancel);
        if (answer == MessageAnswer::Cancel)
            return ResultAborted;
        out.writeUInt8(0);
        return ResultSkipped;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    const FileTimes times = FileSystem::times(path).value_or(FileTimes{});
    out.writeUInt8(1);
    out.writeFloat64(static_cast<double>(size));
    writeFileTime(out, times.created);
    writeFileTime(out, times.accessed);
    writeFileTime(out, times.written);
    std::unique_ptr<char[]> buffer(new char[CopyPiece]);
    std::uint64_t done = 0;
    while (done < size) {
        if (done % 100000 == 0)
            m_progress.pumpEvents();
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(CopyPiece, size - done));
        std::size_t got = 0;
        while (got < piece) {
            const ssize_t n = ::read(fd, buffer.get() + got, piece - got);
            if (n < 0 && errno == EINTR)
                continue;
            // The file changed size under us; the block would no longer match its header.
            if (n <= 0)
                throw std::runtime_error("The file " + path + " became shorter while it was being saved.");
            got += static_cast<std::size_t>(n);
        }
        out.write(buffer.get(), piece);
        done += piece;
    }
    return ResultOk;
}

} // namespace quorvex

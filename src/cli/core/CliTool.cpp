#include "CliTool.h"

#include "NonInteractiveMessages.h"
#include "platform/core/AppConstants.h"
#include "platform/core/FileSystem.h"
#include "platform/core/ProgressReporter.h"
#include "attachments/core/AttachmentRef.h"
#include "document/core/ExcelText.h"
#include "document/core/ListDocument.h"
#include "listfile/core/ListFileFormat.h"
#include "listfile/core/ListFileReader.h"
#include "listfile/core/ListFileWriter.h"
#include "listfile/core/TextListImport.h"
#include "document/core/PageSetup.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace quorvex {

namespace {

const char *const Prefix = "quorvex-cli: ";

struct LoadedList {
    ListDocument document;
    PageSetup pageSetup;
    std::string listType;
    ListFileVersion version = ListFileVersion::Unknown;
};

// A folder of our own under the system temporary folder, removed with its content.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const char *base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/quorvex-cli-XXXXXX";
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()))
            m_path = std::string(name.data()) + "/";
    }
    ~ScratchFolder()
    {
        if (!m_path.empty())
            FileSystem::RemoveFolder(m_path);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

// Arguments after the command: positional ones and at most one "--name VALUE".
struct ParsedArgs {
    std::vector<std::string> positional;
    std::optional<std::string> option;
};

std::optional<ParsedArgs> parseArgs(const std::vector<std::string> &args, const std::string &optionName)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (optionsEnded || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionName.empty() || parsed.option)
            return std::nullopt;
        const std::string flag = "--" + optionName;
        if (a == flag) {
            if (i + 1 >= args.size())
                return std::nullopt;
            parsed.option = args[++i];
        } else if (a.compare(0, flag.size() + 1, flag + "=") == 0) {
            parsed.option = a.substr(flag.size() + 1);
        } else {
            return std::nullopt;
        }
    }
    return parsed;
}

const char *versionName(ListFileVersion v)
{
    switch (v) {
    case ListFileVersion::V10:
        return "1.0";
    case ListFileVersion::V11:
        return "1.1";
    case ListFileVersion::V12:
        return "1.2";
    case ListFileVersion::Unknown:
        break;
    }
    return "unknown";
}

std::string typeName(char code)
{
    switch (code) {
    case AttachPicture:
        return "picture";
    case AttachAudio:
        return "audio clip";
    case AttachVideo:
        return "video clip";
    case AttachFile:
        return "file";
    case AttachWebPage:
        return "web page file";
    default:
        return "unknown type " + std::to_string(static_cast<unsigned char>(code));
    }
}

// The reader's verdict as the tool sees it: a load that reported an error (a
// refused attachment name, say) did not do all that was asked.
bool load(ListFileReader &reader, const NonInteractiveMessages &messages, const std::string &path, LoadedList &list)
{
    const int result =
        reader.readFile(path, ListFileTarget{list.document, list.pageSetup, list.listType}, &list.version);
    return result == ResultOk && !messages.hasError();
}

bool ensureFolder(const std::string &folder)
{
    return FileSystem::isDirectory(folder) || FileSystem::createFolders(folder);
}

} // namespace

std::string CliTool::usage()
{
    return "usage: quorvex-cli info LIST\n"
           "       quorvex-cli export LIST OUT\n"
           "       quorvex-cli convert IN OUT [--database DIR]\n"
           "       quorvex-cli import IN OUT [--type LISTTYPE]\n"
           "       quorvex-cli extract LIST DIR\n"
           "       quorvex-cli --version\n"
           "IN of import: tab- or comma-separated text, UTF-8 or Windows-1252.\n";
}

int CliTool::fail(const std::string &line)
{
    m_err << Prefix << (line.empty() ? std::string("the operation failed") : line) << '\n';
    m_err.flush();
    return ExitFailed;
}

int CliTool::usageError()
{
    m_err << usage();
    m_err.flush();
    return ExitUsage;
}

int CliTool::run(const std::vector<std::string> &args)
{
    if (args.empty())
        return usageError();
    const std::string &command = args[0];
    if (args.size() == 1 && (command == "--help" || command == "-h" || command == "help")) {
        m_out << usage();
        return ExitOk;
    }
    if (args.size() == 1 && command == "--version") {
        m_out << "quorvex-cli " << releaseVersion << '\n';
        return ExitOk;
    }
    std::string optionName;
    std::size_t wanted = 2;
    if (command == "info")
        wanted = 1;
    else if (command == "convert")
        optionName = "database";
    else if (command == "import")
        optionName = "type";
    else if (command != "export" && command != "extract")
        return usageError();

    const auto parsed = parseArgs(args, optionName);
    if (!parsed || parsed->positional.size() != wanted)
        return usageError();
    for (const std::string &p : parsed->positional)
        if (p.empty())
            return usageError();
    const auto &pos = parsed->positional;
    try {
        if (command == "info")
            return info(pos[0]);
        if (command == "export")
            return exportList(pos[0], pos[1]);
        if (command == "extract")
            return extract(pos[0], pos[1]);
        if (command == "convert") {
            if (parsed->option && parsed->option->empty())
                return usageError();
            return convert(pos[0], pos[1], parsed->option.value_or(std::string()));
        }
        const std::string type = parsed->option.value_or(DefaultImportType);
        if (type.size() > static_cast<std::size_t>(ListFileFormat::MaxListTypeLength))
            return usageError();
        return import(pos[0], pos[1], type);
    } catch (const std::bad_alloc &) {
        return fail("not enough memory");
    } catch (const std::exception &e) {
        return fail(NonInteractiveMessages::oneLine(e.what()));
    }
}

int CliTool::info(const std::string &path)
{
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setExtractAttachments(false);
    LoadedList list;
    if (!load(reader, messages, path, list))
        return fail(messages.firstErrorLine());

    const ListDocument &doc = list.document;
    const PageSetup &ps = list.pageSetup;
    m_out << "version: " << versionName(list.version) << '\n';
    m_out << "list type: " << ListFileFormat::toUtf8(list.listType) << '\n';
    m_out << "columns: " << doc.ColCount() << '\n';
    m_out << "rows: " << doc.RowCount() << '\n';
    m_out << "column widths:";
    for (int w : doc.colWidths())
        m_out << ' ' << w;
    m_out << '\n';
    m_out << "maximum widths:";
    for (int w : ps.maxWidths)
        m_out << ' ' << w;
    m_out << '\n';
    m_out << "entries per page: " << ps.maxEntries << '\n';
    m_out << "left indent: " << ps.leftIndent << '\n';
    m_out << "top indent: " << ps.topIndent << '\n';
    m_out << "orientation: " << (ps.landscape ? "landscape" : "portrait") << '\n';

    std::vector<std::string> refs;
    for (int r = 0; r < doc.RowCount(); ++r) {
        const CellRow &row = doc.rowAt(r);
        for (int c = 0; c < row.storedCount(); ++c) {
            const std::string_view text = row.cell(c);
            if (AttachmentRef::isReference(text))
                refs.push_back("  column " + std::to_string(c) + ", row " + std::to_string(r) + ": " +
                               typeName(AttachmentRef::typeCode(text)) + " " +
                               ListFileFormat::toUtf8(std::string(AttachmentRef::fileName(text))));
        }
    }
    m_out << "attachment references: " << refs.size() << '\n';
    for (const std::string &line : refs)
        m_out << line << '\n';
    if (list.version == ListFileVersion::V11) {
        std::vector<std::string> embedded;
        for (const EmbeddedFileRecord &rec : reader.embeddedFiles())
            if (rec.present)
                embedded.push_back("  " + ListFileFormat::toUtf8(rec.name) + ": " + std::to_string(rec.size) +
                                   " bytes");
        m_out << "embedded files: " << embedded.size() << '\n';
        for (const std::string &line : embedded)
            m_out << line << '\n';
    }
    if (reader.hadExtraData())
        m_out << "extra data of a later version: yes\n";
    m_out.flush();
    return ExitOk;
}

std::string CliTool::exportText(const ListDocument &doc)
{
    const std::string text = ExcelText::formatExcelText(doc, 0, doc.RowCount() - 1, 1, doc.ColCount() - 1,
                                                        ExcelText::ExportLineEnd);
    // The export file is written in text mode: a line feed becomes CR LF.
    if (text.find('\n') == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

int CliTool::exportList(const std::string &path, const std::string &outPath)
{
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setExtractAttachments(false);
    LoadedList list;
    if (!load(reader, messages, path, list))
        return fail(messages.firstErrorLine());
    const std::string text = exportText(list.document);
    if (FileSystem::exists(outPath) && FileSystem::isReadOnly(outPath))
        return fail("The text file being saved is read-only. List NOT exported.");
    if (!FileSystem::writeFileAtomic(outPath, text))
        return fail("List was not exported. Please make sure the disk is not write protected.");
    return ExitOk;
}

int CliTool::convert(const std::string &inPath, const std::string &outPath, const std::string &database)
{
    ScratchFolder scratch;
    const std::string folder = database.empty() ? scratch.path() : FileSystem::withTrailingSlash(database);
    if (folder.empty() || !ensureFolder(folder))
        return fail("Unable to create the database folder " + (database.empty() ? std::string("") : database) +
                    ".");
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setDatabaseFolder(folder);
    LoadedList list;
    if (!load(reader, messages, inPath, list))
        return fail(messages.firstErrorLine());
    if (FileSystem::exists(outPath) && FileSystem::isReadOnly(outPath))
        return fail("The list file being saved is read-only. List NOT saved.");
    ListFileWriter writer(messages, progress);
    writer.setDatabaseFolder(folder);
    const int result = writer.save(outPath, ListFileSource{list.document, list.pageSetup, list.listType});
    if (result != ResultOk || messages.hasError())
        return fail(messages.firstErrorLine());
    return ExitOk;
}

bool CliTool::importText(const std::string &text, ListDocument &doc)
{
    return TextListImport::importText(text, doc).ok;
}

int CliTool::import(const std::string &inPath, const std::string &outPath, const std::string &type)
{
    LoadedList list;
    const TextListImport::Result imported = TextListImport::importFile(inPath, list.document);
    if (!imported.ok)
        return fail(NonInteractiveMessages::oneLine(imported.error));
    if (imported.replaced > 0)
        m_err << Prefix << imported.replaced
              << (imported.replaced == 1 ? " character" : " characters")
              << " Windows-1252 cannot hold became \"?\".\n";
    list.listType = type;
    list.document.RenumberPages(list.pageSetup.entriesPerPage());
    if (FileSystem::exists(outPath) && FileSystem::isReadOnly(outPath))
        return fail("The list file being saved is read-only. List NOT saved.");
    // A cell that happens to start with the marker byte would be taken for an
    // attachment; an empty folder makes its missing file end the save cleanly.
    ScratchFolder scratch;
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileWriter writer(messages, progress);
    writer.setDatabaseFolder(scratch.path());
    const int result = writer.save(outPath, ListFileSource{list.document, list.pageSetup, list.listType});
    if (result != ResultOk || messages.hasError())
        return fail(messages.firstErrorLine());
    return ExitOk;
}

int CliTool::extract(const std::string &path, const std::string &folderArg)
{
    const std::string folder = FileSystem::withTrailingSlash(folderArg);
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    ListFileVersion version = ListFileVersion::Unknown;
    {
        // Look before writing anything: only a version 1.1 list holds files.
        BinaryInStream probe;
        version = reader.openAndDetect(path, probe);
    }
    if (version == ListFileVersion::Unknown)
        return fail(messages.firstErrorLine());
    if (version != ListFileVersion::V11)
        return fail("This list file is version " + std::string(versionName(version)) +
                    ", which holds no embedded files.");
    if (!ensureFolder(folder))
        return fail("Unable to create the folder " + folderArg + ".");
    reader.setDatabaseFolder(folder);
    LoadedList list;
    if (!load(reader, messages, path, list))
        return fail(messages.firstErrorLine());
    return ExitOk;
}

} // namespace quorvex

#include "CliTool.h"

#include "NonInteractiveMessages.h"
#include "platform/core/AppConstants.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FileSystem.h"
#include "platform/core/StaleFiles.h"
#include "platform/core/ProgressReporter.h"
#include "document/core/AttachmentRef.h"
#include "document/core/Editor.h"
#include "document/core/ExcelText.h"
#include "document/core/ListDocument.h"
#include "listfile/core/ListFileFormat.h"
#include "listfile/core/ListFileReader.h"
#include "listfile/core/ListFileWriter.h"
#include "listfile/core/TextListImport.h"
#include "document/core/TextConversion.h"
#include "platform/core/UnicodeText.h"
#include "import/core/TellicoImport.h"
#include "document/core/PageSetup.h"
#include "print/core/PageSelection.h"
#include "print/core/PrintEngine.h"
#include "print/core/PrintLayout.h"
#include "sort/core/SortEngine.h"
#include "sort/core/SortOptions.h"
#include "search/core/GridSearch.h"
#include "stats/core/ListStatistics.h"
#include "stats/core/StatisticsReport.h"
#include "export/core/CsvExport.h"
#include "export/core/HtmlCatalogue.h"
#include "appearance/core/GridTemplates.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

namespace quorvex {

namespace {

const char *const Prefix = "quorvex-cli: ";

bool processEndsAfterRun = false;

struct LoadedList {
    ListDocument document;
    PageSetup pageSetup;
    std::string listType;
    ListFileVersion version = ListFileVersion::Unknown;
};

// Scratch folders are named after the process that made them, so a killed
// run's folder can be told from a running one's and removed by the next run.
constexpr const char *ScratchPrefix = "quorvex-cli-";

// The words after the command: positional ones, flags and "--name VALUE" or
// "--name=VALUE" options, each given at most once; "--" ends the options.
// Anything else starting with "--" makes the command line a usage error.
struct CommandArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string &flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string &name) const
    {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

std::optional<CommandArgs> parseCommandArgs(const std::vector<std::string> &args,
                                            std::initializer_list<std::string> flags,
                                            std::initializer_list<std::string> valued)
{
    CommandArgs parsed;
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
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (eq == std::string::npos && std::find(flags.begin(), flags.end(), name) != flags.end()) {
            if (!parsed.flags.insert(name).second)
                return std::nullopt;
            continue;
        }
        if (std::find(valued.begin(), valued.end(), name) == valued.end() || parsed.values.count(name))
            return std::nullopt;
        if (eq != std::string::npos)
            parsed.values[name] = a.substr(eq + 1);
        else if (i + 1 < args.size())
            parsed.values[name] = args[++i];
        else
            return std::nullopt;
    }
    return parsed;
}

const char *versionName(ListFileVersion v)
{
    return ListFileFormat::versionName(v);
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

// Reads a list for a verb that only looks at its cells: attachments stay in
// the file. The error line when it could not be read.
std::optional<std::string> readCellsOnly(const std::string &path, LoadedList &list)
{
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setExtractAttachments(false);
    if (!load(reader, messages, path, list))
        return messages.firstErrorLine();
    return std::nullopt;
}

bool ensureFolder(const std::string &folder)
{
    return FileSystem::isDirectory(folder) || FileSystem::createFolders(folder);
}

// --database DIR and --strict of the verbs that read or write lists.
bool takeListOptions(const CommandArgs &parsed, CliTool::ListOptions &options)
{
    if (const auto database = parsed.value("database")) {
        if (database->empty())
            return false;
        options.database = *database;
    }
    options.strict = parsed.has("strict");
    return true;
}

// Command-line text is UTF-8 (checked first); list text is the list's
// encoding, "?" for what Windows-1252 cannot hold.
std::string inListEncoding(const std::string &utf8, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return utf8;
    std::size_t replaced = 0;
    return UnicodeText::toCp1252(utf8, replaced);
}

// "N characters Windows-1252 cannot hold became "?"": the line a conversion
// that lost characters ends with.
std::string replacedLine(std::size_t replaced)
{
    return std::to_string(replaced) + (replaced == 1 ? " character" : " characters") +
           " Windows-1252 cannot hold became \"?\"";
}

// The services an editor needs where nothing is shown and nothing is copied.
class NoShell final : public DesktopShell {
public:
    bool openPath(const std::string &) override { return false; }
    bool openUrl(const std::string &) override { return false; }
};

class NoClipboard final : public ClipboardService {
public:
    bool hasText() const override { return false; }
    std::string text() const override { return {}; }
    void setText(const std::string &) override {}
};

} // namespace

std::string CliTool::usage()
{
    return "usage: quorvex-cli info LIST\n"
           "       quorvex-cli export LIST OUT|- [--utf8 | --csv]\n"
           "       quorvex-cli html LIST OUTDIR [--template NAME] [--replace]\n"
           "       quorvex-cli convert IN OUT [--unicode | --windows-1252] [--strict]\n"
           "       quorvex-cli import IN OUT [--type LISTTYPE] [--unicode] [--strict]\n"
           "       quorvex-cli extract LIST DIR | extract LIST --database DIR\n"
           "       quorvex-cli print LIST OUT.pdf [--range A-B | --pages LIST] [--odd-first]\n"
           "       quorvex-cli sort IN OUT [--keys C1,C2,...] [--case-sensitive] [--backwards] [--strict]\n"
           "       quorvex-cli replace IN OUT --find TEXT --with TEXT [--entire-cell] [--strict]\n"
           "       quorvex-cli stats LIST [--column N] [--json]\n"
           "       quorvex-cli --version\n"
           "IN of import: tab- or comma-separated text, UTF-8 or Windows-1252, or a Tellico collection (.tc),\n"
           "whose pictures go into --database DIR (needed for an .lstd OUT).\n"
           "Every verb that reads or writes lists takes --database DIR: the folder a version 1.1 list's\n"
           "attachments are put into and taken from (else a scratch folder). OUT - of export: standard output.\n"
           "--find and --with: UTF-8 text. --unicode: the list written holds UTF-8 (version 1.3 or 1.4);\n"
           "--windows-1252: versions 1.1 and 1.2. --utf8: UTF-8 text with LF line ends.\n"
           "--csv: comma-separated UTF-8 with a header row instead of tab-separated text. html writes a web\n"
           "page of the list with picture thumbnails into OUTDIR; --template: one of the grid colour templates;\n"
           "--replace: replace an index.html that Quorvex did not write.\n"
           "An attachment whose file is not in the database folder is saved\n"
           "without its file, with a warning; --strict ends the save instead.\n";
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
    static const std::set<std::string> verbs = {"info", "export", "convert", "import", "extract",
                                                "print", "sort",   "replace", "stats", "html"};
    if (!verbs.count(command))
        return usageError();
    // What killed runs left in the temporary folder goes before this run starts.
    StaleFiles::removeStaleFolders(ScratchFolder::systemTempFolder(), ScratchPrefix);
    m_options = ListOptions{};
    try {
        if (command == "print")
            return print(args);
        if (command == "sort")
            return sort(args);
        if (command == "stats")
            return stats(args);
        if (command == "html")
            return html(args);
        if (command == "replace") {
            const auto parsed = parseCommandArgs(args, {"entire-cell", "strict"}, {"find", "with", "database"});
            if (!parsed || parsed->positional.size() != 2 || parsed->positional[0].empty() ||
                parsed->positional[1].empty() || !parsed->value("find") || !parsed->value("with") ||
                parsed->value("find")->empty() || !takeListOptions(*parsed, m_options))
                return usageError();
            // Text that is not UTF-8 would find nothing, silently.
            if (!TextListImport::isValidUtf8(*parsed->value("find")) || !TextListImport::isValidUtf8(*parsed->value("with")))
                return usageError();
            return replace(parsed->positional[0], parsed->positional[1], *parsed->value("find"),
                           *parsed->value("with"), parsed->has("entire-cell"));
        }

        const auto parsed = command == "import"    ? parseCommandArgs(args, {"strict", "unicode"}, {"type", "database"})
                            : command == "convert" ? parseCommandArgs(args, {"strict", "unicode", "windows-1252"},
                                                                      {"database"})
                            : command == "export"  ? parseCommandArgs(args, {"utf8", "csv"}, {"database"})
                                                   : parseCommandArgs(args, {}, {"database"});
        if (!parsed || !takeListOptions(*parsed, m_options))
            return usageError();
        if (parsed->has("unicode") && parsed->has("windows-1252"))
            return usageError();
        std::optional<TextEncoding> encoding;
        if (parsed->has("unicode"))
            encoding = TextEncoding::Utf8;
        else if (parsed->has("windows-1252"))
            encoding = TextEncoding::Windows1252;
        std::size_t wanted = command == "info" ? 1 : 2;
        // extract LIST DIR, or extract LIST --database DIR.
        if (command == "extract" && parsed->value("database"))
            wanted = 1;
        if (parsed->positional.size() != wanted)
            return usageError();
        for (const std::string &p : parsed->positional)
            if (p.empty())
                return usageError();
        const auto &pos = parsed->positional;
        if (command == "info")
            return info(pos[0]);
        if (command == "export")
            return parsed->has("csv") ? (parsed->has("utf8") ? usageError() : exportCsv(pos[0], pos[1]))
                                      : exportList(pos[0], pos[1], parsed->has("utf8"));
        if (command == "extract")
            return extract(pos[0], wanted == 1 ? m_options.database : pos[1]);
        if (command == "convert")
            return convert(pos[0], pos[1], m_options.database, encoding);
        const std::string type = parsed->value("type").value_or(DefaultImportType);
        if (type.size() > static_cast<std::size_t>(ListFileFormat::MaxListTypeLength))
            return usageError();
        return import(pos[0], pos[1], type, encoding.value_or(TextEncoding::Windows1252));
    } catch (const std::bad_alloc &) {
        return fail("not enough memory");
    } catch (const std::exception &e) {
        return fail(NonInteractiveMessages::oneLine(e.what()));
    }
}

std::string CliTool::attachmentFolder(const std::string &scratch) const
{
    return m_options.database.empty() ? scratch : FileSystem::withTrailingSlash(m_options.database);
}

int CliTool::writeList(const std::string &outPath, const ListFileSource &source, const std::string &folder,
                       NonInteractiveMessages &messages, ProgressReporter &progress)
{
    // Through a link to the file it names: the link stays a link.
    std::string target;
    bool throughProc = false;
    if (!AtomicFile::resolveLinks(outPath, target, throughProc))
        return fail("Unable to follow the link " + outPath + ". " + FileSystem::errorCause(errno) +
                    " List NOT saved.");
    if (throughProc || (FileSystem::exists(target) && !FileSystem::isRegularFile(target)))
        return fail(outPath + " is not a regular file; a list is saved only to a regular file. List NOT saved.");
    if (FileSystem::exists(target) && FileSystem::isReadOnly(target))
        return fail("The list file being saved is read-only. List NOT saved.");
    messages.setSkipMissingAttachments(!m_options.strict);
    ListFileWriter writer(messages, progress);
    writer.setDatabaseFolder(folder);
    // The version follows the name given, as the Save As dialog's type does,
    // and the list's encoding: a Unicode list stays one.
    const int result =
        writer.saveAs(target, source, ListFileFormat::versionForPath(outPath, source.document.textEncoding()));
    if (result != ResultOk || messages.hasError())
        return fail(messages.firstErrorLine());
    for (const std::string &file : messages.skippedFiles())
        m_err << Prefix << "warning: " << file << " is missing; its attachment was saved without the file.\n";
    m_err.flush();
    return ExitOk;
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
    const TextEncoding encoding = doc.textEncoding();
    m_out << "version: " << versionName(list.version) << '\n';
    m_out << "text: " << textEncodingName(encoding) << '\n';
    m_out << "list type: " << ListFileFormat::toUtf8(list.listType, encoding) << '\n';
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
                               ListFileFormat::toUtf8(std::string(AttachmentRef::fileName(text)), encoding));
        }
    }
    m_out << "attachment references: " << refs.size() << '\n';
    for (const std::string &line : refs)
        m_out << line << '\n';
    if (list.version == ListFileVersion::V11 || list.version == ListFileVersion::V13) {
        std::vector<std::string> embedded;
        for (const EmbeddedFileRecord &rec : reader.embeddedFiles())
            if (rec.present)
                embedded.push_back("  " + ListFileFormat::toUtf8(rec.name, encoding) + ": " + std::to_string(rec.size) +
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
    return ExcelText::exportFileText(doc);
}

std::string CliTool::exportUtf8Text(const ListDocument &doc)
{
    return ExcelText::exportUtf8Text(doc);
}

int CliTool::exportList(const std::string &path, const std::string &outPath, bool utf8)
{
    LoadedList list;
    if (const auto error = readCellsOnly(path, list))
        return fail(*error);
    const std::string text = utf8 ? exportUtf8Text(list.document) : exportText(list.document);
    if (outPath == "-") {
        m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
        m_out.flush();
        return m_out.good() ? ExitOk : fail("List was not exported: standard output could not be written.");
    }
    if (FileSystem::exists(outPath) && FileSystem::isReadOnly(outPath))
        return fail("The text file being saved is read-only. List NOT exported.");
    if (!FileSystem::writeFileAtomic(outPath, text))
        return fail("List was not exported. Please make sure the disk is not write protected.");
    return ExitOk;
}

int CliTool::exportCsv(const std::string &path, const std::string &outPath)
{
    LoadedList list;
    if (const auto error = readCellsOnly(path, list))
        return fail(*error);
    if (outPath == "-") {
        const std::string text = CsvExport::text(list.document);
        m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
        m_out.flush();
        return m_out.good() ? ExitOk : fail("List was not exported: standard output could not be written.");
    }
    if (FileSystem::exists(outPath) && FileSystem::isReadOnly(outPath))
        return fail("The CSV file being saved is read-only. List NOT exported.");
    const CsvExport::Result written = CsvExport::writeFile(list.document, {}, outPath);
    if (!written.ok)
        return fail("List was not exported. " + written.error);
    return ExitOk;
}

namespace {

Thumbnailer::ForeignReader &cliPictureReader()
{
    static Thumbnailer::ForeignReader reader;
    return reader;
}

// "All Wood 1" or "all wood 1": the template's index, 0 when none has the name.
int templateIndex(const std::string &name)
{
    auto lower = [](std::string t) {
        for (char &c : t)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return t;
    };
    for (int i = 1; i < GridTemplates::Count; ++i)
        if (lower(GridTemplates::name(i)) == lower(name))
            return i;
    return 0;
}

} // namespace

void CliTool::setPictureReader(Thumbnailer::ForeignReader reader)
{
    cliPictureReader() = std::move(reader);
}

int CliTool::html(const std::vector<std::string> &args)
{
    const auto parsed = parseCommandArgs(args, {"replace"}, {"template", "database"});
    if (!parsed || !takeListOptions(*parsed, m_options) || parsed->positional.size() != 2 ||
        parsed->positional[0].empty() || parsed->positional[1].empty())
        return usageError();
    const std::string &listPath = parsed->positional[0];
    const std::string &outFolder = parsed->positional[1];
    HtmlCatalogue::Options options;
    if (const auto name = parsed->value("template")) {
        const int index = templateIndex(*name);
        if (index == 0)
            return usageError();
        GridTemplates::apply(index, options.appearance, GridAppearance::DefaultButtonFace);
    }
    if (HtmlCatalogue::holdsForeignIndex(outFolder) && !parsed->has("replace"))
        return fail(FileSystem::withTrailingSlash(outFolder) + HtmlCatalogue::IndexName +
                    " exists and was not written by Quorvex; --replace replaces it. Catalogue NOT written.");

    // A version 1.1 list brings its pictures along: they are read from where
    // the reader puts them.
    ScratchFolder scratch(ScratchPrefix);
    const std::string folder = attachmentFolder(scratch.path());
    if (folder.empty() || !ensureFolder(folder))
        return fail("Unable to create the database folder " + m_options.database + ".");
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setDatabaseFolder(folder);
    LoadedList list;
    if (!load(reader, messages, listPath, list))
        return fail(messages.firstErrorLine());

    options.databaseFolder = folder;
    std::string title = listPath.substr(listPath.find_last_of('/') == std::string::npos
                                            ? 0
                                            : listPath.find_last_of('/') + 1);
    if (const std::size_t dot = title.find_last_of('.'); dot != std::string::npos && dot > 0)
        title.erase(dot);
    options.title = title;
    options.foreignReader = cliPictureReader();
    const HtmlCatalogue::Result written = HtmlCatalogue::write(list.document, outFolder, options);
    if (!written.ok)
        return fail("Catalogue NOT written. " + NonInteractiveMessages::oneLine(written.error));
    for (const std::string &name : written.missing)
        m_err << Prefix << "warning: " << name << " is not in the database folder; its cell shows the name.\n";
    for (const std::string &name : written.unreadable)
        m_err << Prefix << "warning: " << name << " could not be read as a picture; its cell shows the name.\n";
    for (const std::string &name : written.refused)
        m_err << Prefix << "warning: " << name << " names a file outside the database folder; it was left out.\n";
    m_err.flush();
    m_out << "rows: " << written.rows << "\npictures: " << written.pictures
          << "\nthumbnails written: " << written.thumbnailsWritten << "\nthumbnails kept: " << written.thumbnailsKept
          << '\n';
    m_out.flush();
    return ExitOk;
}

int CliTool::convert(const std::string &inPath, const std::string &outPath, const std::string &database,
                     std::optional<TextEncoding> encoding)
{
    ScratchFolder scratch(ScratchPrefix);
    const std::string folder = attachmentFolder(scratch.path());
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
    const TextEncoding from = list.document.textEncoding();
    if (encoding && *encoding != from) {
        // Attachment files keep their names on disk: a version 1.1 list's were
        // just written by the names of its own encoding, and are found by those.
        std::size_t typeReplaced = 0;
        const std::size_t replaced = TextConversion::convertDocument(list.document, *encoding);
        list.listType = TextConversion::convertText(list.listType, from, *encoding, typeReplaced);
        if (replaced + typeReplaced > 0)
            m_err << Prefix << replacedLine(replaced + typeReplaced) << ".\n";
    }
    return writeList(outPath, ListFileSource{list.document, list.pageSetup, list.listType}, folder, messages,
                     progress);
}

namespace {

// "3,1,2": data columns 1.. in priority order; nullopt when malformed.
std::optional<std::vector<int>> parseKeyList(const std::string &text)
{
    std::vector<int> keys;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        const std::string item = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (item.empty() || item.size() > 9 || item.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        keys.push_back(std::stoi(item));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    return keys;
}

} // namespace

int CliTool::sort(const std::vector<std::string> &args)
{
    const auto parsed = parseCommandArgs(args, {"case-sensitive", "backwards", "strict"}, {"keys", "database"});
    if (!parsed || !takeListOptions(*parsed, m_options))
        return usageError();
    const std::vector<std::string> &pos = parsed->positional;
    const std::optional<std::string> keysText = parsed->value("keys");
    const bool caseSensitive = parsed->has("case-sensitive"), backwards = parsed->has("backwards");
    if (pos.size() != 2 || pos[0].empty() || pos[1].empty())
        return usageError();
    std::vector<int> named;
    if (keysText) {
        const auto parsed = parseKeyList(*keysText);
        if (!parsed || parsed->size() > 8)
            return usageError();
        named = *parsed;
    }

    // The list outlives the scratch folder: its many rows are freed last,
    // when nothing else asks the allocator for memory.
    LoadedList list;
    // Freeing a million rows one by one takes longer than sorting them; when
    // the process ends next anyway, the rows go with it.
    struct LeaveToExit {
        LoadedList &list;
        ~LeaveToExit()
        {
            // Kept reachable, so that leak checkers do not count it.
            static std::vector<LoadedList *> *const kept = new std::vector<LoadedList *>;
            if (processEndsAfterRun)
                kept->push_back(new LoadedList(std::move(list)));
        }
    } leaveToExit{list};
    ScratchFolder scratch(ScratchPrefix);
    const std::string folder = attachmentFolder(scratch.path());
    if (folder.empty() || !ensureFolder(folder))
        return fail("Unable to create a temporary folder.");
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setDatabaseFolder(folder);
    if (!load(reader, messages, pos[0], list))
        return fail(messages.firstErrorLine());
    ListDocument &doc = list.document;

    // Named columns first, then the lowest ones not named; boxes beyond the
    // data columns read the page column, as the options dialog gives them.
    const int dataColumns = doc.ColCount() - 1;
    std::vector<bool> taken(static_cast<std::size_t>(dataColumns) + 1, false);
    for (int c : named) {
        if (c < 1 || c > dataColumns || taken[static_cast<std::size_t>(c)])
            return usageError();
        taken[static_cast<std::size_t>(c)] = true;
    }
    SortOptions options;
    options.caseSensitive = caseSensitive;
    options.backwards = backwards;
    std::size_t box = 0;
    for (int c : named)
        options.keyColumns[box++] = c;
    for (int c = 1; c <= dataColumns && box < options.keyColumns.size(); ++c)
        if (!taken[static_cast<std::size_t>(c)])
            options.keyColumns[box++] = c;
    while (box < options.keyColumns.size())
        options.keyColumns[box++] = 0;

    doc.RenumberPages(list.pageSetup.entriesPerPage());
    SortEngine::SortGrid(doc, options, 1, doc.RowCount());
    return writeList(pos[1], ListFileSource{list.document, list.pageSetup, list.listType}, folder, messages,
                     progress);
}

int CliTool::replace(const std::string &inPath, const std::string &outPath, const std::string &find,
                     const std::string &with, bool entireCell)
{
    // Attachments travel through a folder of our own, as with convert.
    ScratchFolder scratch(ScratchPrefix);
    const std::string folder = attachmentFolder(scratch.path());
    if (folder.empty() || !ensureFolder(folder))
        return fail("Unable to create a scratch folder for the attachments.");
    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setDatabaseFolder(folder);
    LoadedList list;
    if (!load(reader, messages, inPath, list))
        return fail(messages.firstErrorLine());

    NoShell shell;
    NoClipboard clipboard;
    Editor editor(UiServices{messages, progress, shell, clipboard});
    editor.document() = std::move(list.document);
    editor.document().SetCurrentCell(1, 1);
    GridSearch search(editor);
    search.options.entireCell = entireCell;
    search.options.prompt = false;
    // The texts as the list spells them: a Unicode list is searched in UTF-8.
    const TextEncoding encoding = editor.document().textEncoding();
    search.textToFind = inListEncoding(find, encoding);
    search.replaceWith = inListEncoding(with, encoding);
    const long long count = search.ReplaceAll();

    const int written =
        writeList(outPath, ListFileSource{editor.document(), list.pageSetup, list.listType}, folder, messages,
                  progress);
    if (written != ExitOk)
        return written;
    m_out << "replacements: " << count << '\n';
    m_out.flush();
    return ExitOk;
}

bool CliTool::importText(const std::string &text, ListDocument &doc)
{
    return TextListImport::importText(text, doc).ok;
}

int CliTool::import(const std::string &inPath, const std::string &outPath, const std::string &type,
                    TextEncoding encoding)
{
    if (inPath.size() > 3 && (inPath.compare(inPath.size() - 3, 3, ".tc") == 0 ||
                              inPath.compare(inPath.size() - 3, 3, ".TC") == 0))
        return importTellico(inPath, outPath);
    LoadedList list;
    TextImportLimits limits;
    limits.target = encoding;
    const TextListImport::Result imported = TextListImport::importFile(inPath, list.document, nullptr, limits);
    if (!imported.ok)
        return fail(NonInteractiveMessages::oneLine(imported.error));
    // Which characters were lost, and how to keep them.
    if (imported.replaced > 0)
        m_err << Prefix << replacedLine(imported.replaced) << ": " << imported.unstorableSample
              << ". --unicode keeps them.\n";
    list.listType = inListEncoding(type, encoding);
    TextListImport::fitColumnWidths(list.document);
    list.document.RenumberPages(list.pageSetup.entriesPerPage());
    // A cell that happens to start with the marker byte is taken for an
    // attachment; its file comes from the database folder given, if any.
    ScratchFolder scratch(ScratchPrefix);
    NonInteractiveMessages messages;
    SilentProgress progress;
    return writeList(outPath, ListFileSource{list.document, list.pageSetup, list.listType},
                     attachmentFolder(scratch.path()), messages, progress);
}

int CliTool::importTellico(const std::string &inPath, const std::string &outPath)
{
    ScratchFolder scratch(ScratchPrefix);
    const std::string folder = attachmentFolder(scratch.path());
    if (folder.empty() || !ensureFolder(folder))
        return fail("Unable to create the database folder " + m_options.database + ".");
    LoadedList list;
    const TellicoImport::Result imported = TellicoImport::importFile(inPath, folder, list.document);
    if (!imported.ok)
        return fail(NonInteractiveMessages::oneLine(imported.error));
    // A dependent list only points into the database folder: a scratch one
    // would take the pictures with it.
    const bool pictures = imported.picturesWritten + imported.picturesReused > 0;
    if (pictures && m_options.database.empty() && ListFileFormat::versionForPath(outPath) != ListFileVersion::V11)
        return fail("The collection has pictures, and a dependent list keeps them in a database folder: give "
                    "--database DIR. List NOT saved.");
    if (imported.picturesMissing > 0)
        m_err << Prefix << "warning: " << imported.picturesMissing
              << " pictures the collection names are not in its file.\n";
    list.listType = imported.listType;
    list.document.RenumberPages(list.pageSetup.entriesPerPage());
    NonInteractiveMessages messages;
    SilentProgress progress;
    return writeList(outPath, ListFileSource{list.document, list.pageSetup, list.listType}, folder, messages,
                     progress);
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

namespace {

CliTool::PdfPrintFunction &pdfPrinter()
{
    static CliTool::PdfPrintFunction printer;
    return printer;
}

// "A-B" with both numbers from 1 up.
bool parseRange(const std::string &text, int &first, int &last)
{
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos)
        return false;
    return PageSelection::parsePiece(text.substr(0, dash), first) &&
           PageSelection::parsePiece(text.substr(dash + 1), last) && first >= 1 && last >= 1 &&
           text[0] != '-' && text[0] != '+' && text[dash + 1] != '-' && text[dash + 1] != '+';
}

} // namespace

void CliTool::setProcessEndsAfterRun(bool ends)
{
    processEndsAfterRun = ends;
}

void CliTool::setPdfPrinter(PdfPrintFunction printer)
{
    pdfPrinter() = std::move(printer);
}

int CliTool::print(const std::vector<std::string> &args)
{
    std::vector<std::string> positional;
    PageSelection sel;
    bool haveRange = false, havePages = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--odd-first") {
            sel.oddsFirst = true;
        } else if (a == "--database" || a.rfind("--database=", 0) == 0) {
            // Printing reads no attachment file; the folder is taken as the other verbs take it.
            if (!m_options.database.empty() || (a == "--database" && i + 1 >= args.size()))
                return usageError();
            m_options.database = a == "--database" ? args[++i] : a.substr(11);
            if (m_options.database.empty())
                return usageError();
        } else if ((a == "--range" || a == "--pages") && i + 1 < args.size()) {
            if (haveRange || havePages)
                return usageError();
            const std::string &value = args[++i];
            if (a == "--range") {
                haveRange = true;
                if (!parseRange(value, sel.startPage, sel.endPage))
                    return usageError();
            } else {
                havePages = true;
                sel.rangeMode = false;
                sel.pageNums = value;
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return usageError();
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2 || positional[0].empty() || positional[1].empty())
        return usageError();
    if (!pdfPrinter())
        return fail("printing is not available in this build");

    NonInteractiveMessages messages;
    SilentProgress progress;
    ListFileReader reader(messages, progress);
    reader.setExtractAttachments(false);
    LoadedList list;
    if (!load(reader, messages, positional[0], list))
        return fail(messages.firstErrorLine());

    // As after opening the list in the program: the recommendation replaces the stored value.
    PrintJob job;
    job.setup = list.pageSetup;
    if (const auto m = PrintLayout::recommendedEntries(job.metrics, job.setup.landscape, job.setup.topIndent))
        job.setup.maxEntries = PrintLayout::clampEntries(*m);
    const int total = PrintLayout::totalPages(list.document.RowCount() - 1, job.setup.entriesPerPage());
    if (!haveRange && !havePages) {
        sel.startPage = 1;
        sel.endPage = total;
    }
    const PageSelection::Check check = sel.validate(total);
    if (!check.ok())
        return fail(check.messages.front());
    job.selection = sel;
    std::string name = positional[0];
    job.listName = PrintLayout::listName(true, name.find('/') == std::string::npos ? "./" + name : name);
    job.date = PrintLayout::today();
    // Nobody is asked here: a read-only PDF stays as it is.
    if (FileSystem::exists(positional[1]) && FileSystem::isReadOnly(positional[1]))
        return fail("The PDF file being saved is read-only. List NOT printed.");
    if (pdfPrinter()(list.document, job, positional[1], messages) != ResultOk || messages.hasError())
        return fail(messages.hasError() ? messages.firstErrorLine() : std::string("printing failed"));
    return ExitOk;
}

int CliTool::stats(const std::vector<std::string> &args)
{
    const auto parsed = parseCommandArgs(args, {"json"}, {"column", "database"});
    if (!parsed || parsed->positional.size() != 1 || parsed->positional[0].empty() ||
        !takeListOptions(*parsed, m_options))
        return usageError();
    int column = 0;
    if (const auto text = parsed->value("column")) {
        // Digits only: "3x" or "-1" is a slip, not column 3.
        if (text->empty() || text->size() > 9 || text->find_first_not_of("0123456789") != std::string::npos)
            return usageError();
        column = std::atoi(text->c_str());
        if (column < 1)
            return usageError();
    }
    LoadedList list;
    if (const auto error = readCellsOnly(parsed->positional[0], list))
        return fail(*error);
    const ListDocument &doc = list.document;
    if (column >= doc.ColCount())
        return fail("The list has no column " + std::to_string(column) + "; its data columns are 1 to " +
                    std::to_string(doc.ColCount() - 1) + ".");
    ListStatistics figures = ListStatistics::compute(doc, column);
    if (parsed->has("json"))
        StatisticsReport::writeJson(m_out, figures, doc.textEncoding());
    else
        StatisticsReport::writeText(m_out, figures, doc.textEncoding());
    m_out.flush();
    return m_out.good() ? ExitOk : fail("The figures could not be written to standard output.");
}

} // namespace quorvex

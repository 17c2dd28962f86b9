// The desktop's recently used files: what opening and saving a list adds to
// recently-used.xbel, read back with the toolkit's own XML reader.
#include "GuiSandbox.h"
#include "app/gui/TMainForm.h"
#include "platform/core/FileSystem.h"
#include "platform/core/RecentlyUsedList.h"

#include <QAction>
#include <QTest>
#include <QXmlStreamReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <memory>

using namespace quorvex;

namespace {

const char *const GtkFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\"\n"
    "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
    "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
    ">\n"
    "  <bookmark href=\"file:///home/ann/notes.txt\" added=\"2026-01-02T10:00:00.000001Z\" modified=\"2026-01-02T10:00:00.000001Z\" visited=\"2026-01-02T10:00:00.000001Z\">\n"
    "    <title>Notes &amp; plans</title>\n"
    "    <info>\n"
    "      <metadata owner=\"http://freedesktop.org\">\n"
    "        <mime:mime-type type=\"text/plain\"/>\n"
    "        <bookmark:groups>\n"
    "          <bookmark:group>gedit</bookmark:group>\n"
    "        </bookmark:groups>\n"
    "        <bookmark:applications>\n"
    "          <bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" modified=\"2026-01-02T10:00:00Z\" count=\"2\"/>\n"
    "        </bookmark:applications>\n"
    "        <bookmark:private/>\n"
    "      </metadata>\n"
    "    </info>\n"
    "  </bookmark>\n"
    "</xbel>\n";

// Every bookmark of a file as the toolkit's reader sees it.
struct Bookmark {
    QString added, modified, mime;
    std::map<QString, int> counts; // application name -> count
    QString exec;                  // ours
    bool isPrivate = false;
};

bool readXbel(const std::string &text, std::map<QString, Bookmark> &out)
{
    out.clear();
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    QString href;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QStringView name = xml.name();
        if (name == QLatin1String("bookmark")) {
            href = a.value(QLatin1String("href")).toString();
            out[href].added = a.value(QLatin1String("added")).toString();
            out[href].modified = a.value(QLatin1String("modified")).toString();
        } else if (name == QLatin1String("mime-type")) {
            out[href].mime = a.value(QLatin1String("type")).toString();
        } else if (name == QLatin1String("application")) {
            const QString app = a.value(QLatin1String("name")).toString();
            out[href].counts[app] = a.value(QLatin1String("count")).toInt();
            if (app == QLatin1String("Quorvex"))
                out[href].exec = a.value(QLatin1String("exec")).toString();
        } else if (name == QLatin1String("private")) {
            out[href].isPrivate = true;
        }
    }
    return !xml.hasError();
}

RecentlyUsedList::Use use(const std::string &path, const char *time = "2026-12-10T11:00:00.000000Z")
{
    return {path, "application/x-quorvex-list", "Quorvex", "quorvex %f", time};
}

} // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

private slots:
    void merge_addsOrUpdatesOurEntryAndKeepsEveryoneElses()
    {
        const std::string ours = "/home/ann/Tom & Jerry ü.lst";
        const QString uri = QStringLiteral("file:///home/ann/Tom%20&%20Jerry%20%C3%BC.lst");
        const struct {
            const char *what;
            std::string before;
            int count; // ours afterwards
            QString added;
        } cases[] = {
            {"no file yet", "", 1, QStringLiteral("2026-12-10T11:00:00.000000Z")},
            {"another program's list", GtkFile, 1, QStringLiteral("2026-12-10T11:00:00.000000Z")},
            {"ours already there",
             *RecentlyUsedList::merge(std::string(GtkFile), use("/home/ann/Tom & Jerry ü.lst",
                                                                  "2026-03-01T09:00:00.000000Z")),
             2, QStringLiteral("2026-03-01T09:00:00.000000Z")},
        };
        for (const auto &c : cases) {
            const std::optional<std::string> after = RecentlyUsedList::merge(c.before, use(ours));
            QVERIFY2(after, c.what);
            std::map<QString, Bookmark> marks;
            QVERIFY2(readXbel(*after, marks), c.what);
            QVERIFY2(marks.count(uri), c.what);
            Bookmark b = marks[uri];
            QCOMPARE(b.counts[QStringLiteral("Quorvex")], c.count);
            QCOMPARE(b.added, c.added);
            QCOMPARE(b.modified, QStringLiteral("2026-12-10T11:00:00.000000Z"));
            QCOMPARE(b.mime, QStringLiteral("application/x-quorvex-list"));
            QCOMPARE(b.exec, QStringLiteral("'quorvex %f'"));
            // Another program's entry stays as it was written.
            if (!c.before.empty()) {
                const std::string gtk(GtkFile);
                const std::size_t from = gtk.find("  <bookmark"), to = gtk.find("</bookmark>") + 11;
                QVERIFY2(after->find(gtk.substr(from, to - from)) != std::string::npos, c.what);
                QCOMPARE(marks.size(), size_t(2));
            }
        }
        // The same path in another spelling of the address is one entry.
        std::string once = *RecentlyUsedList::merge("", use("/home/ann/a~b.lst"));
        std::size_t at = once.find("a~b");
        once.replace(at, 3, "a%7eb");
        std::map<QString, Bookmark> marks;
        QVERIFY(readXbel(*RecentlyUsedList::merge(once, use("/home/ann/a~b.lst")), marks));
        QCOMPARE(marks.size(), size_t(1));
        QCOMPARE(marks.begin()->second.counts[QStringLiteral("Quorvex")], 2);

        // Past the limit the entries used longest ago go, ours stays.
        std::string full = "<xbel version=\"1.0\">\n";
        for (std::size_t i = 0; i < RecentlyUsedList::MaxBookmarks; ++i)
            full += "  <bookmark href=\"file:///f" + std::to_string(i) + "\" visited=\"2026-05-" +
                    (i == 500 ? std::string("01") : std::string("02")) + "T00:00:00Z\"/>\n";
        full += "</xbel>\n";
        QVERIFY(readXbel(*RecentlyUsedList::merge(full, use(ours)), marks));
        QCOMPARE(marks.size(), RecentlyUsedList::MaxBookmarks);
        QVERIFY(marks.count(uri) && !marks.count(QStringLiteral("file:///f500")) &&
                marks.count(QStringLiteral("file:///f0")) && marks.count(QStringLiteral("file:///f999")));
    }

    void add_leavesDamagedOrForeignFilesAlone()
    {
        test::TempFolder folder;
        const std::string dir = folder.path();
        const std::string gtk(GtkFile);
        std::string deep;
        for (int i = 0; i < 100; ++i)
            deep = "<a>" + deep + "</a>";
        const struct {
            const char *what;
            std::string bytes;
        } damaged[] = {
            {"cut short", gtk.substr(0, gtk.size() / 2)},
            {"not an xbel list", "<html><body/></html>"},
            {"an unknown entity", "<xbel><bookmark href=\"&nbsp;\"/></xbel>"},
            {"own definitions", "<!DOCTYPE xbel [<!ENTITY a \"aaaa\">]><xbel>&a;</xbel>"},
            {"two roots", "<xbel></xbel><xbel></xbel>"},
            {"mismatched end", "<xbel><bookmark></xbel></bookmark>"},
            {"nested past any list", "<xbel>" + deep + "</xbel>"},
            {"binary", std::string("\x00\xFF<xbel>", 9)},
        };
        for (const auto &c : damaged) {
            const std::string path = dir + "damaged.xbel";
            FileSystem::writeFileAtomic(path, c.bytes);
            QVERIFY2(RecentlyUsedList::add(path, use("/l.lst")) == RecentlyUsedList::Result::Damaged, c.what);
            QVERIFY2(FileSystem::readFile(path) == c.bytes, c.what);
        }

        // A link (a history sent to /dev/null), a pipe and a folder are left alone.
        FileSystem::writeFileAtomic(dir + "target", "kept");
        QCOMPARE(::symlink((dir + "target").c_str(), (dir + "link.xbel").c_str()), 0);
        QCOMPARE(::mkfifo((dir + "pipe.xbel").c_str(), 0600), 0);
        FileSystem::createFolders(dir + "folder.xbel/");
        for (const char *name : {"link.xbel", "pipe.xbel", "folder.xbel"})
            QVERIFY2(RecentlyUsedList::add(dir + name, use("/l.lst")) == RecentlyUsedList::Result::NotAFile, name);
        QCOMPARE(*FileSystem::readFile(dir + "target"), std::string("kept"));

        // A new file in a new folder, readable by its owner alone; no temporary
        // file is left beside it.
        const std::string made = dir + "data/sub/recently-used.xbel";
        QVERIFY(RecentlyUsedList::add(made, use("/l.lst")) == RecentlyUsedList::Result::Written);
        struct stat st;
        QCOMPARE(::stat(made.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        QCOMPARE(FileSystem::listFolder(dir + "data/sub/")->size(), size_t(1));
        std::map<QString, Bookmark> marks;
        QVERIFY(readXbel(*FileSystem::readFile(made), marks));
        QCOMPARE(marks.size(), size_t(1));

        QCOMPARE(RecentlyUsedList::location("/x/data", "/home/ann"), std::string("/x/data/recently-used.xbel"));
        QCOMPARE(RecentlyUsedList::location("relative", "/home/ann"),
                 std::string("/home/ann/.local/share/recently-used.xbel"));
        QCOMPARE(RecentlyUsedList::location(nullptr, nullptr), std::string());
        QCOMPARE(RecentlyUsedList::timestamp(0, 5), std::string("1970-01-01T00:00:00.000005Z"));
        QCOMPARE(RecentlyUsedList::timestamp(1796554800, 0), std::string("2026-12-06T11:00:00.000000Z"));
    }

    // The window adds what the user opens and saves, not the template it
    // starts from.
    void openAndSave_addTheListToTheDesktopsRecentFiles()
    {
        test::GuiSandbox sandbox;
        const std::string xbel = sandbox.home() + "data/recently-used.xbel";
        auto form = sandbox.start();
        QVERIFY(!FileSystem::exists(xbel));
        const std::string saved = sandbox.home() + "Movies.lstd";
        sandbox.chosenFiles.push_back({saved, 2});
        form->findChild<QAction *>(QStringLiteral("SaveListAsBtn"))->trigger();
        QVERIFY(FileSystem::exists(saved));
        form->listFiles().openListFile(saved);
        std::map<QString, Bookmark> marks;
        QVERIFY(readXbel(FileSystem::readFile(xbel).value_or(""), marks));
        const QString uri = QString::fromStdString(RecentlyUsedList::fileUri(FileSystem::longForm(saved)));
        QCOMPARE(marks.size(), size_t(1));
        QCOMPARE(marks[uri].counts[QStringLiteral("Quorvex")], 2);
        QCOMPARE(marks[uri].mime, QStringLiteral("application/x-quorvex-dependent-list"));
        form->ExitBtnClick();
    }
};

QTEST_MAIN(RecentFilesTest)
#include "RecentFilesTest.moc"

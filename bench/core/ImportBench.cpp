#include "document/core/ListDocument.h"
#include "import/core/CsvImportPlan.h"
#include "import/core/TellicoImport.h"
#include "platform/core/FileSystem.h"

#include <benchmark/benchmark.h>

#include <zip.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace quorvex;

namespace {

std::string tempFolder()
{
    char name[] = "/tmp/quorvex-bench-import-XXXXXX";
    return ::mkdtemp(name) ? std::string(name) + "/" : std::string();
}

// 100,000 video entries with genres, a cast table, a plot and, for one in a
// hundred, a cover in the archive.
std::string collectionXml(int entries)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tellico syntaxVersion=\"11\">\n"
                      "<collection title=\"Films\" type=\"3\"><fields>\n"
                      "<field name=\"title\" title=\"Title\" type=\"1\"/><field name=\"medium\" title=\"Medium\" type=\"3\"/>"
                      "<field name=\"year\" title=\"Year\" type=\"6\"/><field name=\"genre\" title=\"Genre\" type=\"1\" flags=\"7\"/>"
                      "<field name=\"cast\" title=\"Cast\" type=\"8\" flags=\"7\"/><field name=\"running-time\" title=\"Running Time\" type=\"6\"/>"
                      "<field name=\"director\" title=\"Director\" type=\"1\" flags=\"7\"/><field name=\"plot\" title=\"Plot\" type=\"2\"/>"
                      "<field name=\"cover\" title=\"Front Cover\" type=\"10\"/><field name=\"studio\" title=\"Studio\" type=\"1\"/>\n"
                      "</fields>\n";
    xml.reserve(static_cast<std::size_t>(entries) * 620);
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        const std::string k = std::to_string(i * 7919 % 100003);
        xml += "<entry id=\"" + n + "\"><title>Film number " + n + " of " + k + "</title><medium>" +
               (i % 3 ? "DVD" : "Blu-ray") + "</medium><year>" + std::to_string(1930 + i % 90) +
               "</year><genres><genre>Drama " + std::to_string(i % 17) + "</genre><genre>Crime</genre></genres>"
               "<casts><cast><column>Actor " + k + "</column><column>Role " + n + "</column></cast>"
               "<cast><column>Actress " + std::to_string(i % 977) + "</column><column>Role " + k +
               "</column></cast></casts><running-time>" + std::to_string(80 + i % 100) +
               "</running-time><directors><director>Director " + std::to_string(i % 4001) +
               "</director></directors><plot>A story of " + k + " people, told " + n +
               " times.&lt;br/&gt;The end.</plot>" + (i % 100 == 0 ? "<cover>c" + n + ".jpeg</cover>" : "") +
               "<studio>Studio " + std::to_string(i % 313) + "</studio></entry>\n";
    }
    xml += "</collection></tellico>\n";
    return xml;
}

void BM_TellicoImport100k(benchmark::State &state)
{
    const std::string dir = tempFolder();
    const std::string xml = collectionXml(100000);
    int error = 0;
    zip_t *archive = zip_open((dir + "films.tc").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    std::vector<std::string> covers;
    covers.reserve(1000);
    zip_file_add(archive, "tellico.xml", zip_source_buffer(archive, xml.data(), xml.size(), 0), 0);
    for (int i = 0; i < 100000; i += 100) {
        covers.push_back(std::string(20000, static_cast<char>(i)) + std::to_string(i));
        zip_file_add(archive, ("images/c" + std::to_string(i) + ".jpeg").c_str(),
                     zip_source_buffer(archive, covers.back().data(), covers.back().size(), 0), 0);
    }
    if (zip_close(archive) != 0) {
        state.SkipWithError("cannot write the collection");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const std::string db = dir + "db/";
        FileSystem::RemoveFolder(db);
        FileSystem::createFolders(db);
        state.ResumeTiming();
        ListDocument doc;
        const auto result = TellicoImport::importFile(dir + "films.tc", db, doc);
        if (!result.ok || doc.RowCount() != 100001 || result.picturesWritten != 1000)
            state.SkipWithError(("import failed: " + result.error).c_str());
        benchmark::DoNotOptimize(doc);
    }
    FileSystem::RemoveFolder(dir);
}
BENCHMARK(BM_TellicoImport100k)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime()->UseRealTime();

// A Windows-1252 spreadsheet text of 1,000,000 x 8 with semicolons and quotes,
// through the dialog's choices: two columns to the template, one skipped, the rest new.
void BM_CsvImportDialogMillionRows(benchmark::State &state)
{
    std::string text = "Nr;Movie Title;Skip me;Category;Main Actor;Duration;Year;Comment\r\n";
    text.reserve(80u << 20);
    for (int i = 0; i < 1000000; ++i) {
        text += std::to_string(i);
        text += ";\"Title; number ";
        text += std::to_string(i);
        text += "\";x;Drama;Caf\xE9 Actor;120;1999;\"said \"\"ok\"\"\"\r\n";
    }
    CsvImportPlan plan;
    plan.setBytes(std::move(text));
    CsvImportOptions options;
    options.destinations = {{CsvDestination::Kind::NewColumn, 0},
                            {CsvDestination::Kind::TemplateColumn, 2},
                            {CsvDestination::Kind::Skip, 0}};
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh plan each time: the decoding is part of the import.
        CsvImportPlan fresh = plan;
        state.ResumeTiming();
        ListDocument doc;
        const auto result = fresh.build(options, doc);
        if (!result.ok || doc.RowCount() != 1000001)
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(doc);
    }
}
BENCHMARK(BM_CsvImportDialogMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

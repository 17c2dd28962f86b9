#pragma once

#include "platform/core/FileSystem.h"

#include <zip.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace quorvex::test {

struct ZipMember {
    std::string name;
    std::string bytes;
    bool link = false;
};

// A zip archive written with libzip at `path`; its bytes are returned too.
inline std::string writeZip(const std::string &path, const std::vector<ZipMember> &members)
{
    int error = 0;
    zip_t *archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return {};
    for (const ZipMember &m : members) {
        zip_source_t *source = zip_source_buffer(archive, m.bytes.data(), m.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, m.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            continue;
        }
        if (m.link)
            zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                             static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
    }
    zip_close(archive);
    return FileSystem::readFile(path).value_or(std::string());
}

inline std::string tellicoXml(int type, const std::string &fields, const std::string &entries,
                              const std::string &extra = std::string())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE tellico PUBLIC \"-//Robby Stephenson/DTD Tellico V11.0//EN\" "
           "\"http://periapsis.org/tellico/dtd/v11/tellico.dtd\">\n"
           "<tellico xmlns=\"http://periapsis.org/tellico/\" syntaxVersion=\"11\">\n"
           " <collection title=\"Mine\" type=\"" +
           std::to_string(type) + "\">\n  <fields>\n" + fields + "  </fields>\n" + entries + extra +
           " </collection>\n</tellico>\n";
}

inline std::string field(const std::string &name, const std::string &title, int type = 1, int flags = 0)
{
    return "   <field name=\"" + name + "\" title=\"" + title + "\" type=\"" + std::to_string(type) + "\" flags=\"" +
           std::to_string(flags) + "\" category=\"General\" format=\"4\"/>\n";
}

// A video collection with the fields of the import's example.
inline std::string videoFields()
{
    return field("title", "Title") + field("medium", "Medium", 3) + field("year", "Production Year", 6) +
           field("genre", "Genre", 1, 7) + field("cast", "Cast", 8, 7) + field("running-time", "Running Time", 6) +
           field("director", "Director", 1, 7) + field("plot", "Plot Summary", 2) +
           field("cover", "Front Cover", 10) + field("comments", "Comments", 2) + field("keyword", "Keywords");
}

inline std::string sevenSamurai(const std::string &cover = "samurai.jpeg")
{
    return "  <entry id=\"1\">\n   <title>Seven Samurai</title>\n   <medium>DVD</medium>\n"
           "   <year>1954</year>\n   <genres><genre>Action</genre><genre>Drama</genre></genres>\n"
           "   <casts>\n    <cast><column>Toshirō Mifune</column><column>Kikuchiyo</column></cast>\n"
           "    <cast><column>Takashi Shimura</column><column>Kambei Shimada</column></cast>\n   </casts>\n"
           "   <running-time>207</running-time>\n   <directors><director>Akira Kurosawa</director></directors>\n"
           "   <plot>Farmers hire seven rōnin.&lt;br/&gt;They stay.</plot>\n"
           "   <cover>" +
           cover + "</cover>\n  </entry>\n";
}

} // namespace quorvex::test

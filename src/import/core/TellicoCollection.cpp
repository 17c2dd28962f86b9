#include "TellicoCollection.h"

#include <expat.h>

#include <algorithm>
#include <climits>

namespace quorvex {

int TellicoCollection::fieldIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name)
            return static_cast<int>(i);
    return -1;
}

std::string_view TellicoCollection::value(const Entry &entry, int field) const
{
    for (const auto &item : entry)
        if (static_cast<int>(item.first) == field)
            return item.second;
    return {};
}

namespace {

std::string_view localName(const char *name)
{
    std::string_view n(name);
    const std::size_t colon = n.rfind(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

const char *attribute(const char **attrs, std::string_view wanted)
{
    for (int i = 0; attrs[i]; i += 2)
        if (localName(attrs[i]) == wanted)
            return attrs[i + 1];
    return nullptr;
}

class XmlState {
public:
    XmlState(XML_Parser parser, TellicoCollection &collection, const TellicoXmlLimits &limits)
        : m_parser(parser), m_c(collection), m_limits(limits)
    {
    }

    std::string error;
    bool sawCollection = false;

    void start(const char *rawName, const char **attrs)
    {
        if (!error.empty())
            return;
        const std::string_view name = localName(rawName);
        if (m_stack.size() >= m_limits.maxDepth)
            return stop("The collection was refused: its XML is nested more than " +
                        std::to_string(m_limits.maxDepth) + " levels deep.");
        // A copy: the stack may move when it grows.
        const std::string parent = m_stack.empty() ? std::string() : m_stack.back();
        m_stack.emplace_back(name);
        const std::size_t depth = m_stack.size();
        if (m_skipDepth != 0)
            return;
        if (m_entryDepth != 0) {
            const std::size_t rel = depth - m_entryDepth;
            if (rel == 1) {
                m_n1.assign(name);
                m_n1Children = false;
                m_text1.clear();
            } else if (rel == 2) {
                m_n1Children = true;
                m_n2.assign(name);
                m_n2Children = false;
                m_text2.clear();
                m_columns.clear();
            } else if (rel == 3) {
                m_n2Children = true;
                m_text3.clear();
            }
            return;
        }
        if (name == "collection" && (depth == 1 || parent == "tellico")) {
            if (sawCollection) {
                // One collection a file; any further one is left out.
                m_skipDepth = depth;
                return;
            }
            sawCollection = true;
            if (const char *type = attribute(attrs, "type"))
                m_c.type = std::atoi(type);
            if (const char *title = attribute(attrs, "title"))
                m_c.title = title;
        } else if (name == "field" && parent == "fields") {
            const char *fieldName = attribute(attrs, "name");
            // "_default" stands for the type's standard fields; they are met in the entries.
            if (!fieldName || !*fieldName || std::string_view(fieldName) == "_default" || m_known.count(fieldName))
                return;
            if (m_c.fields.size() >= m_limits.maxFields)
                return tooManyFields();
            TellicoCollection::Field field;
            field.name = fieldName;
            const char *title = attribute(attrs, "title");
            field.title = title && *title ? title : fieldName;
            if (const char *type = attribute(attrs, "type"))
                field.type = std::atoi(type);
            field.declared = true;
            m_known.emplace(field.name, static_cast<int>(m_c.fields.size()));
            m_c.fields.push_back(std::move(field));
        } else if (name == "entry" && parent == "collection") {
            if (m_c.entries.size() >= m_limits.maxEntries)
                return stop("The collection has more than " + std::to_string(m_limits.maxEntries) +
                            " entries; a list cannot hold that many rows.");
            m_c.entries.emplace_back();
            m_entryDepth = depth;
        } else if (name == "image" && parent == "images") {
            const char *id = attribute(attrs, "id");
            m_imageId = id ? id : "";
            m_imageText.clear();
            m_inImage = !m_imageId.empty();
        }
    }

    void end()
    {
        if (!error.empty() || m_stack.empty())
            return;
        const std::size_t depth = m_stack.size();
        if (m_skipDepth != 0) {
            if (depth == m_skipDepth)
                m_skipDepth = 0;
        } else if (m_entryDepth != 0) {
            const std::size_t rel = depth - m_entryDepth;
            if (rel == 0) {
                m_entryDepth = 0;
            } else if (rel == 1) {
                if (!m_n1Children)
                    addValue(m_n1, m_text1);
            } else if (rel == 2) {
                if (m_n2Children) {
                    std::string row;
                    for (std::size_t i = 0; i < m_columns.size(); ++i) {
                        if (i > 0)
                            row += "::";
                        row += m_columns[i];
                    }
                    addValue(m_n2, row);
                } else {
                    addValue(m_n2, m_text2);
                }
            } else if (rel == 3) {
                m_columns.push_back(m_text3);
            }
        } else if (m_inImage && m_stack.back() == "image") {
            m_inImage = false;
            std::string bytes;
            if (!m_imageText.empty() && TellicoXmlReader::decodeBase64(m_imageText, bytes) && !bytes.empty())
                m_c.embeddedImages[m_imageId] = std::move(bytes);
            m_imageText.clear();
        }
        m_stack.pop_back();
    }

    void text(const char *s, int len)
    {
        if (!error.empty() || m_skipDepth != 0 || len <= 0)
            return;
        std::string *target = nullptr;
        std::size_t cap = m_limits.maxValueBytes;
        if (m_entryDepth != 0) {
            const std::size_t rel = m_stack.size() - m_entryDepth;
            if (rel == 1)
                target = m_n1Children ? nullptr : &m_text1;
            else if (rel == 2)
                target = m_n2Children ? nullptr : &m_text2;
            else if (rel == 3)
                target = &m_text3;
        } else if (m_inImage) {
            target = &m_imageText;
            cap = m_limits.maxImageBytes / 3 * 4 + 4096;
        }
        if (!target)
            return;
        if (target->size() + static_cast<std::size_t>(len) > cap)
            return stop("The collection was refused: a value in entry " + std::to_string(m_c.entries.size()) +
                        " is longer than " + std::to_string(cap) + " bytes.");
        target->append(s, static_cast<std::size_t>(len));
    }

    void stop(std::string message)
    {
        if (error.empty())
            error = std::move(message);
        XML_StopParser(m_parser, XML_FALSE);
    }

private:
    void tooManyFields()
    {
        stop("The collection has more than " + std::to_string(m_limits.maxFields) + " fields.");
    }

    void addValue(const std::string &fieldName, const std::string &value)
    {
        if (value.empty())
            return;
        int index;
        const auto known = m_known.find(fieldName);
        if (known != m_known.end()) {
            index = known->second;
        } else {
            // A field the list of fields leaves out still has its values kept.
            if (m_c.fields.size() >= m_limits.maxFields)
                return tooManyFields();
            TellicoCollection::Field field;
            field.name = fieldName;
            field.title = fieldName;
            m_c.fields.push_back(std::move(field));
            index = static_cast<int>(m_c.fields.size() - 1);
            m_known.emplace(fieldName, index);
        }
        TellicoCollection::Entry &entry = m_c.entries.back();
        for (auto &item : entry)
            if (static_cast<int>(item.first) == index) {
                if (item.second.size() + value.size() + 2 > m_limits.maxValueBytes)
                    return stop("The collection was refused: a value in entry " +
                                std::to_string(m_c.entries.size()) + " is longer than " +
                                std::to_string(m_limits.maxValueBytes) + " bytes.");
                item.second += "; ";
                item.second += value;
                return;
            }
        entry.emplace_back(static_cast<std::uint32_t>(index), value);
    }

    XML_Parser m_parser;
    TellicoCollection &m_c;
    const TellicoXmlLimits &m_limits;
    std::vector<std::string> m_stack;
    std::unordered_map<std::string, int> m_known;
    std::size_t m_skipDepth = 0;
    std::size_t m_entryDepth = 0;
    std::string m_n1, m_n2, m_text1, m_text2, m_text3;
    bool m_n1Children = false, m_n2Children = false;
    std::vector<std::string> m_columns;
    bool m_inImage = false;
    std::string m_imageId, m_imageText;
};

struct ParserFree {
    XML_Parser parser;
    ~ParserFree() { XML_ParserFree(parser); }
};

} // namespace

bool TellicoXmlReader::decodeBase64(std::string_view text, std::string &out)
{
    out.clear();
    out.reserve(text.size() / 4 * 3);
    std::uint32_t acc = 0;
    int bits = 0;
    bool padding = false;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else if (c == '=') {
            padding = true;
            continue;
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            continue;
        else
            return false;
        if (padding)
            return false;
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
    }
    return true;
}

TellicoXmlReader::Result TellicoXmlReader::read(std::string_view xml, TellicoCollection &collection,
                                                const Limits &limits)
{
    Result result;
    collection = TellicoCollection();
    ParserFree holder{XML_ParserCreate("UTF-8")};
    XML_Parser parser = holder.parser;
    if (!parser) {
        result.error = "Not enough memory to read the collection.";
        return result;
    }
    XmlState state(parser, collection, limits);
    XML_SetUserData(parser, &state);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetElementHandler(
        parser, [](void *data, const char *name, const char **attrs) { static_cast<XmlState *>(data)->start(name, attrs); },
        [](void *data, const char *) { static_cast<XmlState *>(data)->end(); });
    XML_SetCharacterDataHandler(parser,
                                [](void *data, const char *s, int len) { static_cast<XmlState *>(data)->text(s, len); });
    // No entity of the document's own is ever expanded: declaring one refuses it.
    XML_SetEntityDeclHandler(parser, [](void *data, const char *, int, const char *, int, const char *, const char *,
                                        const char *, const char *) {
        static_cast<XmlState *>(data)->stop("The collection was refused: its XML declares entities of its own.");
    });

    constexpr std::size_t Chunk = 1u << 24;
    std::size_t done = 0;
    do {
        const std::size_t n = std::min(Chunk, xml.size() - done);
        const bool last = done + n == xml.size();
        if (XML_Parse(parser, xml.data() + done, static_cast<int>(n), last) != XML_STATUS_OK) {
            if (state.error.empty())
                state.error = "The collection's XML is damaged at line " +
                              std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                              XML_ErrorString(XML_GetErrorCode(parser)) + ".";
            break;
        }
        done += n;
    } while (done < xml.size());
    if (state.error.empty() && !state.sawCollection)
        state.error = "The file is not a Tellico collection: it holds no collection.";
    if (!state.error.empty()) {
        result.error = state.error;
        collection = TellicoCollection();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace quorvex

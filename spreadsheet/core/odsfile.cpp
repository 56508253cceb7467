#include "spreadsheet/core/odsfile.h"

#include "common/atomicsave.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/qvcodf.h"
#include "spreadsheet/core/workbook.h"

#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace sheet {
namespace {

const std::string kOfficeNs = odf::kOffice.toStdString();
const std::string kStyleNs = odf::kStyle.toStdString();
const std::string kDrawNs = odf::kDraw.toStdString();
const std::string kXlinkNs = odf::kXlink.toStdString();
constexpr char kSpreadsheetType[] = "application/vnd.oasis.opendocument.spreadsheet";
constexpr char kChartType[] = "application/vnd.oasis.opendocument.chart";

// Messages

VelmoraError damagedArchive()
{
    return VelmoraError(QStringLiteral("Ce fichier .ods est endommagé : son archive zip ne se lit pas."));
}

VelmoraError tooLarge()
{
    return VelmoraError(QStringLiteral("Ce classeur est trop grand une fois décompressé (plus de %1 Mo) : il n'a "
                                       "pas été ouvert.")
                                .arg(ods::kMaxUnpackedBytes / (1024 * 1024)));
}

VelmoraError notASpreadsheet()
{
    return VelmoraError(QStringLiteral("Ce fichier n'est pas un classeur (tableur OpenDocument attendu)"));
}

VelmoraError cannotPack() { return VelmoraError(QStringLiteral("Le classeur n'a pas pu être écrit au format .ods.")); }

// XML names. The parts are read without a namespace-aware parser: a prefix is resolved
// through the declarations on the element and its ancestors.

std::string_view prefixOf(std::string_view qualified)
{
    const auto colon = qualified.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
}

std::string_view localOf(std::string_view qualified)
{
    const auto colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

std::string qualifiedName(std::string_view prefix, std::string_view local)
{
    return prefix.empty() ? std::string(local) : std::string(prefix) + ':' + std::string(local);
}

bool isDeclaration(std::string_view attribute) { return attribute == "xmlns" || attribute.starts_with("xmlns:"); }

std::string_view namespaceAt(pugi::xml_node node, std::string_view prefix)
{
    const std::string declaration = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (; node; node = node.parent())
        if (const pugi::xml_attribute a = node.attribute(declaration.c_str()))
            return a.value();
    return {};
}

bool isElement(pugi::xml_node node, std::string_view ns, std::string_view local)
{
    return node.type() == pugi::node_element && localOf(node.name()) == local
            && namespaceAt(node, prefixOf(node.name())) == ns;
}

pugi::xml_node childElement(pugi::xml_node parent, std::string_view ns, std::string_view local)
{
    for (pugi::xml_node child : parent.children())
        if (isElement(child, ns, local))
            return child;
    return {};
}

pugi::xml_attribute attributeOf(pugi::xml_node node, std::string_view ns, std::string_view local)
{
    for (pugi::xml_attribute a : node.attributes()) {
        const std::string_view name = a.name();
        const std::string_view prefix = prefixOf(name);
        if (!prefix.empty() && prefix != "xmlns" && localOf(name) == local && namespaceAt(node, prefix) == ns)
            return a;
    }
    return {};
}

// The prefix `root` declares for `ns`; empty when it declares none.
std::string prefixFor(pugi::xml_node root, std::string_view ns)
{
    for (pugi::xml_attribute a : root.attributes()) {
        const std::string_view name = a.name();
        if (name.starts_with("xmlns:") && ns == a.value())
            return std::string(name.substr(6));
    }
    return {};
}

// Gives `node`, placed under `parent`, the namespace declarations of `sourceRoot` (the root of
// the document it comes from) that mean something else, or nothing, under `parent`.
void redeclare(pugi::xml_node node, pugi::xml_node parent, pugi::xml_node sourceRoot)
{
    for (pugi::xml_attribute a : sourceRoot.attributes()) {
        const std::string_view name = a.name();
        if (!isDeclaration(name) || node.attribute(a.name()))
            continue;
        const std::string_view prefix = name == "xmlns" ? std::string_view() : name.substr(6);
        if (namespaceAt(parent, prefix) != a.value())
            node.append_attribute(a.name()) = a.value();
    }
}

// Copies `node` of another document into `parent`, before `before` or at the end.
pugi::xml_node adopt(pugi::xml_node parent, pugi::xml_node before, pugi::xml_node node, pugi::xml_node sourceRoot)
{
    pugi::xml_node copy = before ? parent.insert_copy_before(node, before) : parent.append_copy(node);
    redeclare(copy, parent, sourceRoot);
    return copy;
}

void copyDeclarations(pugi::xml_node from, pugi::xml_node to)
{
    for (pugi::xml_attribute a : from.attributes())
        if (isDeclaration(a.name()) && !to.attribute(a.name()))
            to.append_attribute(a.name()) = a.value();
}

// Whitespace-only text is kept: between the spans of a cell's paragraph it is text, and the
// flat reader is left to tell it from indentation. Attribute values are taken as written.
constexpr unsigned kParseOptions = (pugi::parse_default & ~pugi::parse_wconv_attribute) | pugi::parse_ws_pcdata;

// Parses `bytes` in place (the document points into them).
bool parse(pugi::xml_document &doc, QByteArray &bytes, pugi::xml_parse_result *result = nullptr)
{
    const pugi::xml_parse_result r = doc.load_buffer_inplace(bytes.data(), size_t(bytes.size()), kParseOptions);
    if (result)
        *result = r;
    return bool(r);
}

void parsePart(pugi::xml_document &doc, QByteArray &bytes, const char *part)
{
    pugi::xml_parse_result result;
    if (!parse(doc, bytes, &result))
        throw VelmoraError(QStringLiteral("Ce classeur est endommagé : %1 n'est pas un XML lisible (octet %2).")
                                   .arg(QLatin1String(part))
                                   .arg(result.offset));
}

class ByteWriter : public pugi::xml_writer
{
public:
    explicit ByteWriter(QByteArray &out) : m_out(out) { }
    void write(const void *data, size_t size) override
    {
        m_out.append(static_cast<const char *>(data), qsizetype(size));
    }

private:
    QByteArray &m_out;
};

QByteArray serialize(const pugi::xml_document &doc)
{
    QByteArray out;
    ByteWriter writer(out);
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return out;
}

// Zip archives in memory

class ZipReader
{
public:
    explicit ZipReader(const QByteArray &bytes) : m_bytes(bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip)
                zip_source_free(source);
        }
        zip_error_fini(&error);
        if (!m_zip)
            throw damagedArchive();
    }
    ~ZipReader() { zip_discard(m_zip); }
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    // The decompressed bytes of the part `name`, counted against what the package may
    // weigh; nothing when the package has no such part.
    std::optional<QByteArray> part(const char *name)
    {
        const zip_int64_t index = zip_name_locate(m_zip, name, 0);
        if (index < 0)
            return std::nullopt;
        zip_stat_t stat;
        zip_stat_init(&stat);
        const bool sized = zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE);
        if (sized && stat.size > zip_uint64_t(m_budget))
            throw tooLarge();
        zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        if (!file)
            throw damagedArchive();
        QByteArray out;
        if (sized)
            out.reserve(qsizetype(stat.size));
        // The sizes the archive states are not trusted: what inflates is counted as it comes.
        std::vector<char> chunk(1 << 16);
        for (;;) {
            const zip_int64_t n = zip_fread(file, chunk.data(), chunk.size());
            if (n < 0 || n > m_budget) {
                zip_fclose(file);
                if (n < 0)
                    throw damagedArchive();
                throw tooLarge();
            }
            if (n == 0)
                break;
            m_budget -= n;
            out.append(chunk.data(), qsizetype(n));
        }
        if (zip_fclose(file) != 0)
            throw damagedArchive();
        return out;
    }

private:
    QByteArray m_bytes;
    zip_t *m_zip = nullptr;
    qint64 m_budget = ods::kMaxUnpackedBytes;
};

class ZipWriter
{
public:
    ZipWriter()
    {
        zip_error_t error;
        zip_error_init(&error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (m_source) {
            zip_source_keep(m_source); // the archive's bytes are read back after closing it
            m_zip = zip_open_from_source(m_source, ZIP_TRUNCATE, &error);
            if (!m_zip)
                zip_source_free(m_source); // the reference the failed open did not take
        }
        zip_error_fini(&error);
        if (!m_zip)
            throw cannotPack();
    }
    ~ZipWriter()
    {
        if (m_zip)
            zip_discard(m_zip);
        if (m_source)
            zip_source_free(m_source);
    }
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    void add(const std::string &name, QByteArray bytes, bool stored = false)
    {
        m_kept.push_back(std::move(bytes)); // the archive reads them when it is closed
        const QByteArray &kept = m_kept.back();
        zip_source_t *source = zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0);
        if (!source)
            throw cannotPack();
        const zip_int64_t index = zip_file_add(m_zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            throw cannotPack();
        }
        if (zip_set_file_compression(m_zip, zip_uint64_t(index), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, stored ? 0 : 6)
            != 0)
            throw cannotPack();
    }

    QByteArray finish()
    {
        if (zip_close(m_zip) != 0)
            throw cannotPack();
        m_zip = nullptr;
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_source_stat(m_source, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) || zip_source_open(m_source) != 0)
            throw cannotPack();
        QByteArray out(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t n = zip_source_read(m_source, out.data(), stat.size);
        zip_source_close(m_source);
        if (n < 0 || zip_uint64_t(n) != stat.size)
            throw cannotPack();
        return out;
    }

private:
    zip_source_t *m_source = nullptr;
    zip_t *m_zip = nullptr;
    std::vector<QByteArray> m_kept;
};

// Joining the parts

// Takes `theirs` (a list of named declarations of styles.xml) into the flat document: whole
// before `before` when the content has no such list (`ours`), else those of its entries whose
// name the content's list does not have.
void mergeNamed(pugi::xml_node root, pugi::xml_node ours, pugi::xml_node theirs, pugi::xml_node before,
                pugi::xml_node stylesRoot)
{
    if (!theirs)
        return;
    if (!ours) {
        adopt(root, before, theirs, stylesRoot);
        return;
    }
    std::unordered_set<std::string> known;
    for (pugi::xml_node n : ours.children())
        known.insert(attributeOf(n, kStyleNs, "name").value());
    for (pugi::xml_node n : theirs.children())
        if (n.type() == pugi::node_element && !known.count(attributeOf(n, kStyleNs, "name").value()))
            adopt(ours, {}, n, stylesRoot);
}

// Takes the font declarations, styles, automatic styles and master pages of styles.xml into
// the flat document `root` (content.xml's root): the content's own automatic styles win over
// those of styles.xml of the same name, which only the master pages use.
void mergeStyles(pugi::xml_node root, pugi::xml_node stylesRoot)
{
    const pugi::xml_node body = childElement(root, kOfficeNs, "body");
    const pugi::xml_node autoStyles = childElement(root, kOfficeNs, "automatic-styles");
    const pugi::xml_node stylesAnchor = autoStyles ? autoStyles : body;
    mergeNamed(root, childElement(root, kOfficeNs, "font-face-decls"),
               childElement(stylesRoot, kOfficeNs, "font-face-decls"), stylesAnchor, stylesRoot);
    if (pugi::xml_node styles = childElement(stylesRoot, kOfficeNs, "styles"))
        adopt(root, stylesAnchor, styles, stylesRoot);
    mergeNamed(root, autoStyles, childElement(stylesRoot, kOfficeNs, "automatic-styles"), body, stylesRoot);
    if (pugi::xml_node master = childElement(stylesRoot, kOfficeNs, "master-styles"))
        adopt(root, body, master, stylesRoot);
}

// The root element of a part, parsed into `doc`, when it is office:`local`.
pugi::xml_node partRoot(pugi::xml_document &doc, std::optional<QByteArray> &bytes, const char *part, const char *local)
{
    if (!bytes)
        return {};
    parsePart(doc, *bytes, part);
    const pugi::xml_node root = doc.document_element();
    return isElement(root, kOfficeNs, local) ? root : pugi::xml_node();
}

// Splitting the flat document

// The automatic styles that office:styles names as data styles, copied into it: styles.xml
// cannot refer to the automatic styles of content.xml.
void copyDataStylesUsed(pugi::xml_node styles, pugi::xml_node autoStyles)
{
    if (!styles || !autoStyles)
        return;
    std::unordered_set<std::string> used;
    for (pugi::xml_node style : styles.children())
        if (const pugi::xml_attribute a = attributeOf(style, kStyleNs, "data-style-name"))
            used.insert(a.value());
    for (pugi::xml_node s : autoStyles.children())
        if (s.type() == pugi::node_element && used.count(attributeOf(s, kStyleNs, "name").value()))
            styles.append_copy(s);
}

// The draw:object elements of the body, in document order.
std::vector<pugi::xml_node> drawObjects(pugi::xml_node root)
{
    std::vector<pugi::xml_node> objects;
    const pugi::xml_node body = childElement(root, kOfficeNs, "body");
    for (pugi::xml_node n = body.first_child(); n;) {
        if (localOf(n.name()) == "object" && isElement(n, kDrawNs, "object"))
            objects.push_back(n);
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != body && !n.next_sibling())
            n = n.parent();
        if (!n || n == body)
            break;
        n = n.next_sibling();
    }
    return objects;
}

// The charts of the body, held inline in the flat document, become embedded objects of the
// package ("Object 1", ...), as the other spreadsheets write and read them.
std::vector<std::pair<std::string, QByteArray>> extractCharts(pugi::xml_node root, const std::string &version)
{
    std::vector<pugi::xml_node> objects = drawObjects(root);
    std::erase_if(objects, [](pugi::xml_node o) { return !childElement(o, kOfficeNs, "document"); });
    std::vector<std::pair<std::string, QByteArray>> parts;
    std::string xlink = prefixFor(root, kXlinkNs);
    for (pugi::xml_node object : objects) {
        const pugi::xml_node inlineDoc = childElement(object, kOfficeNs, "document");
        const std::string officePrefix(prefixOf(inlineDoc.name()));
        pugi::xml_document doc;
        pugi::xml_node decl = doc.append_child(pugi::node_declaration);
        decl.append_attribute("version") = "1.0";
        decl.append_attribute("encoding") = "UTF-8";
        pugi::xml_node partRoot = doc.append_child(qualifiedName(officePrefix, "document-content").c_str());
        for (pugi::xml_node n = inlineDoc; n; n = n.parent())
            copyDeclarations(n, partRoot);
        if (!version.empty())
            partRoot.append_attribute(qualifiedName(officePrefix, "version").c_str()) = version.c_str();
        for (pugi::xml_node child : inlineDoc.children())
            partRoot.append_copy(child);
        object.remove_child(inlineDoc);

        const std::string name = "Object " + std::to_string(parts.size() + 1);
        if (xlink.empty()) {
            xlink = "xlink";
            root.append_attribute("xmlns:xlink") = kXlinkNs.c_str();
        }
        object.append_attribute(qualifiedName(xlink, "href").c_str()) = ("./" + name).c_str();
        object.append_attribute(qualifiedName(xlink, "type").c_str()) = "simple";
        object.append_attribute(qualifiedName(xlink, "show").c_str()) = "embed";
        object.append_attribute(qualifiedName(xlink, "actuate").c_str()) = "onLoad";
        parts.emplace_back(name, serialize(doc));
    }
    return parts;
}

// The reverse: the embedded objects of the package (charts) are taken inline, as the flat
// document holds them. An object that is missing or does not read is left as it was.
void inlineObjects(pugi::xml_node root, ZipReader &zip)
{
    for (pugi::xml_node object : drawObjects(root)) {
        if (childElement(object, kOfficeNs, "document"))
            continue;
        std::string path = attributeOf(object, kXlinkNs, "href").value();
        if (path.starts_with("./"))
            path.erase(0, 2);
        while (path.ends_with('/'))
            path.pop_back();
        // Only a folder of this package.
        if (path.empty() || path.starts_with('/') || path.find(':') != std::string::npos
            || path.find("..") != std::string::npos)
            continue;
        std::optional<QByteArray> bytes = zip.part((path + "/content.xml").c_str());
        pugi::xml_document part;
        if (!bytes || !parse(part, *bytes))
            continue;
        const pugi::xml_node partRoot = part.document_element();
        if (!isElement(partRoot, kOfficeNs, "document-content"))
            continue;
        pugi::xml_node inlineDoc = object.append_child(qualifiedName(prefixOf(partRoot.name()), "document").c_str());
        redeclare(inlineDoc, object, partRoot);
        for (pugi::xml_node child : partRoot.children())
            inlineDoc.append_copy(child);
    }
}

QByteArray manifest(const std::string &version, bool withSettings,
                    const std::vector<std::pair<std::string, QByteArray>> &charts)
{
    const QByteArray v = QByteArray::fromStdString(version.empty() ? std::string("1.2") : version);
    QByteArray m = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
                   "manifest:version=\""
            + v + "\">\n";
    auto entry = [&m](const QByteArray &path, const QByteArray &type, const QByteArray &extra = {}) {
        m += " <manifest:file-entry manifest:full-path=\"" + path + "\"" + extra + " manifest:media-type=\"" + type
                + "\"/>\n";
    };
    entry("/", kSpreadsheetType, " manifest:version=\"" + v + "\"");
    entry("content.xml", "text/xml");
    entry("styles.xml", "text/xml");
    entry("meta.xml", "text/xml");
    if (withSettings)
        entry("settings.xml", "text/xml");
    for (const auto &chart : charts) {
        const QByteArray name = QByteArray::fromStdString(chart.first);
        entry(name + "/content.xml", "text/xml");
        entry(name + "/", kChartType, " manifest:version=\"" + v + "\"");
    }
    m += "</manifest:manifest>\n";
    return m;
}

} // namespace

namespace ods {

bool isPackage(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayLiteral("PK\x03\x04")) || bytes.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

QByteArray flatten(const QByteArray &package)
{
    ZipReader zip(package);
    if (std::optional<QByteArray> type = zip.part("mimetype")) {
        const QByteArray t = type->trimmed();
        if (!t.isEmpty() && !t.startsWith(kSpreadsheetType))
            throw VelmoraError(QStringLiteral("Ce fichier n'est pas un classeur : c'est un document OpenDocument "
                                              "d'un autre type (%1).")
                                       .arg(QString::fromUtf8(t.left(80))));
    }
    if (std::optional<QByteArray> list = zip.part("META-INF/manifest.xml"); list && list->contains("encryption-data"))
        throw VelmoraError(QStringLiteral("Ce classeur est protégé par un mot de passe : Velmora ne sait pas "
                                          "l'ouvrir."));
    std::optional<QByteArray> content = zip.part("content.xml");
    if (!content)
        throw VelmoraError(QStringLiteral("Ce fichier .ods n'a pas de contenu (content.xml manque) : ce n'est pas "
                                          "un classeur lisible."));
    std::optional<QByteArray> styles = zip.part("styles.xml");
    std::optional<QByteArray> meta = zip.part("meta.xml");
    std::optional<QByteArray> settings = zip.part("settings.xml");

    pugi::xml_document doc;
    parsePart(doc, *content, "content.xml");
    pugi::xml_node root = doc.document_element();
    if (!isElement(root, kOfficeNs, "document-content"))
        throw notASpreadsheet();
    const std::string prefix(prefixOf(root.name()));
    root.set_name(qualifiedName(prefix, "document").c_str());
    inlineObjects(root, zip);

    pugi::xml_document stylesDoc, metaDoc, settingsDoc;
    if (pugi::xml_node r = partRoot(stylesDoc, styles, "styles.xml", "document-styles"))
        mergeStyles(root, r);
    // Settings, then meta data before them: the meta data tell how the body's codes read.
    if (pugi::xml_node r = partRoot(settingsDoc, settings, "settings.xml", "document-settings"))
        if (pugi::xml_node s = childElement(r, kOfficeNs, "settings"))
            adopt(root, root.first_child(), s, r);
    if (pugi::xml_node r = partRoot(metaDoc, meta, "meta.xml", "document-meta"))
        if (pugi::xml_node m = childElement(r, kOfficeNs, "meta"))
            adopt(root, root.first_child(), m, r);
    return serialize(doc);
}

QByteArray pack(QByteArray flat)
{
    pugi::xml_document doc;
    if (!parse(doc, flat))
        throw cannotPack();
    pugi::xml_node root = doc.document_element();
    if (!isElement(root, kOfficeNs, "document"))
        throw cannotPack();
    const std::string prefix(prefixOf(root.name()));
    const std::string version = attributeOf(root, kOfficeNs, "version").value();

    // A part's root: the flat root's namespace declarations and version.
    auto newPart = [&](pugi::xml_document &part, const char *local) {
        pugi::xml_node decl = part.append_child(pugi::node_declaration);
        decl.append_attribute("version") = "1.0";
        decl.append_attribute("encoding") = "UTF-8";
        pugi::xml_node r = part.append_child(qualifiedName(prefix, local).c_str());
        copyDeclarations(root, r);
        if (!version.empty())
            r.append_attribute(qualifiedName(prefix, "version").c_str()) = version.c_str();
        return r;
    };

    pugi::xml_document metaDoc;
    pugi::xml_node metaRoot = newPart(metaDoc, "document-meta");
    if (pugi::xml_node meta = childElement(root, kOfficeNs, "meta"))
        metaRoot.append_copy(meta);
    else
        metaRoot.append_child(qualifiedName(prefix, "meta").c_str());

    pugi::xml_document settingsDoc;
    const pugi::xml_node settings = childElement(root, kOfficeNs, "settings");
    if (settings)
        newPart(settingsDoc, "document-settings").append_copy(settings);

    pugi::xml_document stylesDoc;
    pugi::xml_node stylesRoot = newPart(stylesDoc, "document-styles");
    pugi::xml_node autoStyles = childElement(root, kOfficeNs, "automatic-styles");
    if (pugi::xml_node fonts = childElement(root, kOfficeNs, "font-face-decls"))
        stylesRoot.append_copy(fonts);
    if (pugi::xml_node styles = childElement(root, kOfficeNs, "styles"))
        copyDataStylesUsed(stylesRoot.append_copy(styles), autoStyles);
    // Page layouts serve the master pages, which live in styles.xml.
    std::vector<pugi::xml_node> layouts;
    for (pugi::xml_node s : autoStyles.children())
        if (isElement(s, kStyleNs, "page-layout"))
            layouts.push_back(s);
    if (!layouts.empty()) {
        pugi::xml_node a = stylesRoot.append_child(qualifiedName(prefix, "automatic-styles").c_str());
        for (pugi::xml_node s : layouts) {
            a.append_copy(s);
            autoStyles.remove_child(s);
        }
    }
    if (pugi::xml_node master = childElement(root, kOfficeNs, "master-styles"))
        stylesRoot.append_copy(master);

    // content.xml is what is left of the flat document.
    for (const char *moved : {"meta", "settings", "styles", "master-styles"})
        while (pugi::xml_node n = childElement(root, kOfficeNs, moved))
            root.remove_child(n);
    if (pugi::xml_attribute type = attributeOf(root, kOfficeNs, "mimetype"))
        root.remove_attribute(type);
    root.set_name(qualifiedName(prefix, "document-content").c_str());
    const auto charts = extractCharts(root, version);
    if (!doc.first_child() || doc.first_child().type() != pugi::node_declaration) {
        pugi::xml_node decl = doc.prepend_child(pugi::node_declaration);
        decl.append_attribute("version") = "1.0";
        decl.append_attribute("encoding") = "UTF-8";
    }

    ZipWriter zip;
    // First and stored, so that the type reads at a fixed place of the file.
    zip.add("mimetype", QByteArray(kSpreadsheetType), true);
    zip.add("content.xml", serialize(doc));
    zip.add("styles.xml", serialize(stylesDoc));
    zip.add("meta.xml", serialize(metaDoc));
    if (settings)
        zip.add("settings.xml", serialize(settingsDoc));
    for (const auto &chart : charts)
        zip.add(chart.first + "/content.xml", chart.second);
    zip.add("META-INF/manifest.xml", manifest(version, bool(settings), charts));
    return zip.finish();
}

void read(const QByteArray &bytes, Workbook &into, int *leftOut) { qvc::read(flatten(bytes), into, leftOut); }

QByteArray write(const Workbook &book) { return pack(qvc::write(book)); }

} // namespace ods

namespace workbookfile {

bool isOdsName(const QString &path) { return QFileInfo(path).suffix().compare(u"ods", Qt::CaseInsensitive) == 0; }

void read(const QString &path, Workbook &into, int *leftOut)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !ods::isPackage(file.peek(4))) {
        // Flat XML, or a file that cannot be read, which the flat reader reports.
        file.close();
        qvc::readFile(path, into, leftOut);
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw VelmoraError::readError();
    ods::read(bytes, into, leftOut);
}

void write(const QString &path, Workbook &book)
{
    if (!isOdsName(path)) {
        qvc::writeFile(path, book);
        return;
    }
    atomicsave::write(path, ods::write(book));
    book.setModified(false);
}

} // namespace workbookfile
} // namespace sheet

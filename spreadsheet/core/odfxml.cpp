#include "spreadsheet/core/odfxml.h"

#include <QStringDecoder>

#include <charconv>

#include <cstring>

namespace sheet::odf {

namespace {

bool startsWith(const char *p, const char *end, std::string_view what)
{
    return size_t(end - p) >= what.size() && std::memcmp(p, what.data(), what.size()) == 0;
}

// The length of a reference XML decodes by itself at `p` ("&amp;", "&#233;", "&#xE9;"), 0
// for anything else (a named entity the document would have to declare).
size_t predefinedReference(const char *p, const char *end)
{
    for (std::string_view name : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
        if (startsWith(p, end, name))
            return name.size();
    if (!startsWith(p, end, "&#"))
        return 0;
    const char *q = p + 2;
    const bool hex = q < end && *q == 'x';
    q += hex;
    const char *digits = q;
    while (q < end
           && (std::isdigit(static_cast<unsigned char>(*q)) || (hex && std::isxdigit(static_cast<unsigned char>(*q)))))
        ++q;
    return q > digits && q < end && *q == ';' ? size_t(q + 1 - p) : 0;
}

// True when `offset` lies inside a comment or a CDATA section, where "&" is only a character.
bool insideCommentOrCdata(const QByteArray &bytes, qsizetype offset)
{
    const auto within = [&](const char *open, const char *close) {
        const qsizetype start = bytes.lastIndexOf(open, offset);
        return start >= 0 && bytes.indexOf(close, start) > offset;
    };
    return within("<!--", "-->") || within("<![CDATA[", "]]>");
}

} // namespace

XmlCursor::XmlCursor(QByteArray bytes) : m_buffer(std::move(bytes))
{
    // A document in UTF-16 (with its byte order mark) is read as UTF-8, so that the checks
    // below see its characters.
    if (m_buffer.startsWith("\xFF\xFE") || m_buffer.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        m_buffer = QString(utf16(m_buffer)).toUtf8();
    }
    checkReferences(m_buffer);
    if (m_problem != NoProblem)
        return;
    char *data = m_buffer.data(); // copied here only when the caller keeps the bytes too
    const pugi::xml_parse_result result = m_doc.load_buffer_inplace(
            data, size_t(m_buffer.size()), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_embed_pcdata);
    if (result.status == pugi::status_no_document_element) {
        m_problem = NotXml;
    } else if (!result) {
        // The parser stops at the end of the text when an element is left open.
        m_problem = result.offset >= m_buffer.size() - 1 ? Truncated : Malformed;
        // The parser has rewritten text before the offset, its line breaks kept.
        m_problemLine = lineAt(m_buffer, result.offset);
    }
    if (m_problem != NoProblem) {
        m_doc.reset();
        return;
    }
    m_stack.push_back(Level{m_doc, m_doc.first_child(), Ns::None, {}, nullptr});
}

void XmlCursor::release()
{
    m_stack.clear();
    m_bindings.clear();
    m_doc.reset();
    m_buffer.clear();
    m_token = EndDocument;
}

void XmlCursor::checkReferences(const QByteArray &bytes)
{
    const char *begin = bytes.constData(), *end = begin + bytes.size();
    const qsizetype doctype = bytes.indexOf("<!DOCTYPE");
    if (doctype >= 0 && bytes.indexOf("<!ENTITY", doctype) >= 0) {
        m_problem = EntitiesDeclared;
        return;
    }
    for (const char *p = begin; (p = static_cast<const char *>(std::memchr(p, '&', size_t(end - p)))); ++p) {
        if (predefinedReference(p, end) == 0 && !insideCommentOrCdata(bytes, p - begin)) {
            m_problem = Malformed;
            m_problemLine = lineAt(bytes, p - begin);
            return;
        }
    }
}

int XmlCursor::lineAt(const QByteArray &bytes, qsizetype offset) const
{
    return 1
            + int(std::count(bytes.constBegin(), bytes.constBegin() + std::clamp<qsizetype>(offset, 0, bytes.size()),
                             '\n'));
}

std::pair<std::string_view, std::string_view> XmlCursor::split(const char *qualified)
{
    const std::string_view name(qualified);
    const size_t colon = name.find(':');
    if (colon == std::string_view::npos)
        return {{}, name};
    return {name.substr(0, colon), name.substr(colon + 1)};
}

Ns XmlCursor::namespaceOf(std::string_view uri)
{
    static const std::pair<std::string_view, Ns> known[] = {
            {"urn:oasis:names:tc:opendocument:xmlns:office:1.0", Ns::Office},
            {"urn:oasis:names:tc:opendocument:xmlns:style:1.0", Ns::Style},
            {"urn:oasis:names:tc:opendocument:xmlns:text:1.0", Ns::Text},
            {"urn:oasis:names:tc:opendocument:xmlns:table:1.0", Ns::Table},
            {"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0", Ns::Fo},
            {"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0", Ns::Number},
            {"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0", Ns::Svg},
            {"urn:oasis:names:tc:opendocument:xmlns:config:1.0", Ns::Config},
            {"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0", Ns::Draw},
            {"urn:oasis:names:tc:opendocument:xmlns:chart:1.0", Ns::Chart},
            {"urn:oasis:names:tc:opendocument:xmlns:of:1.2", Ns::Of},
            {"urn:oasis:names:tc:opendocument:xmlns:meta:1.0", Ns::Meta},
            {"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0", Ns::CalcExt},
            {"http://www.w3.org/1999/xlink", Ns::Xlink},
    };
    for (const auto &[name, ns] : known)
        if (name == uri)
            return ns;
    return uri.empty() ? Ns::None : Ns::Other;
}

// The namespace bound to `prefix` ("" for the default one); an element whose prefix is
// bound nowhere makes the document malformed.
Ns XmlCursor::resolve(std::string_view prefix) const
{
    for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
        if (it->prefix == prefix)
            return it->ns;
    return prefix == "xml" ? Ns::Other : Ns::None;
}

void XmlCursor::enter(pugi::xml_node element)
{
    const size_t depth = m_stack.size();
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        const char *name = a.name();
        if (std::strncmp(name, "xmlns", 5) != 0 || (name[5] != 0 && name[5] != ':'))
            continue;
        m_bindings.push_back(
                Binding{name[5] ? std::string_view(name + 6) : std::string_view(), namespaceOf(a.value()), depth});
    }
    const auto [prefix, local] = split(element.name());
    m_ns = resolve(prefix);
    m_name = LocalName{local};
    if (!prefix.empty() && m_ns == Ns::None && m_problem == NoProblem) {
        m_problem = Malformed;
        m_problemLine = lineAt(m_buffer, element.offset_debug());
    }
    const char *embedded = element.value();
    m_stack.push_back(Level{element, element.first_child(), m_ns, m_name, *embedded ? embedded : nullptr});
    m_token = StartElement;
}

void XmlCursor::leave()
{
    m_ns = m_stack.back().ns;
    m_name = m_stack.back().name;
    m_stack.pop_back();
    while (!m_bindings.empty() && m_bindings.back().depth >= m_stack.size())
        m_bindings.pop_back();
    // Leaving the document node itself ends the document.
    m_token = m_stack.empty() ? EndDocument : EndElement;
}

bool XmlCursor::readNextStartElement()
{
    while (readNext() == Characters) { }
    return m_token == StartElement;
}

void XmlCursor::skipCurrentElement()
{
    if (!m_stack.empty())
        leave();
}

XmlCursor::Token XmlCursor::readNext()
{
    while (!m_stack.empty()) {
        Level &top = m_stack.back();
        if (top.embedded) {
            m_text = top.embedded;
            top.embedded = nullptr;
            m_token = Characters;
            return m_token;
        }
        if (!top.next) {
            leave();
            return m_token;
        }
        const pugi::xml_node child = top.next;
        top.next = child.next_sibling();
        if (child.type() == pugi::node_element) {
            enter(child);
            return m_token;
        }
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            m_text = child.value();
            m_token = Characters;
            return m_token;
        }
    }
    m_token = EndDocument;
    return m_token;
}

QString XmlCursor::readElementText()
{
    QByteArray text;
    if (!m_stack.empty()) {
        if (m_stack.back().embedded)
            text += m_stack.back().embedded;
        for (pugi::xml_node child = m_stack.back().next; child; child = child.next_sibling())
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
                text += child.value();
        leave();
    }
    return QString::fromUtf8(text);
}

const char *XmlCursor::attribute(Ns ns, std::string_view local) const
{
    if (m_stack.empty())
        return nullptr;
    for (pugi::xml_attribute a = m_stack.back().element.first_attribute(); a; a = a.next_attribute()) {
        const auto [prefix, name] = split(a.name());
        if (name != local)
            continue;
        // An attribute without a prefix is in no namespace, whatever the default one.
        if ((prefix.empty() ? Ns::None : resolve(prefix)) == ns)
            return a.value();
    }
    return nullptr;
}

} // namespace sheet::odf

namespace sheet::odf {

namespace {

struct Declared
{
    Ns ns;
    std::string_view prefix;
    std::string_view uri;
};

// In the order the root element declares them.
constexpr Declared kDeclared[] = {
        {Ns::Office, "office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
        {Ns::Style, "style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
        {Ns::Text, "text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
        {Ns::Table, "table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
        {Ns::Fo, "fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
        {Ns::Number, "number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
        {Ns::Svg, "svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
        {Ns::Config, "config", "urn:oasis:names:tc:opendocument:xmlns:config:1.0"},
        {Ns::Draw, "draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
        {Ns::Chart, "chart", "urn:oasis:names:tc:opendocument:xmlns:chart:1.0"},
        {Ns::Xlink, "xlink", "http://www.w3.org/1999/xlink"},
        {Ns::Of, "of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
        {Ns::CalcExt, "calcext", "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"},
        {Ns::Meta, "meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
};

std::string_view prefixOf(Ns ns)
{
    for (const Declared &d : kDeclared)
        if (d.ns == ns)
            return d.prefix;
    return {};
}

// The escaped form of an ASCII character, or null when it is written as it is.
inline const char *escapeOf(char16_t c, bool inAttribute)
{
    switch (c) {
    case u'<': return "&lt;";
    case u'>': return "&gt;";
    case u'&': return "&amp;";
    case u'"': return "&quot;";
    case u'\t': return inAttribute ? "&#9;" : nullptr;
    case u'\n': return inAttribute ? "&#10;" : nullptr;
    case u'\r': return inAttribute ? "&#13;" : nullptr;
    default: return c < 0x20 ? "" : nullptr;
    }
}

} // namespace

XmlWriter::XmlWriter(QByteArray &out) : m_out(out), m_used(out.size())
{
    m_out.resize(std::max(m_out.capacity(), m_used));
    m_data = m_out.data();
}

void XmlWriter::grow(qsizetype n)
{
    m_out.resize(std::max(m_out.size() * 2, m_used + n + 4096));
    m_data = m_out.data();
}

bool XmlWriter::finishStartElement(bool contents)
{
    const bool hadSomethingWritten = m_wroteSomething;
    m_wroteSomething = contents;
    if (!m_inStartElement)
        return hadSomethingWritten;
    if (m_inEmptyElement) {
        raw("/>");
        m_open.pop_back();
        m_lastWasStartElement = false;
    } else {
        raw(">");
    }
    m_inStartElement = m_inEmptyElement = false;
    return hadSomethingWritten;
}

void XmlWriter::indent(size_t level)
{
    char *p = room(qsizetype(level) + 1);
    *p = '\n';
    std::memset(p + 1, ' ', level);
    m_used += qsizetype(level) + 1;
}

void XmlWriter::qualifiedName(Ns ns, std::string_view name)
{
    const std::string_view prefix = prefixOf(ns);
    if (!prefix.empty()) {
        raw(prefix);
        put(':');
    }
    raw(name);
}

void XmlWriter::startDocument()
{
    finishStartElement(false);
    raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
}

void XmlWriter::startElement(Ns ns, std::string_view name)
{
    if (!finishStartElement(false))
        indent(m_open.size());
    m_open.push_back(Open{ns, name});
    put('<');
    qualifiedName(ns, name);
    m_inStartElement = m_lastWasStartElement = true;
    if (!m_namespacesDeclared) {
        m_namespacesDeclared = true;
        for (const Declared &d : kDeclared) {
            raw(" xmlns:");
            raw(d.prefix);
            raw("=\"");
            raw(d.uri);
            put('"');
        }
    }
}

void XmlWriter::emptyElement(Ns ns, std::string_view name)
{
    startElement(ns, name);
    m_inEmptyElement = true;
}

void XmlWriter::attribute(Ns ns, std::string_view name, QStringView value, std::string_view prefix)
{
    put(' ');
    qualifiedName(ns, name);
    raw("=\"");
    raw(prefix);
    escaped(value, true);
    put('"');
}

void XmlWriter::attribute(Ns ns, std::string_view name, std::string_view value)
{
    put(' ');
    qualifiedName(ns, name);
    raw("=\"");
    escaped(value, true);
    put('"');
}

void XmlWriter::attribute(Ns ns, std::string_view name, long long number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    attribute(ns, name, std::string_view(digits, size_t(end - digits)));
}

void XmlWriter::characters(QStringView text)
{
    finishStartElement(true);
    escaped(text, false);
}

void XmlWriter::textElement(Ns ns, std::string_view name, QStringView text)
{
    startElement(ns, name);
    characters(text);
    endElement();
}

void XmlWriter::endElement()
{
    if (m_open.empty())
        return;
    // An element with nothing in it is closed in its start tag.
    if (m_inStartElement && !m_inEmptyElement) {
        raw("/>");
        m_lastWasStartElement = m_inStartElement = false;
        m_open.pop_back();
        return;
    }
    if (!finishStartElement(false) && !m_lastWasStartElement)
        indent(m_open.size() - 1);
    if (m_open.empty())
        return;
    m_lastWasStartElement = false;
    const Open top = m_open.back();
    m_open.pop_back();
    raw("</");
    qualifiedName(top.ns, top.name);
    put('>');
}

void XmlWriter::endDocument()
{
    while (!m_open.empty())
        endElement();
    put('\n');
    m_out.resize(m_used);
}

void XmlWriter::escaped(QStringView text, bool inAttribute)
{
    // At most six bytes for one UTF-16 unit ("&quot;"), written in place.
    char *p = room(6 * text.size());
    const char16_t *s = text.utf16(), *end = s + text.size();
    while (s < end) {
        const char16_t c = *s++;
        if (c < 0x80) {
            if (const char *e = escapeOf(c, inAttribute)) {
                while (*e)
                    *p++ = *e++;
            } else {
                *p++ = char(c);
            }
        } else if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
            *p++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && s < end && QChar::isLowSurrogate(*s)) {
            const char32_t u = QChar::surrogateToUcs4(c, *s++);
            *p++ = char(0xF0 | (u >> 18));
            *p++ = char(0x80 | ((u >> 12) & 0x3F));
            *p++ = char(0x80 | ((u >> 6) & 0x3F));
            *p++ = char(0x80 | (u & 0x3F));
        } else if (c == 0xFFFE || c == 0xFFFF) {
            // not a character XML can carry
        } else {
            const char16_t u = QChar::isSurrogate(c) ? char16_t(0xFFFD) : c;
            *p++ = char(0xE0 | (u >> 12));
            *p++ = char(0x80 | ((u >> 6) & 0x3F));
            *p++ = char(0x80 | (u & 0x3F));
        }
    }
    m_used = p - m_data;
}

void XmlWriter::escaped(std::string_view utf8, bool inAttribute)
{
    const char *s = utf8.data(), *end = s + utf8.size();
    while (s < end) {
        const char *plain = s;
        while (s < end && (static_cast<unsigned char>(*s) >= 0x80 || !escapeOf(char16_t(*s), inAttribute)))
            ++s;
        raw(std::string_view(plain, size_t(s - plain)));
        if (s < end)
            raw(escapeOf(char16_t(*s++), inAttribute));
    }
}

} // namespace sheet::odf

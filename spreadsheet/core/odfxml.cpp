#include "spreadsheet/core/odfxml.h"

#include <QStringDecoder>

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

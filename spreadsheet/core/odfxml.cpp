#include "spreadsheet/core/odfxml.h"

#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <string.h> // memmem

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sheet::odf {

namespace {

bool startsWith(const char *p, const char *end, std::string_view what)
{
    return size_t(end - p) >= what.size() && std::memcmp(p, what.data(), what.size()) == 0;
}

// True for the code points XML allows in a document: tab, line feed, carriage return and
// everything from the space on, but surrogates and U+FFFE, U+FFFF.
bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
            || (c >= 0x10000 && c <= 0x10FFFF);
}

// The length of a reference XML decodes by itself at `p` ("&amp;", "&#233;", "&#xE9;"), 0
// for anything else: a named entity the document would have to declare, or a reference to
// what is no character of XML ("&#0;"), which the parser would decode into a NUL that ends
// the text early.
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
    char32_t code = 0;
    for (; q < end; ++q) {
        const auto c = static_cast<unsigned char>(*q);
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && std::isxdigit(c))
            digit = unsigned(std::tolower(c) - 'a' + 10);
        else
            break;
        // Past the last code point, the value stays out of range without overflowing.
        code = std::min<char32_t>(code * (hex ? 16 : 10) + digit, 0x110000);
    }
    return q > digits && q < end && *q == ';' && isXmlCharacter(code) ? size_t(q + 1 - p) : 0;
}

// True when `at` lies inside a comment or a CDATA section of [begin, end), where "&" is only
// a character.
bool insideCommentOrCdata(const char *begin, const char *end, const char *at)
{
    const QByteArrayView bytes(begin, end - begin);
    const qsizetype offset = at - begin;
    const auto within = [&](const char *open, const char *close) {
        const qsizetype start = bytes.lastIndexOf(QByteArrayView(open), offset);
        return start >= 0 && bytes.indexOf(QByteArrayView(close), start) > offset;
    };
    return within("<!--", "-->") || within("<![CDATA[", "]]>");
}

const char *find(const char *p, const char *end, std::string_view what)
{
    return static_cast<const char *>(memmem(p, size_t(end - p), what.data(), what.size()));
}

// The first '"', '\'' or '>' in [p, end), or `end`: sixteen bytes at a time where the
// processor compares them at once.
const char *nextInTag(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"'), apostrophe = _mm_set1_epi8('\''), close = _mm_set1_epi8('>');
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int found = _mm_movemask_epi8(
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, quote), _mm_cmpeq_epi8(chunk, apostrophe)),
                             _mm_cmpeq_epi8(chunk, close)));
        if (found)
            return p + __builtin_ctz(unsigned(found));
    }
#endif
    while (p < end && *p != '"' && *p != '\'' && *p != '>')
        ++p;
    return p;
}

// The ">" closing the tag opened at `p`, quoted attribute values skipped; null when the
// tag does not end before `end`.
const char *tagEnd(const char *p, const char *end)
{
    for (++p;;) {
        p = nextInTag(p, end);
        if (p == end)
            return nullptr;
        if (*p == '>')
            return p;
        p = static_cast<const char *>(std::memchr(p + 1, *p, size_t(end - p - 1)));
        if (!p)
            return nullptr;
        ++p;
    }
}

// The line breaks in [p, end).
qsizetype countLineBreaks(const char *p, const char *end)
{
    qsizetype n = 0;
#if defined(__SSE2__)
    // Sixteen counters of one byte each, added up before any can pass 255.
    const __m128i lineBreak = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        __m128i counts = _mm_setzero_si128();
        for (int round = 0; round < 255 && end - p >= 16; ++round, p += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(chunk, lineBreak));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        n += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
#endif
    for (; p < end; ++p)
        n += *p == '\n';
    return n;
}

// The first "<!DOCTYPE" in [p, end), or null: found from its "!", a rare byte in a document.
const char *findDoctype(const char *p, const char *end)
{
    for (const char *q = p; (q = static_cast<const char *>(std::memchr(q, '!', size_t(end - q)))); ++q)
        if (q > p && q[-1] == '<' && startsWith(q + 1, end, "DOCTYPE"))
            return q - 1;
    return nullptr;
}

// The end of the markup that is not an element at `p` (comment, CDATA section, processing
// instruction, declaration with its internal subset); null when it does not end before `end`.
const char *markupEnd(const char *p, const char *end)
{
    if (startsWith(p, end, "<!--")) {
        const char *close = find(p + 4, end, "-->");
        return close ? close + 3 : nullptr;
    }
    if (startsWith(p, end, "<![CDATA[")) {
        const char *close = find(p + 9, end, "]]>");
        return close ? close + 3 : nullptr;
    }
    if (startsWith(p, end, "<?")) {
        const char *close = find(p + 2, end, "?>");
        return close ? close + 2 : nullptr;
    }
    // <!DOCTYPE name [ ... ]>
    for (const char *q = p + 2; q < end; ++q) {
        if (*q == '>')
            return q + 1;
        if (*q == '[') {
            q = static_cast<const char *>(std::memchr(q, ']', size_t(end - q)));
            if (!q)
                return nullptr;
        }
    }
    return nullptr;
}

// One item of content at `p`: a run of text, a piece of markup, or an element with all it
// holds. Returns its end, or null when it does not end before `end` (`atEnd`: the bytes stop
// there); `endTag` tells an end tag, which closes the enclosing element, and
// `startTagEnd` is where an element's start tag ends.
const char *scanItem(const char *p, const char *end, bool atEnd, bool &endTag, const char *&startTagEnd)
{
    endTag = false;
    startTagEnd = nullptr;
    int depth = 0;
    while (p < end) {
        if (*p != '<') {
            const char *lt = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
            if (!lt)
                return depth == 0 && atEnd ? end : nullptr;
            p = lt;
            if (depth == 0)
                return p;
            continue;
        }
        if (p + 1 < end && (p[1] == '!' || p[1] == '?')) {
            p = markupEnd(p, end);
        } else if (p + 1 < end && p[1] == '/') {
            const char *gt = tagEnd(p, end);
            if (!gt)
                return nullptr;
            p = gt + 1;
            if (depth == 0) {
                endTag = true;
                return p;
            }
            --depth;
        } else {
            const char *gt = tagEnd(p, end);
            if (!gt)
                return nullptr;
            if (depth == 0)
                startTagEnd = gt + 1;
            if (gt[-1] != '/')
                ++depth;
            p = gt + 1;
        }
        if (!p)
            return nullptr;
        if (depth == 0)
            return p;
    }
    return nullptr;
}

constexpr unsigned kParseOptions =
        pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_embed_pcdata | pugi::parse_fragment;

} // namespace

XmlCursor::XmlCursor(QByteArray bytes, qsizetype pieceSize)
    : m_pieceSize(std::max<qsizetype>(pieceSize, 16)),
      m_buffer(std::move(bytes))
{
    start();
}

XmlCursor::XmlCursor(QIODevice &device, qsizetype pieceSize)
    : m_device(&device),
      m_deviceDone(false),
      m_pieceSize(std::max<qsizetype>(pieceSize, 16))
{
    start();
}

XmlCursor::~XmlCursor() = default;

void XmlCursor::start()
{
    fill(4096);
    // A document in UTF-16 (with its byte order mark) is read whole and turned into UTF-8,
    // so that the checks below see its characters.
    if (m_buffer.startsWith("\xFF\xFE") || m_buffer.startsWith("\xFE\xFF")) {
        while (!m_deviceDone)
            fill(m_buffer.size() + (qsizetype(1) << 24));
        QStringDecoder utf16(QStringDecoder::Utf16);
        m_buffer = QString(utf16(m_buffer)).toUtf8();
    }
    if (m_buffer.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
    m_encoding = pugi::encoding_utf8;
    if (m_buffer.startsWith("<?xml")) {
        const QByteArray declaration = m_buffer.left(std::max<qsizetype>(m_buffer.indexOf("?>"), 0)).toLower();
        if (declaration.contains("iso-8859-1") || declaration.contains("latin1") || declaration.contains("latin-1"))
            m_encoding = pugi::encoding_latin1;
    }
    m_stack.push_back(Level{pugi::xml_node(), pugi::xml_node(), Ns::None, {}, nullptr, LevelKind::Streamed});
}

void XmlCursor::release()
{
    m_stack.clear();
    m_bindings.clear();
    forgetResolved();
    m_piece.reset();
    m_openTags.clear();
    m_closedTag.reset();
    m_buffer.clear();
    m_pos = 0;
    m_token = EndDocument;
}

// Makes `wanted` bytes not yet parsed available when the device has them, dropping those
// already walked. Returns false when nothing more could be read.
bool XmlCursor::fill(qsizetype wanted)
{
    if (m_deviceDone || m_buffer.size() - m_pos >= wanted)
        return false;
    if (m_pos > 0) {
        m_droppedLines += int(countLineBreaks(m_buffer.constData(), m_buffer.constData() + m_pos));
        m_dropped += m_pos;
        // The bytes not yet parsed move to the front of the same allocation, which is thus
        // made (and its pages touched) once rather than on every piece.
        const qsizetype kept = m_buffer.size() - m_pos;
        std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, size_t(kept));
        m_buffer.truncate(kept);
        m_pos = 0;
    }
    const qsizetype before = m_buffer.size();
    qsizetype have = before;
    m_buffer.resize(std::max(wanted, m_pieceSize) + have);
    while (have < m_buffer.size()) {
        const qint64 n = m_device->read(m_buffer.data() + have, m_buffer.size() - have);
        if (n <= 0) {
            m_deviceDone = true;
            if (n < 0)
                fail(ReadFailed, have);
            break;
        }
        have += qsizetype(n);
    }
    m_buffer.resize(have);
    return have > before;
}

void XmlCursor::fail(Problem problem, qsizetype offset)
{
    if (m_problem != NoProblem)
        return;
    m_problem = problem;
    m_problemLine = lineAt(offset);
}

// The line of `offset` in m_buffer (the lines dropped before it counted).
int XmlCursor::lineAt(qsizetype offset) const
{
    return 1 + m_droppedLines
            + int(std::count(m_buffer.constBegin(),
                             m_buffer.constBegin() + std::clamp<qsizetype>(offset, 0, m_buffer.size()), '\n'));
}

bool XmlCursor::checkReferences(const char *begin, const char *end)
{
    // A NUL byte is no character of XML: the parser would take it for the end of the text.
    if (const void *nul = std::memchr(begin, 0, size_t(end - begin))) {
        fail(Malformed, static_cast<const char *>(nul) - m_buffer.constData());
        return false;
    }
    if (const char *doctype = findDoctype(begin, end); doctype && find(doctype, end, "<!ENTITY")) {
        fail(EntitiesDeclared, doctype - m_buffer.constData());
        return false;
    }
    for (const char *p = begin; (p = static_cast<const char *>(std::memchr(p, '&', size_t(end - p)))); ++p) {
        if (predefinedReference(p, end) == 0 && !insideCommentOrCdata(begin, end, p)) {
            fail(Malformed, p - m_buffer.constData());
            return false;
        }
    }
    return true;
}

// What follows the bytes parsed, inside the innermost streamed element: a piece of whole
// items of about m_pieceSize bytes, its end tag, an element too large for a piece (opened on
// its own), or the end of the bytes.
XmlCursor::Ahead XmlCursor::lookAhead()
{
    for (qsizetype window = 2 * m_pieceSize;; window *= 2) {
        fill(window);
        const char *data = m_buffer.constData();
        const char *from = data + m_pos;
        const char *limit = data + std::min(m_buffer.size(), m_pos + window);
        const bool atEnd = m_deviceDone && limit == data + m_buffer.size();
        const char *at = from;
        bool text = false; // the last item is a run of text
        while (at < limit && at - from < m_pieceSize) {
            bool endTag = false;
            const char *startTagEnd = nullptr;
            const char *end = scanItem(at, limit, atEnd, endTag, startTagEnd);
            if (!end && at > from)
                return {Ahead::Piece, at - data, text};
            if (!end && startTagEnd && !atEnd)
                return {Ahead::BigElement, startTagEnd - data};
            if (!end && atEnd)
                return {Ahead::Problem, limit - data};
            if (!end)
                break; // one item larger than the window: a larger window
            if (endTag)
                return at > from ? Ahead{Ahead::Piece, at - data, text} : Ahead{Ahead::EndTag, end - data};
            text = *at != '<';
            at = end;
        }
        if (at > from && (at - from >= m_pieceSize || at == limit))
            return {Ahead::Piece, at - data, text};
        if (at == from && atEnd)
            return {Ahead::End, at - data};
    }
}

void XmlCursor::parsePiece(qsizetype end, bool endsInText)
{
    m_piece.reset();
    char *data = m_buffer.data() + m_pos;
    const qsizetype size = end - m_pos;
    if (!checkReferences(data, data + size))
        return;
    // The parser skips a byte order mark at the start of every buffer it is given; inside
    // the file one is only text, which a piece starting with it would lose. An empty
    // comment (dropped by the parser) in front of such a piece keeps it.
    static constexpr char kKeepMark[] = "<!---->";
    constexpr qsizetype kKeepMarkSize = sizeof kKeepMark - 1;
    const bool startsWithMark =
            m_encoding == pugi::encoding_utf8 && size >= 3 && QByteArrayView(data, 3) == "\xEF\xBB\xBF";
    const qsizetype shift = startsWithMark ? kKeepMarkSize : 0;
    pugi::xml_parse_result result;
    if (startsWithMark) {
        const QByteArray kept = QByteArray(kKeepMark) + QByteArray(data, size);
        result = m_piece.load_buffer(kept.constData(), size_t(kept.size()), kParseOptions,
                                     pugi::xml_encoding(m_encoding));
    } else if (!endsInText) {
        result = m_piece.load_buffer_inplace(data, size_t(size), kParseOptions, pugi::xml_encoding(m_encoding));
    } else {
        // Not in place for a piece that ends in text: the parser would cut its last
        // character to end the buffer.
        result = m_piece.load_buffer(data, size_t(size), kParseOptions, pugi::xml_encoding(m_encoding));
    }
    if (!result) {
        fail(Malformed, m_pos + std::max<qsizetype>(qsizetype(result.offset) - shift, 0));
        return;
    }
    m_pieceBase = m_pos - shift;
    m_pos = end;
    const Level &parent = m_stack.back();
    m_stack.push_back(Level{m_piece, m_piece.first_child(), parent.ns, parent.name, nullptr, LevelKind::Piece});
}

void XmlCursor::openBigElement(qsizetype tagEnd)
{
    if (!checkReferences(m_buffer.constData() + m_pos, m_buffer.constData() + tagEnd))
        return;
    QByteArray tag(m_buffer.constData() + m_pos, tagEnd - m_pos);
    tag.chop(1);
    tag += "/>";
    auto element = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
            element->load_buffer(tag.constData(), size_t(tag.size()), kParseOptions, pugi::xml_encoding(m_encoding));
    if (!result || element->first_child().type() != pugi::node_element) {
        fail(Malformed, m_pos + (result ? 0 : qsizetype(result.offset)));
        return;
    }
    m_pieceBase = m_pos;
    m_pos = tagEnd;
    m_openTags.push_back(std::move(element));
    enter(m_openTags.back()->first_child(), LevelKind::Streamed);
}

// The end tag at m_pos must close the innermost streamed element.
bool XmlCursor::closeStreamed(qsizetype tagEnd)
{
    const char *p = m_buffer.constData() + m_pos + 2, *end = m_buffer.constData() + tagEnd - 1;
    // White space as XML has it (not the C library's, which takes vertical tabs and form
    // feeds too: the parser refuses those).
    while (end > p && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n'))
        --end;
    if (m_stack.size() < 2 || std::string_view(p, size_t(end - p)) != m_stack.back().element.name()) {
        fail(Malformed, m_pos);
        return false;
    }
    m_pos = tagEnd;
    leave();
    m_closedTag = std::move(m_openTags.back()); // holds the name of the end element
    m_openTags.pop_back();
    return true;
}

XmlCursor::Token XmlCursor::streamNext()
{
    while (m_problem == NoProblem) {
        m_piece.reset(); // the former piece is walked
        const Ahead ahead = lookAhead();
        switch (ahead.what) {
        case Ahead::Piece:
            parsePiece(ahead.end, ahead.endsInText);
            if (m_problem == NoProblem)
                return readNext();
            break;
        case Ahead::BigElement:
            openBigElement(ahead.end);
            if (m_problem == NoProblem)
                return m_token;
            break;
        case Ahead::EndTag:
            if (closeStreamed(ahead.end))
                return m_token;
            break;
        case Ahead::End:
            if (m_stack.size() > 1)
                fail(Truncated, ahead.end);
            else if (!m_sawRoot)
                m_problem = NotXml;
            else {
                m_stack.clear();
                m_token = EndDocument;
                return m_token;
            }
            break;
        case Ahead::Problem: fail(Truncated, ahead.end); break;
        }
    }
    // A problem ends the walk: the reader sees the end of the document and the problem.
    m_stack.clear();
    m_bindings.clear();
    forgetResolved();
    m_token = EndDocument;
    return m_token;
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
    // The same few prefixes come back on every element: each is looked up once while the
    // bindings stay the same.
    Resolved *slot = nullptr;
    if (prefix.size() < sizeof Resolved::prefix) {
        const size_t size = prefix.size();
        slot = &m_resolved[(size * 7 + (size ? size_t(prefix[0]) + size_t(prefix[size - 1]) : 0)) % kResolvedSlots];
        if (slot->size == size) {
            size_t i = 0;
            while (i < size && slot->prefix[i] == prefix[i])
                ++i;
            if (i == size)
                return slot->ns;
        }
    }
    Ns ns = prefix == "xml" ? Ns::Other : Ns::None;
    for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
        if (it->prefix == prefix) {
            ns = it->ns;
            break;
        }
    if (slot) {
        if (!prefix.empty()) // the empty prefix may have no bytes at all to copy from
            std::memcpy(slot->prefix, prefix.data(), prefix.size());
        slot->size = static_cast<unsigned char>(prefix.size());
        slot->ns = ns;
    }
    return ns;
}

void XmlCursor::forgetResolved()
{
    for (Resolved &r : m_resolved)
        r.size = Resolved::kEmpty;
}

void XmlCursor::enter(pugi::xml_node element, LevelKind kind)
{
    // The document's own element, whether opened on its own or met in a piece.
    if (m_stack.size() == 1 || (m_stack.size() == 2 && m_stack.back().kind == LevelKind::Piece))
        m_sawRoot = true;
    const size_t depth = m_stack.size();
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        const char *name = a.name();
        if (name[0] != 'x' || std::strncmp(name, "xmlns", 5) != 0 || (name[5] != 0 && name[5] != ':'))
            continue;
        forgetResolved();
        m_bindings.push_back(
                Binding{name[5] ? std::string_view(name + 6) : std::string_view(), namespaceOf(a.value()), depth});
    }
    const auto [prefix, local] = split(element.name());
    m_ns = resolve(prefix);
    m_name = LocalName{local};
    if (!prefix.empty() && m_ns == Ns::None)
        fail(Malformed, m_pieceBase + element.offset_debug());
    const char *embedded = element.value();
    m_stack.push_back(Level{element, element.first_child(), m_ns, m_name, *embedded ? embedded : nullptr, kind});
    m_token = StartElement;
}

void XmlCursor::leave()
{
    m_ns = m_stack.back().ns;
    m_name = m_stack.back().name;
    m_stack.pop_back();
    if (!m_bindings.empty() && m_bindings.back().depth >= m_stack.size()) {
        forgetResolved();
        while (!m_bindings.empty() && m_bindings.back().depth >= m_stack.size())
            m_bindings.pop_back();
    }
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
    if (m_stack.empty())
        return;
    if (m_stack.back().kind == LevelKind::Parsed) {
        leave();
        return;
    }
    // An element read piece by piece: its pieces are parsed and passed over.
    for (int depth = 1; depth > 0 && !atEnd();) {
        const Token token = readNext();
        depth += token == StartElement ? 1 : token == EndElement ? -1 : 0;
    }
}

XmlCursor::Token XmlCursor::readNext()
{
    while (!m_stack.empty()) {
        Level &top = m_stack.back();
        if (top.kind == LevelKind::Streamed)
            return streamNext();
        if (top.embedded) {
            m_text = top.embedded;
            top.embedded = nullptr;
            m_token = Characters;
            return m_token;
        }
        if (!top.next) {
            if (top.kind == LevelKind::Piece) {
                m_stack.pop_back(); // back to the element the piece belongs to
                continue;
            }
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
    if (!m_stack.empty() && m_stack.back().kind == LevelKind::Streamed) {
        for (int depth = 1; depth > 0 && !atEnd();) {
            const Token token = readNext();
            if (token == Characters && depth == 1)
                text += m_text;
            depth += token == StartElement ? 1 : token == EndElement ? -1 : 0;
        }
    } else if (!m_stack.empty()) {
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
    // U+FFFE and U+FFFF (EF BF BE, EF BF BF) are left out, as from UTF-16 text.
    auto notCharacter = [&](const char *p) {
        return end - p >= 3 && static_cast<unsigned char>(p[0]) == 0xEF && static_cast<unsigned char>(p[1]) == 0xBF
                && (static_cast<unsigned char>(p[2]) & 0xFE) == 0xBE;
    };
    while (s < end) {
        const char *plain = s;
        while (s < end
               && (static_cast<unsigned char>(*s) >= 0x80 ? !notCharacter(s) : !escapeOf(char16_t(*s), inAttribute)))
            ++s;
        raw(std::string_view(plain, size_t(s - plain)));
        if (s == end)
            break;
        if (notCharacter(s))
            s += 3;
        else
            raw(escapeOf(char16_t(*s++), inAttribute));
    }
}

} // namespace sheet::odf

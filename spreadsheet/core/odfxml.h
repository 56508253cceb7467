// A cursor over an OpenDocument XML file, walked the way a streaming reader walks it: start
// elements, text, end elements. The file is read and parsed (pugixml, in place) in pieces
// of a bounded size: elements larger than a piece are opened on their own and their
// children parsed piece by piece, so that a large workbook never exists whole as a tree.
// Prefixes are resolved from the xmlns declarations in scope into the few namespaces the
// spreadsheet reader knows; entity and character references are decoded; a document that
// declares entities is refused, as is a reference to an entity XML does not predefine.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <pugixml.hpp>

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace sheet::odf {

enum class Ns : unsigned char {
    None,
    Other,
    Office,
    Style,
    Text,
    Table,
    Fo,
    Number,
    Svg,
    Config,
    Draw,
    Chart,
    Of,
    Meta,
    CalcExt,
    Xlink
};

// The local part of an element's name, compared with ASCII literals (u"table-cell").
struct LocalName
{
    std::string_view text;
    bool operator==(std::u16string_view other) const
    {
        if (other.size() != text.size())
            return false;
        for (size_t i = 0; i < text.size(); ++i)
            if (char16_t(static_cast<unsigned char>(text[i])) != other[i])
                return false;
        return true;
    }
    QString toString() const { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
};

class XmlCursor
{
public:
    enum Token { NoToken, StartElement, EndElement, Characters, EndDocument };
    enum Problem { NoProblem, Malformed, Truncated, EntitiesDeclared, NotXml, ReadFailed };

    // Parses `bytes` in place, piece by piece: a buffer no one else shares is not copied.
    explicit XmlCursor(QByteArray bytes, qsizetype pieceSize = kPieceSize);
    // Reads `device` as it goes, holding about two pieces of it at a time.
    explicit XmlCursor(QIODevice &device, qsizetype pieceSize = kPieceSize);
    ~XmlCursor();
    XmlCursor(const XmlCursor &) = delete;
    XmlCursor &operator=(const XmlCursor &) = delete;

    static constexpr qsizetype kPieceSize = 1 << 18;

    Problem problem() const { return m_problem; }
    int problemLine() const { return m_problemLine; }
    bool hasError() const { return m_problem != NoProblem; }
    // Frees what is held once everything is read.
    void release();

    // As QXmlStreamReader: the next start element among the children of the current element,
    // false at its end element.
    bool readNextStartElement();
    // Leaves the current element, its children unread.
    void skipCurrentElement();
    Token readNext();
    bool atEnd() const { return m_token == EndDocument; }
    bool isStartElement() const { return m_token == StartElement; }
    // The text directly inside the current element (child elements skipped); leaves it.
    QString readElementText();

    Ns ns() const { return m_ns; }
    LocalName name() const { return m_name; }
    const char *rawText() const { return m_text; } // of a Characters token
    QString text() const { return QString::fromUtf8(m_text); }

    // An attribute of the current element, null when absent.
    const char *attribute(Ns ns, std::string_view local) const;
    QString attr(Ns ns, std::string_view local) const { return QString::fromUtf8(attribute(ns, local)); }
    bool hasAttr(Ns ns, std::string_view local) const { return attribute(ns, local) != nullptr; }
    // Calls visit(ns, local name, value) for each attribute of the current element.
    template<typename F>
    void forEachAttribute(F &&visit) const
    {
        if (m_stack.empty())
            return;
        for (pugi::xml_attribute a = m_stack.back().element.first_attribute(); a; a = a.next_attribute()) {
            const auto [prefix, name] = split(a.name());
            visit(prefix.empty() ? Ns::None : resolve(prefix), name, a.value());
        }
    }

private:
    struct Binding
    {
        std::string_view prefix;
        Ns ns;
        size_t depth;
    };
    enum class LevelKind : unsigned char { Parsed, Streamed, Piece };
    struct Level
    {
        pugi::xml_node element; // for a piece: the piece's document
        pugi::xml_node next; // the next child to visit
        Ns ns;
        LocalName name;
        // The element's first text, which the parser keeps in the element itself (one node
        // less per cell), not yet read.
        const char *embedded;
        LevelKind kind;
    };
    // What follows in the bytes not yet parsed, at the level of the innermost streamed element.
    struct Ahead
    {
        enum What { Piece, EndTag, BigElement, End, Problem } what;
        qsizetype end; // of the piece, of the end tag, of the big element's start tag
        bool endsInText = false; // a piece whose last item is a run of text
    };

    void start();
    void enter(pugi::xml_node element, LevelKind kind = LevelKind::Parsed);
    void leave();
    Token streamNext();
    Ahead lookAhead();
    bool fill(qsizetype wanted);
    qsizetype itemEnd(qsizetype at, int &depthChange) const;
    void parsePiece(qsizetype end, bool endsInText);
    void openBigElement(qsizetype tagEnd);
    bool closeStreamed(qsizetype tagEnd);
    void fail(Problem problem, qsizetype offset);
    Ns resolve(std::string_view prefix) const;
    void forgetResolved(); // when the bindings change
    static Ns namespaceOf(std::string_view uri);
    static std::pair<std::string_view, std::string_view> split(const char *qualified);
    bool checkReferences(const char *begin, const char *end);
    int lineAt(qsizetype offset) const;

    QIODevice *m_device = nullptr;
    bool m_deviceDone = true;
    qsizetype m_pieceSize;
    QByteArray m_buffer; // the bytes read and not yet dropped
    qsizetype m_pos = 0; // in m_buffer: the first byte not yet parsed
    qsizetype m_pieceBase = 0; // in m_buffer: where the piece or tag last parsed starts
    qint64 m_dropped = 0; // bytes dropped from the front of m_buffer
    int m_droppedLines = 0; // line breaks among them
    int m_encoding = 0; // pugi::xml_encoding of the pieces
    bool m_sawRoot = false;
    pugi::xml_document m_piece; // the piece being walked
    std::vector<std::unique_ptr<pugi::xml_document>> m_openTags; // of the streamed elements
    std::unique_ptr<pugi::xml_document> m_closedTag; // of the streamed element left last
    std::vector<Level> m_stack;
    std::vector<Binding> m_bindings;
    // Prefixes looked up since the bindings last changed, by a hash of their text.
    struct Resolved
    {
        static constexpr unsigned char kEmpty = 0xFF;
        char prefix[15];
        unsigned char size = kEmpty;
        Ns ns = Ns::None;
    };
    static constexpr size_t kResolvedSlots = 16;
    mutable Resolved m_resolved[kResolvedSlots];
    Token m_token = NoToken;
    Ns m_ns = Ns::None;
    LocalName m_name;
    const char *m_text = "";
    Problem m_problem = NoProblem;
    int m_problemLine = 0;
};

// Writes OpenDocument XML straight into a byte buffer, laid out as QXmlStreamWriter lays it
// out with auto-formatting and a one-space indent (the same bytes for the same calls), with
// each text escaped and encoded in one pass. Every namespace the spreadsheet uses is
// declared on the root element under its usual prefix. Characters XML 1.0 cannot carry
// (control characters, U+FFFE, U+FFFF) are left out; a lone surrogate becomes U+FFFD.
class XmlWriter
{
public:
    // Appends to `out`; its reserved capacity is used before any reallocation.
    // The buffer holds exactly what is written once endDocument() returns.
    explicit XmlWriter(QByteArray &out);

    void startDocument();
    void startElement(Ns ns, std::string_view name);
    // An element closed by the next call that is not an attribute.
    void emptyElement(Ns ns, std::string_view name);
    // `prefix` (ASCII, nothing to escape) written before the value.
    void attribute(Ns ns, std::string_view name, QStringView value, std::string_view prefix = {});
    // `value` in UTF-8, escaped as needed.
    void attribute(Ns ns, std::string_view name, std::string_view value);
    void attribute(Ns ns, std::string_view name, const char *value) { attribute(ns, name, std::string_view(value)); }
    void attribute(Ns ns, std::string_view name, long long number);
    void characters(QStringView text);
    void textElement(Ns ns, std::string_view name, QStringView text);
    void endElement();
    void endDocument();

private:
    struct Open
    {
        Ns ns;
        std::string_view name;
    };
    bool finishStartElement(bool contents);
    void indent(size_t level);
    void qualifiedName(Ns ns, std::string_view name);
    // Room for `n` more bytes at the end of what is written.
    char *room(qsizetype n)
    {
        if (m_used + n > m_out.size())
            grow(n);
        return m_data + m_used;
    }
    void grow(qsizetype n);
    void put(char c)
    {
        *room(1) = c;
        ++m_used;
    }
    void raw(std::string_view bytes)
    {
        if (bytes.empty()) // an empty view may have no data at all
            return;
        std::memcpy(room(qsizetype(bytes.size())), bytes.data(), bytes.size());
        m_used += qsizetype(bytes.size());
    }
    void escaped(QStringView text, bool inAttribute);
    void escaped(std::string_view utf8, bool inAttribute);

    QByteArray &m_out; // sized ahead of what is written: m_used bytes are
    char *m_data = nullptr;
    qsizetype m_used = 0;
    std::vector<Open> m_open;
    bool m_inStartElement = false;
    bool m_inEmptyElement = false;
    bool m_lastWasStartElement = false;
    bool m_wroteSomething = false;
    bool m_namespacesDeclared = false;
};

} // namespace sheet::odf

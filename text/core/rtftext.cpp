#include "text/core/rtftext.h"

#include "common/cp1252.h"
#include "common/textfile.h"
#include "text/core/richtext.h"
#include "text/core/rtfreader.h"

#include <QString>

namespace rtf {
namespace {

// Appends lines to the output: each line encoded, then CR LF. The last line, when empty,
// is taken back at the end (the document's final paragraph mark opens no line of its own).
class LineWriter
{
public:
    explicit LineWriter(qsizetype expectedBytes) { m_out.reserve(expectedBytes); }

    void line(QStringView text)
    {
        const qsizetype at = m_out.size();
        m_out.resize(at + text.size() + 2);
        char *dst = m_out.data() + at;
        cp1252::encodeInto(text, dst);
        dst[text.size()] = '\r';
        dst[text.size() + 1] = '\n';
        m_lastEmpty = text.isEmpty();
    }

    // A paragraph: its line breaks start new lines.
    void paragraph(QStringView text)
    {
        qsizetype from = 0;
        for (qsizetype i = text.indexOf(QChar::LineSeparator); i >= 0; i = text.indexOf(QChar::LineSeparator, from)) {
            line(text.sliced(from, i - from));
            from = i + 1;
        }
        line(text.sliced(from));
    }

    QByteArray finish()
    {
        if (m_lastEmpty)
            m_out.chop(2);
        return std::move(m_out);
    }

private:
    QByteArray m_out;
    bool m_lastEmpty = false;
};

} // namespace

QByteArray plainTextLines(const QByteArray &bytes)
{
    LineWriter out(bytes.size());
    if (isRtf(bytes)) {
        parseText(bytes, [&](QStringView text) { out.paragraph(text); });
        return out.finish();
    }
    // Plain text: CR LF, LF and CR end a line; control characters other than the tab read as
    // spaces, as the control takes them.
    QString text = cp1252::decode(textfile::cutAtCtrlZ(bytes));
    for (QChar &c : text)
        if (c != u'\r' && c != u'\n' && !richtext::isTextCharacter(c.unicode()))
            c = u' ';
    const QStringView view(text);
    qsizetype from = 0;
    for (qsizetype i = 0; i < view.size(); ++i) {
        if (view[i] != u'\r' && view[i] != u'\n')
            continue;
        out.line(view.sliced(from, i - from));
        if (view[i] == u'\r' && i + 1 < view.size() && view[i + 1] == u'\n')
            ++i;
        from = i + 1;
    }
    out.line(view.sliced(from));
    return out.finish();
}

} // namespace rtf

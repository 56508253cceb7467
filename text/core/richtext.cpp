#include "text/core/richtext.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>

namespace richtext {
namespace {

// A paragraph that gets a bullet without a hanging indent gets the control's own: the
// bullet a quarter inch in (360 twips), the text half an inch in (\fi-360\li720).
constexpr double kBulletHangPx = 360 / kTwipsPerPx;

int linesOf(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    if (layout && layout->lineCount() > 0)
        return layout->lineCount();
    return int(block.text().count(QChar::LineSeparator)) + 1;
}

QString withoutLineEnd(QString line)
{
    if (line.endsWith(QChar::LineSeparator))
        line.chop(1);
    return line;
}

} // namespace

QString defaultFamily() { return QStringLiteral("Arial"); }

QTextCharFormat defaultCharFormat()
{
    QTextCharFormat f;
    f.setFontFamilies({defaultFamily()});
    f.setFontPointSize(kDefaultPointSize);
    return f;
}

void prepare(QTextDocument &doc)
{
    QFont font(defaultFamily());
    font.setPointSizeF(kDefaultPointSize);
    doc.setDefaultFont(font);
    QTextOption option = doc.defaultTextOption();
    option.setTabStopDistance(kDefaultTabPx);
    doc.setDefaultTextOption(option);
    doc.setDocumentMargin(0);
}

bool hasBullet(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    return list && list->format().style() == QTextListFormat::ListDisc;
}

Indents indents(const QTextBlockFormat &format, bool bullet)
{
    Indents in;
    in.left = format.leftMargin();
    in.right = format.rightMargin();
    in.first = bullet ? format.doubleProperty(kBulletFirstIndent) : format.textIndent();
    return in;
}

Indents indents(const QTextBlock &block) { return indents(block.blockFormat(), hasBullet(block)); }

void setIndents(QTextBlockFormat &format, bool bullet, const Indents &in)
{
    format.setLeftMargin(in.left);
    format.setRightMargin(in.right);
    if (bullet) {
        format.setTextIndent(0);
        format.setProperty(kBulletFirstIndent, in.first);
    } else {
        format.setTextIndent(in.first);
        format.clearProperty(kBulletFirstIndent);
    }
}

void setBullet(QTextCursor &cursor, bool on)
{
    QTextBlock block = cursor.block();
    if (hasBullet(block) == on)
        return;
    if (on) {
        QTextBlockFormat f = block.blockFormat();
        Indents in = indents(f, false);
        if (-in.first < kBulletHangPx - 0.01) {
            const double start = in.left + in.first;
            in.first = -kBulletHangPx;
            in.left = start + 2 * kBulletHangPx;
        }
        if (QTextList *other = block.textList()) // a list of another style: leave it
            other->remove(block);
        f = block.blockFormat();
        setIndents(f, true, in);
        cursor.setBlockFormat(f);
        const QTextBlock above = block.previous();
        if (above.isValid() && hasBullet(above)) {
            above.textList()->add(block);
        } else {
            QTextListFormat lf;
            lf.setStyle(QTextListFormat::ListDisc);
            lf.setIndent(0);
            cursor.createList(lf);
        }
    } else {
        const Indents before = indents(block);
        block.textList()->remove(block);
        QTextBlockFormat f = block.blockFormat();
        Indents in = before;
        if (qAbs(in.first + kBulletHangPx) < 0.01 && in.left >= 2 * kBulletHangPx - 0.01) {
            in.left -= 2 * kBulletHangPx; // undoes what giving the bullet did
            in.first = 0;
        } else if (in.first < 0) { // the text goes back to where the bullet stood
            in.left += in.first;
            in.first = 0;
        }
        setIndents(f, false, in);
        cursor.setBlockFormat(f);
    }
}

QList<double> tabStops(const QTextBlockFormat &format)
{
    QList<double> out;
    for (const QTextOption::Tab &t : format.tabPositions())
        out.append(t.position);
    return out;
}

void setTabStops(QTextBlockFormat &format, const QList<double> &px)
{
    QList<QTextOption::Tab> tabs;
    for (double p : px)
        tabs.append(QTextOption::Tab(p, QTextOption::LeftTab));
    format.setTabPositions(tabs);
}

QString plainText(const QTextDocument &doc)
{
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin())
            out += QLatin1String("\r\n");
        QString t = b.text();
        t.replace(QChar::LineSeparator, QLatin1String("\r\n"));
        out += t;
    }
    return out;
}

void setPlainText(QTextDocument &doc, const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    for (QChar &c : t)
        if (c != u'\n' && !isTextCharacter(c.unicode()))
            c = u' ';
    doc.clear();
    prepare(doc);
    QTextCursor cursor(&doc);
    cursor.setBlockCharFormat(defaultCharFormat());
    cursor.insertText(t, defaultCharFormat());
}

QStringList displayedLines(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        const QTextLayout *layout = b.layout();
        if (layout && layout->lineCount() > 0) {
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                out.append(withoutLineEnd(text.mid(line.textStart(), line.textLength())));
            }
        } else {
            out.append(text.split(QChar::LineSeparator));
        }
    }
    return out;
}

int displayedLineCount(const QTextDocument &doc)
{
    int n = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        n += linesOf(b);
    return n;
}

int displayedLineOfPosition(const QTextDocument &doc, int position)
{
    const QTextBlock target = doc.findBlock(qBound(0, position, doc.characterCount() - 1));
    int n = 0;
    for (QTextBlock b = doc.begin(); b.isValid() && b != target; b = b.next())
        n += linesOf(b);
    if (!target.isValid())
        return n;
    const int inBlock = position - target.position();
    const QTextLayout *layout = target.layout();
    if (layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(inBlock);
        return n + (line.isValid() ? line.lineNumber() : layout->lineCount() - 1);
    }
    return n + int(target.text().left(inBlock).count(QChar::LineSeparator));
}

int positionOfDisplayedLine(const QTextDocument &doc, int line)
{
    if (line < 0)
        return -1;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int lines = linesOf(b);
        if (line < lines) {
            const QTextLayout *layout = b.layout();
            if (layout && layout->lineCount() > 0)
                return b.position() + layout->lineAt(line).textStart();
            int at = 0;
            const QString text = b.text();
            for (int k = 0; k < line; ++k)
                at = int(text.indexOf(QChar::LineSeparator, at)) + 1;
            return b.position() + at;
        }
        line -= lines;
    }
    return -1;
}

} // namespace richtext

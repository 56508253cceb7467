// The text window's side of crash recovery: a snapshot of the document for its copy, and
// the copy taken back in under the document's own name.
#include "text/ui/ttexte.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "text/core/richtext.h"
#include "text/core/rtfwriter.h"
#include "text/ui/richedit.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <memory>
#include <vector>

namespace {

// What the RTF writer reads of a document, taken block by block: quick to take (the
// texts and formats are shared, not copied), and turned back into a document on the
// writer's thread.
struct Snapshot
{
    struct Run
    {
        int position;
        int length;
        QTextCharFormat format;
    };
    struct Paragraph
    {
        QTextBlockFormat format;
        QTextCharFormat charFormat;
        const QTextList *list = nullptr; // identity only, never followed
        QTextListFormat listFormat;
        std::vector<Run> runs;
    };
    QFont defaultFont;
    QString text; // the whole text at once: one copy instead of one per run
    std::vector<Paragraph> paragraphs;

    explicit Snapshot(const QTextDocument &doc) : defaultFont(doc.defaultFont()), text(doc.toRawText())
    {
        paragraphs.reserve(size_t(doc.blockCount()));
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            Paragraph p{block.blockFormat(), block.charFormat(), block.textList(), {}, {}};
            // A format names the list it belongs to in its own document: that link is
            // made again in the new one.
            p.format.setObjectIndex(-1);
            if (p.list) {
                p.listFormat = p.list->format();
                p.listFormat.setObjectIndex(-1);
            }
            for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().isValid())
                    p.runs.push_back({it.fragment().position(), it.fragment().length(), it.fragment().charFormat()});
            paragraphs.push_back(std::move(p));
        }
    }

    void rebuild(QTextDocument &doc) const
    {
        doc.setDefaultFont(defaultFont);
        QTextCursor cursor(&doc);
        const QTextList *lastSource = nullptr;
        QTextList *lastList = nullptr;
        bool first = true;
        for (const Paragraph &p : paragraphs) {
            if (first) {
                cursor.setBlockFormat(p.format);
                cursor.setBlockCharFormat(p.charFormat);
            } else {
                cursor.insertBlock(p.format, p.charFormat);
            }
            first = false;
            if (p.list && p.list == lastSource && lastList) {
                lastList->add(cursor.block());
            } else if (p.list) {
                lastList = cursor.createList(p.listFormat);
                lastSource = p.list;
            } else {
                lastSource = nullptr;
                lastList = nullptr;
            }
            for (const Run &r : p.runs)
                cursor.insertText(text.mid(r.position, r.length), r.format);
        }
    }
};

} // namespace

DocumentWindow::RecoveryState TTexte::recoveryState(bool withWriter) const
{
    RecoveryState state{isModified(), NomFichier(), {}};
    if (!withWriter || !state.modified)
        return state;
    if (RichEdit1->plainTextMode()) {
        const QString text = richtext::plainText(*RichEdit1->document());
        state.write = [text](const QString &path) { atomicsave::write(path, cp1252::encode(text)); };
        return state;
    }
    // Only the snapshot is taken here; the document is rebuilt from it and written as RTF
    // on the writer's thread, so that a long text does not hold up typing.
    auto snapshot = std::make_shared<const Snapshot>(*RichEdit1->document());
    state.write = [snapshot](const QString &path) {
        QTextDocument doc;
        snapshot->rebuild(doc);
        atomicsave::write(path, rtf::write(doc));
    };
    return state;
}

void TTexte::restoreRecoveryCopy(const QString &copy, const QString &fileName)
{
    RichEdit1->loadFromFile(copy);
    setNomFichier(fileName);
    RichEdit1->setModified(true);
    RichEdit1->setSelection(0, 0);
}

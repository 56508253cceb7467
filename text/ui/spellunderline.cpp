#include "text/ui/spellunderline.h"

#include "common/ui/errorhandler.h"
#include "text/core/spellchecker.h"
#include "text/ui/richedit.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>

#include <ctime>

namespace {

QTextCharFormat waveFormat()
{
    QTextCharFormat f;
    f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    f.setUnderlineColor(Qt::red);
    return f;
}

} // namespace

SpellUnderline::SpellUnderline(RichEdit *edit) : QObject(edit), m_edit(edit)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &SpellUnderline::slice);
    connect(edit, &QTextEdit::textChanged, this, [this] {
        // A word the user is typing is not underlined before the caret leaves it.
        const QTextCursor c = m_edit->textCursor();
        const bool inWord = m_edit->hasFocus() && !c.hasSelection() && c.position() > 0
                && m_edit->document()->characterAt(c.position() - 1).isLetterOrNumber();
        m_editPos = inWord ? c.position() : -1;
        restart();
    });
    connect(edit, &QTextEdit::cursorPositionChanged, this, [this] {
        if (m_editPos >= 0 && m_edit->textCursor().position() != m_editPos) {
            m_editPos = -1; // the caret left the word being typed: check it now
            restart();
        }
    });
    connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, &SpellUnderline::restart);
    connect(edit->horizontalScrollBar(), &QScrollBar::valueChanged, this, &SpellUnderline::restart);
    SpellNotifier &n = SpellNotifier::instance();
    connect(&n, &SpellNotifier::loaded, this, &SpellUnderline::restart);
    connect(&n, &SpellNotifier::wordsChanged, this, &SpellUnderline::restart);
    connect(&n, &SpellNotifier::autoCheckChanged, this, &SpellUnderline::restart);
    edit->viewport()->installEventFilter(this);
    restart();
}

void SpellUnderline::setChecker(SpellChecker *checker)
{
    m_checker = checker;
    m_ownChecker = checker != nullptr;
    restart();
}

SpellChecker *SpellUnderline::checker() const { return m_ownChecker ? m_checker : SpellChecker::frenchIfLoaded(); }

bool SpellUnderline::isActive() const { return spelling::autoCheck() && !m_edit->plainTextMode() && checker(); }

QList<QPair<int, int>> SpellUnderline::underlined() const
{
    QList<QPair<int, int>> out;
    for (const QTextEdit::ExtraSelection &s : m_shown)
        out.append({s.cursor.selectionStart(), s.cursor.selectionEnd() - s.cursor.selectionStart()});
    return out;
}

void SpellUnderline::schedule()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void SpellUnderline::restart()
{
    // Nothing is done while the key press that caused this is handled: the check runs
    // from the event loop, a slice at a time.
    m_restart = true;
    schedule();
}

void SpellUnderline::collectVisible()
{
    m_restart = false;
    m_pending.clear();
    m_found.clear();
    if (!isActive()) {
        m_shown.clear();
        apply(true);
        return;
    }
    // What the viewport shows, in pieces of a few words cut at white space, so that one
    // piece never holds a slice up for long.
    const QRect view = m_edit->viewport()->rect();
    const int first = m_edit->cursorForPosition(view.topLeft()).position();
    const int last = m_edit->cursorForPosition(view.bottomRight()).position();
    QTextDocument *doc = m_edit->document();
    QTextBlock block = doc->findBlock(first);
    while (block.isValid() && block.position() <= last) {
        const int bStart = block.position();
        const int bEnd = bStart + block.length() - 1; // before the paragraph mark
        int s = qMax(bStart, first - 64);
        const int e = qMin(bEnd, last + 64);
        while (s > bStart && !doc->characterAt(s - 1).isSpace())
            --s;
        while (s < e) {
            int cut = qMin(s + kPieceChars, bEnd);
            while (cut < bEnd && !doc->characterAt(cut).isSpace())
                ++cut;
            m_pending.append({s, cut});
            s = cut;
        }
        block = block.next();
    }
}

void SpellUnderline::slice()
{
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuStart = std::clock();
    if (m_restart)
        collectVisible();
    SpellChecker *c = checker();
    if (!c || !isActive())
        return;
    QTextDocument *doc = m_edit->document();
    while (!m_pending.isEmpty()) {
        const Segment seg = m_pending.takeFirst();
        QTextCursor piece(doc);
        piece.setPosition(seg.start);
        piece.setPosition(seg.end, QTextCursor::KeepAnchor);
        const QString text = piece.selectedText();
        for (const spelling::Word &w : spelling::splitWords(text)) {
            const int at = seg.start + w.start;
            if (m_editPos >= at && m_editPos <= at + w.length)
                continue; // still being typed
            if (c->isKnown(w.text))
                continue;
            QTextEdit::ExtraSelection sel;
            sel.cursor = QTextCursor(doc);
            sel.cursor.setPosition(at);
            sel.cursor.setPosition(at + w.length, QTextCursor::KeepAnchor);
            sel.format = waveFormat();
            m_found.append(sel);
        }
        if (clock.elapsed() >= kSliceMs && !m_pending.isEmpty())
            break;
    }
    apply(m_pending.isEmpty());
    if (!m_pending.isEmpty())
        schedule();
    m_longestSliceNs = qMax(m_longestSliceNs, clock.nsecsElapsed());
    m_longestSliceCpuMs = qMax(m_longestSliceCpuMs, double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
}

void SpellUnderline::apply(bool finished)
{
    QList<QTextEdit::ExtraSelection> shown = m_found;
    if (finished) {
        m_shown = m_found;
    } else {
        // Keep the old underlines of what is not checked again yet.
        const int from = m_pending.first().start;
        for (const QTextEdit::ExtraSelection &s : m_shown)
            if (s.cursor.selectionStart() >= from)
                shown.append(s);
    }
    m_edit->setExtraSelections(shown);
}

void SpellUnderline::refreshNow()
{
    restart();
    do
        slice();
    while (!m_pending.isEmpty() && isActive());
    m_timer.stop();
}

bool SpellUnderline::wordAt(int pos, spelling::Word &word)
{
    SpellChecker *c = checker();
    if (!c || !isActive())
        return false;
    const QTextBlock block = m_edit->document()->findBlock(pos);
    const int inBlock = pos - block.position();
    for (const spelling::Word &w : spelling::splitWords(block.text())) {
        if (inBlock < w.start || inBlock > w.start + w.length)
            continue;
        if (c->isKnown(w.text))
            return false;
        word = w;
        word.start += block.position();
        return true;
    }
    return false;
}

QMenu *SpellUnderline::createMenu(const QPoint &pos)
{
    spelling::Word word;
    if (!wordAt(m_edit->cursorForPosition(pos).position(), word))
        return nullptr;
    SpellChecker *c = checker();
    QMenu *menu = m_edit->createStandardContextMenu(m_edit->viewport()->mapToGlobal(pos));
    QAction *top = menu->actions().value(0);
    const QStringList suggestions = c->suggestions(word.text);
    QList<QAction *> entries;
    QFont bold = menu->font();
    bold.setBold(true);
    for (const QString &s : suggestions) {
        auto *a = new QAction(s, menu);
        a->setFont(bold);
        connect(a, &QAction::triggered, this, [this, word, s] { replaceWord(m_edit, word.start, word.length, s); });
        entries.append(a);
    }
    if (suggestions.isEmpty()) {
        auto *none = new QAction(QStringLiteral("(aucune suggestion)"), menu);
        none->setEnabled(false);
        entries.append(none);
    }
    auto *ignore = new QAction(QStringLiteral("Ignorer tout"), menu);
    connect(ignore, &QAction::triggered, this, [c, word] { c->ignoreAll(word.text); });
    auto *add = new QAction(QStringLiteral("Ajouter au dictionnaire"), menu);
    connect(add, &QAction::triggered, this,
            [this, c, word] { errorhandler::run(m_edit, [c, word] { c->addToPersonal(word.text); }); });
    auto *separator = new QAction(menu);
    separator->setSeparator(true);
    entries << separator << ignore << add;
    menu->insertActions(top, entries);
    if (top)
        menu->insertSeparator(top);
    return menu;
}

void SpellUnderline::replaceWord(QTextEdit *edit, int start, int length, const QString &text)
{
    QTextCursor c(edit->document());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    c.beginEditBlock();
    c.insertText(text);
    c.endEditBlock();
    edit->setTextCursor(c);
}

bool SpellUnderline::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit->viewport()) {
        if (event->type() == QEvent::Resize) {
            restart();
        } else if (event->type() == QEvent::ContextMenu) {
            auto *e = static_cast<QContextMenuEvent *>(event);
            if (QMenu *menu = createMenu(e->pos())) {
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(e->globalPos());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

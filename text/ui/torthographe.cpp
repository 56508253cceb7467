#include "text/ui/torthographe.h"

#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "text/core/spellchecker.h"
#include "text/ui/richedit.h"
#include "text/ui/spellunderline.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>

TOrthographe::TOrthographe(RichEdit *edit, SpellChecker &checker, QWidget *parent)
    : QDialog(parent),
      m_edit(edit),
      m_checker(checker)
{
    setObjectName(QStringLiteral("Orthographe"));
    setWindowTitle(QStringLiteral("Orthographe"));
    Contexte = new QTextEdit(this);
    Contexte->setReadOnly(true);
    Contexte->setFixedHeight(70);
    Contexte->setAccessibleName(QStringLiteral("Absent du dictionnaire"));
    Edit1 = new QLineEdit(this);
    Edit1->setAccessibleName(QStringLiteral("Remplacer par"));
    ListBox1 = new QListWidget(this);
    ListBox1->setAccessibleName(QStringLiteral("Suggestions"));
    auto button = [this](const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        return b;
    };
    RemplacerBtn = button(QStringLiteral("Remplacer"));
    RemplacerBtn->setDefault(true);
    RemplacerToutBtn = button(QStringLiteral("Remplacer tout"));
    IgnorerBtn = button(QStringLiteral("Ignorer"));
    IgnorerToutBtn = button(QStringLiteral("Ignorer tout"));
    AjouterBtn = button(QStringLiteral("Ajouter"));
    FermerBtn = button(QStringLiteral("Fermer"));

    auto *grid = new QGridLayout(this);
    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("Absent du dictionnaire :"), Contexte), 0, 0);
    grid->addWidget(Contexte, 1, 0);
    grid->addWidget(label(QStringLiteral("&Remplacer par :"), Edit1), 2, 0);
    grid->addWidget(Edit1, 3, 0);
    grid->addWidget(label(QStringLiteral("&Suggestions :"), ListBox1), 4, 0);
    grid->addWidget(ListBox1, 5, 0);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {IgnorerBtn, IgnorerToutBtn, AjouterBtn, RemplacerBtn, RemplacerToutBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(FermerBtn);
    grid->addLayout(buttons, 1, 1, 5, 1);
    resize(460, 320);

    connect(ListBox1, &QListWidget::currentTextChanged, Edit1, &QLineEdit::setText);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TOrthographe::replaceOne);
    connect(RemplacerBtn, &QPushButton::clicked, this, &TOrthographe::replaceOne);
    connect(RemplacerToutBtn, &QPushButton::clicked, this, &TOrthographe::replaceAll);
    connect(IgnorerBtn, &QPushButton::clicked, this, &TOrthographe::next);
    connect(IgnorerToutBtn, &QPushButton::clicked, this, [this] {
        m_checker.ignoreAll(m_word);
        next();
    });
    connect(AjouterBtn, &QPushButton::clicked, this, [this] {
        if (errorhandler::run(this, [this] { m_checker.addToPersonal(m_word); }))
            next();
    });
    connect(FermerBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TOrthographe::start()
{
    m_pos = m_stop = m_edit->selStart();
    m_wrapped = false;
    if (!findNext()) {
        finish();
        return false;
    }
    showCurrent();
    return true;
}

void TOrthographe::run()
{
    if (start())
        exec();
}

bool TOrthographe::findNext()
{
    QTextDocument *doc = m_edit->document();
    for (;;) {
        const int limit = m_wrapped ? m_stop : doc->characterCount();
        for (QTextBlock b = doc->findBlock(m_pos); b.isValid() && b.position() < limit; b = b.next()) {
            for (const spelling::Word &w : spelling::splitWords(b.text())) {
                const int at = b.position() + w.start;
                if (at < m_pos)
                    continue;
                if (at >= limit)
                    break;
                if (!m_checker.isKnown(w.text)) {
                    m_word = w.text;
                    m_start = at;
                    return true;
                }
            }
        }
        if (m_wrapped || m_stop == 0)
            return false;
        m_wrapped = true;
        m_pos = 0;
    }
}

void TOrthographe::showCurrent()
{
    m_edit->setSelection(m_start, int(m_word.size()));
    m_edit->ensureCursorVisible();
    // The sentence around the word, the word in red.
    const QTextBlock b = m_edit->document()->findBlock(m_start);
    const QString text = b.text();
    const int at = m_start - b.position();
    const int from = qMax(0, at - 60);
    const int to = qMin(int(text.size()), at + int(m_word.size()) + 60);
    Contexte->setHtml(QStringLiteral("%1<b><font color=\"red\">%2</font></b>%3")
                              .arg(text.mid(from, at - from).toHtmlEscaped(), m_word.toHtmlEscaped(),
                                   text.mid(at + m_word.size(), to - at - m_word.size()).toHtmlEscaped()));
    const QStringList suggestions = m_checker.suggestions(m_word);
    ListBox1->clear();
    ListBox1->addItems(suggestions);
    Edit1->setText(suggestions.value(0, m_word));
    if (!suggestions.isEmpty())
        ListBox1->setCurrentRow(0);
    Edit1->setFocus();
    Edit1->selectAll();
}

void TOrthographe::next()
{
    m_pos = m_start + int(m_word.size());
    advance();
}

void TOrthographe::advance()
{
    if (findNext())
        showCurrent();
    else
        finish();
}

void TOrthographe::replaceOne()
{
    const QString with = Edit1->text();
    SpellUnderline::replaceWord(m_edit, m_start, int(m_word.size()), with);
    const int delta = int(with.size() - m_word.size());
    if (m_wrapped)
        m_stop += delta;
    m_pos = m_start + int(with.size());
    advance();
}

void TOrthographe::replaceAll()
{
    const QString with = Edit1->text();
    const int delta = int(with.size() - m_word.size());
    QList<int> places;
    QTextDocument *doc = m_edit->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (const spelling::Word &w : spelling::splitWords(b.text()))
            if (w.text == m_word)
                places.append(b.position() + w.start);
    QTextCursor c(doc);
    c.beginEditBlock();
    for (qsizetype i = places.size() - 1; i >= 0; --i) {
        c.setPosition(places[i]);
        c.setPosition(places[i] + int(m_word.size()), QTextCursor::KeepAnchor);
        c.insertText(with);
    }
    c.endEditBlock();
    int before = 0, beforeStop = 0;
    for (int p : places) {
        before += p < m_start ? 1 : 0;
        beforeStop += p < m_stop ? 1 : 0;
    }
    m_stop += beforeStop * delta;
    m_pos = m_start + before * delta + int(with.size());
    advance();
}

void TOrthographe::finish()
{
    m_start = -1;
    m_word.clear();
    messageboxes::inform(isVisible() ? static_cast<QWidget *>(this) : parentWidget(), finishedMessage(),
                         QStringLiteral("Orthographe"));
    accept();
}

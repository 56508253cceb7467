// Cuts French text into the words a spelling dictionary is asked about. A word is a run of
// letters that may hold apostrophes (' or ’: l'école, qu'il, aujourd'hui) and hyphens
// (peut-être, c'est-à-dire) between two letters. Runs holding a digit (1er, A4, 2026) are
// not words, nor are pieces of addresses (mail, web, paths); words written all in capitals
// (sigles, titles, also after an elision: l'ONU) can be left out too.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace spelling {

struct Word
{
    int start = 0; // in UTF-16 units of the text given
    int length = 0;
    QString text; // as written (apostrophes kept as typed)
};

struct SplitOptions
{
    bool skipCapitals = true; // leave out words of two letters or more, all in capitals
};

QList<Word> splitWords(QStringView text, const SplitOptions &options = {});

// The word with the typographic apostrophe (’, ʼ) replaced by the straight one.
QString straightApostrophes(QString word);

// True when `c` is an apostrophe of either kind.
bool isApostrophe(QChar c);

// Length of the elided article or pronoun that opens `word` (l', d', qu', jusqu'...),
// apostrophe included; 0 when the word does not open with one.
int elisionLength(QStringView word);

} // namespace spelling

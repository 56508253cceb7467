#include "text/core/wordsplitter.h"

namespace spelling {
namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

bool isJoiner(QChar c)
{
    return isApostrophe(c) || c == u'-' || c == QChar(0x2011); // hyphen, non-breaking hyphen
}

// Characters that make the run around them an address or a path, not prose.
bool isAddressChar(QChar c) { return c == u'@' || c == u'/' || c == u'\\' || c == u'_' || c == u'#' || c == u'='; }

bool allCapitals(QStringView word)
{
    int letters = 0;
    for (QChar c : word) {
        if (!c.isLetter())
            continue;
        if (!c.isUpper())
            return false;
        ++letters;
    }
    return letters >= 2;
}

bool hasDigit(QStringView word)
{
    for (QChar c : word)
        if (c.isDigit() || c.isNumber())
            return true;
    return false;
}

} // namespace

bool isApostrophe(QChar c) { return c == u'\'' || c == QChar(0x2019) || c == QChar(0x02BC); }

QString straightApostrophes(QString word)
{
    for (QChar &c : word)
        if (isApostrophe(c))
            c = u'\'';
    return word;
}

int elisionLength(QStringView word)
{
    static const char16_t *const kElided[] = {u"l",      u"d",      u"j",      u"m",     u"n",     u"s",
                                              u"t",      u"c",      u"ç",      u"qu",    u"jusqu", u"lorsqu",
                                              u"puisqu", u"quoiqu", u"presqu", u"quelqu"};
    qsizetype apostrophe = -1;
    for (qsizetype i = 0; i < word.size(); ++i)
        if (isApostrophe(word[i])) {
            apostrophe = i;
            break;
        }
    if (apostrophe <= 0 || apostrophe + 1 >= word.size())
        return 0;
    const QStringView head = word.first(apostrophe);
    for (const char16_t *e : kElided)
        if (head.compare(QStringView(e), Qt::CaseInsensitive) == 0)
            return int(apostrophe + 1);
    return 0;
}

QList<Word> splitWords(QStringView text, const SplitOptions &options)
{
    QList<Word> words;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        // A joiner belongs to the word only with a word character on each side.
        while (i < n && (isWordChar(text[i]) || (isJoiner(text[i]) && i + 1 < n && isWordChar(text[i + 1]))))
            ++i;
        const QStringView word = text.sliced(start, i - start);
        const QChar before = start > 0 ? text[start - 1] : QChar();
        const QChar after = i < n ? text[i] : QChar();
        const bool dottedName = after == u'.' && i + 1 < n && isWordChar(text[i + 1]);
        const bool inAddress = isAddressChar(before) || isAddressChar(after) || dottedName
                || (before == u'.' && start >= 2 && isWordChar(text[start - 2]));
        if (inAddress) {
            // Skip the whole address, not only this piece of it.
            while (i < n && !text[i].isSpace())
                ++i;
            continue;
        }
        if (hasDigit(word) || (options.skipCapitals && allCapitals(word.sliced(elisionLength(word)))))
            continue;
        words.append({int(start), int(word.size()), word.toString()});
    }
    return words;
}

} // namespace spelling

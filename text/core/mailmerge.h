// The text side of a mail merge: the field markers of a letter ("[" + field name + "]")
// replaced by one record's values. What a marker stands for is the database's business,
// asked through `contenu`; the letter only finds its markers.
#pragma once

#include <QString>

#include <functional>

class QTextDocument;

namespace mailmerge {

// Gives `text` (a marker, brackets included) the record's value; leaves it unchanged when
// the bracketed text is no field of the database.
using Contenu = std::function<void(int record, QString &text)>;

// A "]" further than this from its "[" does not close a marker.
constexpr int kMarkerReach = 30;

// Replaces every marker of `doc` by what `contenu` gives for `record`. The search goes on
// after each marker, so a "[" with no "]" in reach, a bracketed text that is no field and a
// value that holds brackets itself are passed over, and the merge always ends. Returns the
// number of markers replaced.
int fillRecord(QTextDocument &doc, int record, const Contenu &contenu);

} // namespace mailmerge

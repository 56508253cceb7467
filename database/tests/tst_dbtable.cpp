// The table's edits, sort, search, replace and field markers.
#include "database/core/fieldmarkers.h"
#include "database/core/recordsearch.h"
#include "database/core/recordsort.h"
#include "database/core/table.h"

#include <QTest>

#include <algorithm>

namespace {

// A table whose field `field` of records 1..n holds `values` (and field 2 the record's
// original position, to follow whole rows).
Table withKeys(const QStringList &values, int field = 1)
{
    Table t;
    t.setCell(field, 0, QStringLiteral("Clé"));
    for (int i = 0; i < values.size(); ++i) {
        t.setCell(field, i + 1, values[i]);
        t.setCell(field == 2 ? 1 : 2, i + 1, QString::number(i + 1));
    }
    t.NbFiches = int(values.size());
    t.NbChamps = 2;
    return t;
}

QStringList column(const Table &t, int field)
{
    QStringList out;
    for (int r = 1; r <= t.lastRecord(); ++r)
        out.append(t.cell(field, r));
    return out;
}

} // namespace

class TestDbTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void freshTable();
    void resetTableIsFresh();
    void moveRowAndField();
    void compareKeys_data();
    void compareKeys();
    void sortAscendingAndDescending();
    void sortFrenchOrder_data();
    void sortFrenchOrder();
    void sortKeepsEveryRecord();
    void sortOnLaterField();
    void find_data();
    void find();
    void replace();
    void replaceRefusesTooLong();
    void markers_data();
    void markers();
};

void TestDbTable::freshTable()
{
    Table t;
    QCOMPARE(t.label(1), 1);
    QCOMPARE(t.label(4096), 4096);
    QCOMPARE(t.label(4097), 0);
    QCOMPARE(t.width(17), 160);
    QCOMPARE(t.lastUsedRow(), 0);
    t.setCell(33, 1, QStringLiteral("x")); // outside: ignored
    t.setCell(1, Table::kRowCount, QStringLiteral("x"));
    QCOMPARE(t.cell(33, 1), QString());
    QVERIFY(t.rowIsEmpty(1));
}

// A table used again is as a new one: no text, labels 1..4096, default widths, no counts.
void TestDbTable::resetTableIsFresh()
{
    Table t;
    t.setCell(3, 0, QStringLiteral("Nom"));
    t.setCell(2, 5000, QStringLiteral("loin"));
    t.setLabel(5000, 77);
    t.setLabel(2, 0);
    t.setWidth(17, 40);
    t.NbFiches = 5000;
    t.NbChamps = 3;
    t.reset();
    const Table fresh;
    QCOMPARE(t.NbFiches, 0);
    QCOMPARE(t.NbChamps, 0);
    QCOMPARE(t.lastUsedRow(), 0);
    QCOMPARE(t.lastUsedField(), 0);
    for (int r : {0, 1, 2, 4096, 4097, 5000})
        QCOMPARE(t.label(r), fresh.label(r));
    QCOMPARE(t.width(17), fresh.width(17));
}

void TestDbTable::moveRowAndField()
{
    Table t = withKeys({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    t.moveRow(1, 3);
    QCOMPARE(column(t, 1), (QStringList{"b", "c", "a"}));
    QCOMPARE(t.label(3), 1);
    t.moveRow(3, 1);
    QCOMPARE(column(t, 1), (QStringList{"a", "b", "c"}));
    t.setWidth(1, 77);
    t.moveField(1, 2);
    QCOMPARE(t.name(2), QStringLiteral("Clé"));
    QCOMPARE(t.cell(1, 1), QStringLiteral("1"));
    QCOMPARE(t.width(2), 77);
}

void TestDbTable::compareKeys_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("letters before case") << "abricot"
                                         << "Abricot" << -1;
    QTest::newRow("case only between equal letters") << "Abricot"
                                                     << "abris" << -1;
    QTest::newRow("accent with its letter") << "éric"
                                            << "Zoé" << -1;
    QTest::newRow("accent only between equal letters") << "cote"
                                                       << "côte" << -1;
    QTest::newRow("accent loses to a later letter") << "côte"
                                                    << "coter" << -1;
    QTest::newRow("ligature as its letters") << "œuf"
                                             << "ours" << -1;
    QTest::newRow("numbers by value") << "9"
                                      << "10" << -1;
    QTest::newRow("numbers inside text") << "rue 2"
                                         << "rue 10" << -1;
    QTest::newRow("prefix first") << "Dup"
                                  << "Dupont" << -1;
    QTest::newRow("empty smallest") << ""
                                    << " " << -1;
    QTest::newRow("equal") << "Dupont"
                           << "Dupont" << 0;
}

void TestDbTable::compareKeys()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int c = recordsort::compareKeys(a, b);
    QCOMPARE((c > 0) - (c < 0), sign);
    const int back = recordsort::compareKeys(b, a);
    QCOMPARE((back > 0) - (back < 0), -sign);
}

void TestDbTable::sortAscendingAndDescending()
{
    Table t = withKeys({QStringLiteral("martin"), QStringLiteral("Dupont"), QStringLiteral("Émile"),
                        QStringLiteral("ZOLA"), QStringLiteral("durand")});
    recordsort::sortRecords(t, 1, false);
    QCOMPARE(column(t, 1), (QStringList{"Dupont", "durand", "Émile", "martin", "ZOLA"}));
    QCOMPARE(column(t, 2), (QStringList{"2", "5", "3", "1", "4"})); // whole rows moved
    QCOMPARE(t.label(1), 2);
    recordsort::sortRecords(t, 1, true);
    QCOMPARE(column(t, 1), (QStringList{"ZOLA", "martin", "Émile", "durand", "Dupont"}));
    QCOMPARE(t.name(1), QStringLiteral("Clé")); // the names stay
}

void TestDbTable::sortFrenchOrder_data()
{
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("accents and case") << QStringList{"abricot", "Abricot", "éclair", "école", "Émile",
                                                     "Ève",     "œuf",     "Œuvre",  "zèbre", "Zorro"};
    QTest::newRow("numbers by value") << QStringList{"", "2", "9", "10", "100"};
    QTest::newRow("house numbers") << QStringList{"2 rue Haute", "10 rue Basse", "10 rue Haute"};
}

void TestDbTable::sortFrenchOrder()
{
    QFETCH(QStringList, sorted);
    // Every starting order, reversed and shuffled, ends in the same order.
    QStringList shuffled = sorted;
    std::reverse(shuffled.begin(), shuffled.end());
    for (int round = 0; round < 3; ++round) {
        Table t = withKeys(shuffled);
        recordsort::sortRecords(t, 1, false);
        QCOMPARE(column(t, 1), sorted);
        recordsort::sortRecords(t, 1, true);
        QStringList descending = sorted;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(column(t, 1), descending);
        std::rotate(shuffled.begin(), shuffled.begin() + 1, shuffled.end());
    }
}

void TestDbTable::sortKeepsEveryRecord()
{
    // The last record has an empty key but other fields: it takes part in the sort.
    Table t = withKeys({QStringLiteral("b"), QStringLiteral("a"), QString()});
    recordsort::sortRecords(t, 1, false);
    QCOMPARE(column(t, 1), (QStringList{"", "a", "b"}));
    QCOMPARE(column(t, 2), (QStringList{"3", "2", "1"}));
    QCOMPARE(t.NbFiches, 3);
    // Empty rows after the last record (Enter past it makes one) stay out of the sort, and
    // out of the count: they would come first and be saved as an empty first record.
    t.NbFiches = 5;
    recordsort::sortRecords(t, 1, true);
    QCOMPARE(t.NbFiches, 3);
    QCOMPARE(column(t, 1), (QStringList{"b", "a", ""}));
    QVERIFY(t.rowIsEmpty(4) && t.rowIsEmpty(5));
}

void TestDbTable::sortOnLaterField()
{
    Table t = withKeys({QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}, 2);
    recordsort::sortRecords(t, 2, false);
    QCOMPARE(column(t, 2), (QStringList{"a", "b", "c"}));
    QCOMPARE(column(t, 1), (QStringList{"3", "1", "2"}));
}

void TestDbTable::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::newRow("dup finds Dupont") << "dup" << 1;
    QTest::newRow("upper finds lower") << "PUIS" << 2;
    QTest::newRow("é is not É") << "é" << 0;
    QTest::newRow("É finds É") << "É" << 3;
    QTest::newRow("inside") << "ont" << 1;
    QTest::newRow("empty finds nothing") << "" << 0;
}

void TestDbTable::find()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    const Table t = withKeys({QStringLiteral("Dupont"), QStringLiteral("DUPUIS"), QStringLiteral("ÉMILE")});
    QCOMPARE(recordsearch::find(t, 1, text, 1), row);
}

void TestDbTable::replace()
{
    Table t = withKeys({QStringLiteral("rue de la Paix"), QStringLiteral("RUE RUE"), QStringLiteral("avenue")});
    const recordsearch::Replacement r = recordsearch::replace(t, 1, QStringLiteral("rue"), QStringLiteral("bd"));
    QCOMPARE(r.count, 3);
    QCOMPARE(column(t, 1), (QStringList{"bd de la Paix", "bd bd", "avenue"}));
    QCOMPARE(r.records, 2);
    // A replacement holding the text is not searched again.
    Table u = withKeys({QStringLiteral("aa")});
    QCOMPARE(recordsearch::replace(u, 1, QStringLiteral("a"), QStringLiteral("aa")).count, 2);
    QCOMPARE(u.cell(1, 1), QStringLiteral("aaaa"));
    QCOMPARE(u.name(1), QStringLiteral("Clé")); // names are not records
}

void TestDbTable::replaceRefusesTooLong()
{
    Table t = withKeys({QString(200, u'x') + QStringLiteral("ab"), QStringLiteral("ab")});
    const recordsearch::Replacement r = recordsearch::replace(t, 1, QStringLiteral("AB"), QString(60, u'y'));
    QCOMPARE(r.skipped, 1);
    QCOMPARE(r.count, 1);
    QCOMPARE(t.cell(1, 1), QString(200, u'x') + QStringLiteral("ab"));
    QCOMPARE(t.cell(1, 2), QString(60, u'y'));
}

void TestDbTable::markers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first occurrence only") << "Cher [Nom] [Nom]"
                                           << "Cher Martin [Nom]";
    QTest::newRow("later marker inside a value") << "[Titre]"
                                                 << "M. Paris";
    QTest::newRow("case-sensitive") << "[nom]"
                                    << "[nom]";
    QTest::newRow("trimmed value and name") << "à [Ville]."
                                            << "à Paris.";
    QTest::newRow("empty name matches []") << "a[]b"
                                           << "avideb";
    QTest::newRow("unknown field stays") << "[Rue]"
                                         << "[Rue]";
}

void TestDbTable::markers()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Table t;
    t.setCell(1, 0, QStringLiteral("Titre"));
    t.setCell(2, 0, QStringLiteral("Nom"));
    t.setCell(3, 0, QStringLiteral(" Ville "));
    t.setCell(1, 1, QStringLiteral("M. [Ville]"));
    t.setCell(2, 1, QStringLiteral("Martin"));
    t.setCell(3, 1, QStringLiteral("  Paris "));
    t.setCell(4, 1, QStringLiteral(" vide "));
    t.NbFiches = 1;
    t.NbChamps = 4;
    fieldmarkers::replaceMarkers(t, 1, text);
    QCOMPARE(text, expected);
}

QTEST_GUILESS_MAIN(TestDbTable)
#include "tst_dbtable.moc"

// The compact storage of the engine: the slab pool cells and formulas come from, the
// references kept inside a formula, the index of the formulas reading single cells (32 rows
// of a column to a chunk), and through the workbook, readers that must still be found after
// references were merged and lines moved across chunk boundaries.
#include "spreadsheet/core/slabpool.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookimpl.h"

#include <QtTest>

#include <random>
#include <set>

using namespace sheet;

namespace {

FormulaRef refTo(int row, int col)
{
    FormulaRef ref;
    ref.a.row = ref.b.row = row;
    ref.a.col = ref.b.col = std::int16_t(col);
    return ref;
}

std::vector<int> rowsOf(const FormulaRefs &refs)
{
    std::vector<int> rows;
    for (const FormulaRef &r : refs)
        rows.push_back(r.a.row);
    return rows;
}

// Every value of the sheet, then what a recalculation of everything gives: a reader the
// index lost keeps a stale value that the full recalculation corrects.
void expectUpToDate(Workbook &book, int sheet, const CellRange &area)
{
    std::vector<Value> before;
    for (int r = area.top; r <= area.bottom; ++r)
        for (int c = area.left; c <= area.right; ++c)
            before.push_back(book.value(sheet, r, c));
    book.recalculate();
    size_t i = 0;
    for (int r = area.top; r <= area.bottom; ++r)
        for (int c = area.left; c <= area.right; ++c, ++i)
            if (!(book.value(sheet, r, c) == before[i]))
                QFAIL(qPrintable(QStringLiteral("%1 stale: %2").arg(cellName(r, c), book.formulaText(sheet, r, c))));
}

} // namespace

class TestWorkbookStorage : public QObject
{
    Q_OBJECT

private slots:
    void slabPoolReusesAndGivesBackSlabs();
    void formulaRefsBehaveLikeAVector();
    void readerIndexAcrossChunks();
    void repeatedReferenceIsReadOnce();
    void readersFollowLinesAcrossChunks_data();
    void readersFollowLinesAcrossChunks();
    void largeWorkbookRecalculatesAndCloses();
};

void TestWorkbookStorage::slabPoolReusesAndGivesBackSlabs()
{
    SlabPool pool(40);
    const size_t perSlab = pool.slotsPerSlab();
    QVERIFY(perSlab > 1000);
    // Twenty and a half slabs of objects (past the first few, slabs come eight to a region),
    // each filled with its own number.
    std::vector<std::uint64_t *> objects;
    for (size_t i = 0; i < perSlab * 41 / 2; ++i) {
        auto *p = static_cast<std::uint64_t *>(pool.allocate());
        QCOMPARE(reinterpret_cast<std::uintptr_t>(p) % alignof(void *), std::uintptr_t(0));
        std::fill(p, p + 5, std::uint64_t(i));
        objects.push_back(p);
    }
    QCOMPARE(pool.slabCount(), size_t(21));
    QCOMPARE(pool.liveCount(), objects.size());
    // No slot overlaps another: every one still holds its number.
    for (size_t i = 0; i < objects.size(); ++i)
        QVERIFY(std::all_of(objects[i], objects[i] + 5, [&](std::uint64_t v) { return v == i; }));
    QCOMPARE(std::set<std::uint64_t *>(objects.begin(), objects.end()).size(), objects.size());

    // Every other object of the first slab goes: its objects are handed out again before a
    // new slab is made.
    std::set<void *> freed;
    for (size_t i = 0; i < perSlab; i += 2) {
        pool.release(objects[i]);
        freed.insert(objects[i]);
        objects[i] = nullptr;
    }
    for (size_t i = 0; i < freed.size(); ++i)
        QVERIFY(freed.count(pool.allocate()) == 1);
    QCOMPARE(pool.slabCount(), size_t(21));

    // The same objects given back once more, then everything else: the empty slabs go,
    // but for one kept for the next allocations.
    for (void *p : freed)
        pool.release(p);
    for (std::uint64_t *p : objects)
        pool.release(p);
    QCOMPARE(pool.liveCount(), size_t(0));
    QCOMPARE(pool.slabCount(), size_t(1));
    void *again = pool.allocate();
    QCOMPARE(pool.slabCount(), size_t(1));
    pool.release(again);
}

void TestWorkbookStorage::formulaRefsBehaveLikeAVector()
{
    FormulaRefs refs;
    QVERIFY(refs.empty());
    refs.push_back(refTo(1, 1));
    refs.push_back(refTo(2, 1));
    QCOMPARE(refs.capacity(), size_t(FormulaRefs::kInline)); // still inside
    // Copies and moves of an inside list are independent of it.
    FormulaRefs copy = refs;
    copy[0].a.row = 10;
    QCOMPARE(rowsOf(refs), (std::vector<int>{1, 2}));
    FormulaRefs moved = std::move(copy);
    QCOMPARE(rowsOf(moved), (std::vector<int>{10, 2}));
    QVERIFY(copy.empty());

    // Growing past the inside room, with an item of the list itself as the new one.
    refs.push_back(refs[0]);
    refs.push_back(refs.back());
    refs.push_back(refTo(5, 3));
    QCOMPARE(rowsOf(refs), (std::vector<int>{1, 2, 1, 1, 5}));
    QCOMPARE(refs[4].a.col, std::int16_t(3));
    FormulaRefs heapCopy(refs);
    heapCopy[1].a.row = 20;
    QCOMPARE(refs[1].a.row, 2);
    moved = std::move(heapCopy); // an inside list takes a heap one
    QCOMPARE(rowsOf(moved), (std::vector<int>{1, 20, 1, 1, 5}));
    moved = refs; // and copies it back
    QCOMPARE(rowsOf(moved), rowsOf(refs));

    // Shrunk to two items, the list moves back inside and stays whole.
    FormulaRefs two;
    for (int r = 1; r <= 3; ++r)
        two.push_back(refTo(r, 2));
    FormulaRefs kept;
    kept.push_back(two[0]);
    kept.push_back(two[2]);
    kept.shrink_to_fit();
    QCOMPARE(kept.capacity(), size_t(FormulaRefs::kInline));
    two.shrink_to_fit();
    QCOMPARE(two.capacity(), size_t(3));
    QCOMPARE(rowsOf(two), (std::vector<int>{1, 2, 3}));
    std::vector<int> seen;
    for (const FormulaRef &r : std::as_const(kept))
        seen.push_back(r.a.row);
    QCOMPARE(seen, (std::vector<int>{1, 3}));
}

void TestWorkbookStorage::readerIndexAcrossChunks()
{
    auto key = [](int sheet, int row, int col) { return Workbook::Impl::key(sheet, row, col); };
    std::vector<std::unique_ptr<Cell>> cells;
    for (int i = 0; i < 3; ++i)
        cells.push_back(std::make_unique<Cell>());
    Cell *a = cells[0].get(), *b = cells[1].get(), *c = cells[2].get();

    CellReaderIndex index;
    // Rows on both sides of chunk boundaries, the last column, the last row, two sheets.
    const std::vector<std::uint64_t> keys = {key(1, 1, 1),          key(1, 31, 1), key(1, 32, 1),
                                             key(1, 33, 1),         key(1, 64, 1), key(1, 65, 256),
                                             key(1, kMaxRows, 256), key(2, 32, 1), key(2, 33, 2)};
    for (std::uint64_t k : keys)
        QVERIFY(index.add(k, a));
    QVERIFY(!index.add(key(1, 32, 1), a)); // the same reader again: listed once
    QVERIFY(index.add(key(1, 32, 1), b));
    QVERIFY(index.add(key(1, 32, 1), a)); // after another one: a formula reads it twice
    QCOMPARE(index.size(), keys.size());
    QVERIFY(!index.find(key(1, 2, 1)));
    QVERIFY(!index.find(key(1, 32, 2)));
    QVERIFY(!index.find(key(3, 32, 1)));
    QCOMPARE(index.find(key(1, 32, 1))->size(), size_t(3));

    // forEach gives back exactly the keys filed.
    std::set<std::uint64_t> visited;
    index.forEach([&](std::uint64_t k, const ReaderList &readers) {
        QVERIFY(!readers.empty());
        visited.insert(k);
    });
    QCOMPARE(visited, std::set<std::uint64_t>(keys.begin(), keys.end()));

    // Taken out and put elsewhere, a list keeps its readers; put onto a list, it joins it.
    ReaderList taken = index.take(key(1, 32, 1));
    QCOMPARE(taken.size(), size_t(3));
    QVERIFY(!index.find(key(1, 32, 1)));
    QVERIFY(index.find(key(1, 33, 1))); // its neighbour in the chunk stays
    index.put(key(1, 33, 1), std::move(taken));
    QCOMPARE(index.find(key(1, 33, 1))->size(), size_t(4));
    index.add(key(1, 1000, 5), c);
    QCOMPARE(*index.find(key(1, 1000, 5))->begin(), c);

    for (std::uint64_t k : keys)
        index.erase(k);
    QCOMPARE(index.size(), size_t(1));
    index.erase(key(1, 1000, 5));
    QCOMPARE(index.size(), size_t(0));
    int left = 0;
    index.forEach([&](std::uint64_t, const ReaderList &) { ++left; });
    QCOMPARE(left, 0);
}

void TestWorkbookStorage::repeatedReferenceIsReadOnce()
{
    Workbook book;
    book.setValue(0, 1, 1, Value::number(-4));
    book.setValue(0, 1, 2, Value::number(10));
    book.setFormula(0, 2, 1, QStringLiteral("SI(A1>0;A1;-A1)+B1+A1"));
    book.setFormula(0, 3, 1, QStringLiteral("SOMME(A1:B1)+A1:A1+$A$1"));
    // The text is what was typed, references written again included.
    QCOMPARE(book.formulaText(0, 2, 1), QStringLiteral("=SI(A1>0;A1;-A1)+B1+A1"));
    QCOMPARE(book.formulaText(0, 3, 1), QStringLiteral("=SOMME(A1:B1)+A1:A1+$A$1"));
    QCOMPARE(book.value(0, 2, 1).asNumber(), 10.0);
    QCOMPARE(book.value(0, 3, 1).asNumber(), -2.0);
    book.setValue(0, 1, 1, Value::number(3));
    QCOMPARE(book.value(0, 2, 1).asNumber(), 16.0);
    QCOMPARE(book.value(0, 3, 1).asNumber(), 19.0);

    // Moving the cells read (a row inserted above) moves every use of the reference.
    book.insertRows(0, 1, 1);
    QCOMPARE(book.formulaText(0, 3, 1), QStringLiteral("=SI(A2>0;A2;-A2)+B2+A2"));
    book.setValue(0, 2, 1, Value::number(-1));
    QCOMPARE(book.value(0, 3, 1).asNumber(), 10.0);

    // Past the references looked up again, a repeated one is kept twice: still read.
    QStringList terms;
    for (int i = 1; i <= 40; ++i)
        terms << cellName(i, 4);
    terms << QStringLiteral("D1") << QStringLiteral("D40");
    book.setFormula(0, 1, 5, terms.join(u'+'));
    book.setValue(0, 40, 4, Value::number(2));
    QCOMPARE(book.value(0, 1, 5).asNumber(), 4.0);
    book.setValue(0, 1, 4, Value::number(1));
    QCOMPARE(book.value(0, 1, 5).asNumber(), 6.0);
    QCOMPARE(book.formulaText(0, 1, 5), u'=' + terms.join(u'+'));

    // Once the reader is gone, changing what it read reaches nothing stale.
    book.clearContents(0, CellRange{3, 1, 3, 1});
    book.setValue(0, 2, 1, Value::number(7));
    QVERIFY(book.value(0, 3, 1).isEmpty());
    QCOMPARE(book.value(0, 4, 1).asNumber(), 31.0);
    expectUpToDate(book, 0, CellRange{1, 1, 5, 2});
}

void TestWorkbookStorage::readersFollowLinesAcrossChunks_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("count");
    // count < 0: -count lines deleted.
    QTest::newRow("rows inserted inside a chunk") << true << 31 << 3;
    QTest::newRow("rows inserted at a chunk start") << true << 33 << 32;
    QTest::newRow("rows deleted across a boundary") << true << 30 << -5;
    QTest::newRow("rows deleted, whole chunk") << true << 33 << -40;
    QTest::newRow("column inserted") << false << 2 << 1;
    QTest::newRow("column deleted") << false << 1 << -1; // after one inserted there
}

void TestWorkbookStorage::readersFollowLinesAcrossChunks()
{
    QFETCH(bool, rows);
    QFETCH(int, at);
    QFETCH(int, count);
    // Column A: inputs on 100 rows; B reads A one row up, C reads B of its row twice and
    // a cell of A further down; the second sheet reads some of them alone.
    constexpr int kLast = 100;
    Workbook book;
    book.setSheetCount(2);
    for (int r = 1; r <= kLast; ++r) {
        book.setValue(0, r, 1, Value::number(r));
        if (r > 1)
            book.setFormula(0, r, 2, QStringLiteral("A%1*2").arg(r - 1));
        book.setFormula(0, r, 3, QStringLiteral("B%1+B%1+A%2").arg(r).arg(std::min(kLast, r + 31)));
    }
    for (int r = 1; r <= 40; ++r)
        book.setFormula(1, r, 1, QStringLiteral("Feuil1!A%1+Feuil1!C%2").arg(r * 2).arg(r + 30));
    if (rows)
        count > 0 ? book.insertRows(0, at, count) : book.deleteRows(0, at, -count);
    else if (count > 0)
        book.insertColumns(0, at, count);
    else
        book.insertColumns(0, at, -count), book.deleteColumns(0, at, -count);
    expectUpToDate(book, 0, CellRange{1, 1, kLast + 40, 4});
    expectUpToDate(book, 1, CellRange{1, 1, 40, 1});

    // Every input changed, one at a time in random order: whatever read it must follow at
    // once (a later change must not hide a reader the index lost).
    std::vector<CellAddress> inputs;
    for (int r = 1; r <= kLast + 40; ++r)
        for (int c = 1; c <= 2; ++c)
            if (!book.hasFormula(0, r, c) && !book.value(0, r, c).isEmpty())
                inputs.push_back(CellAddress{r, c});
    QVERIFY(inputs.size() >= 60);
    std::mt19937 rng(7);
    std::shuffle(inputs.begin(), inputs.end(), rng);
    for (const CellAddress &input : inputs) {
        book.setValue(0, input.row, input.col, Value::number(double(rng() % 100)));
        expectUpToDate(book, 0, CellRange{1, 1, kLast + 40, 4});
        expectUpToDate(book, 1, CellRange{1, 1, 40, 1});
        if (QTest::currentTestFailed())
            return;
    }
}

void TestWorkbookStorage::largeWorkbookRecalculatesAndCloses()
{
    // Enough cells for many slabs and chunks, a chain deeper than any stack, and a cycle:
    // built, changed, and closed twice so that the second reuses what the first gave back.
    for (int round = 0; round < 2; ++round) {
        Workbook book;
        constexpr int kRows = 30000;
        book.setValue(0, 1, 1, Value::number(1));
        for (int r = 2; r <= kRows; ++r)
            book.setFormula(0, r, 1, QStringLiteral("A%1+1").arg(r - 1));
        for (int r = 1; r <= kRows; ++r)
            book.setFormula(0, r, 2, QStringLiteral("IF(A%1>0;A%1;0)*2").arg(r));
        book.setFormula(0, 1, 3, QStringLiteral("C2+1"));
        book.setFormula(0, 2, 3, QStringLiteral("C1+B%1").arg(kRows));
        QCOMPARE(book.value(0, kRows, 2).asNumber(), 2.0 * kRows);
        QCOMPARE(book.value(0, 1, 3).errorCode(), ErrorCode::Circular);
        book.setValue(0, 1, 1, Value::number(10 + round));
        QCOMPARE(book.value(0, kRows, 1).asNumber(), double(kRows + 9 + round));
        QCOMPARE(book.value(0, kRows, 2).asNumber(), 2.0 * (kRows + 9 + round));
        // The cycle broken: both cells get numbers again.
        book.setFormula(0, 1, 3, QStringLiteral("5"));
        QCOMPARE(book.value(0, 2, 3).asNumber(), 5.0 + 2.0 * (kRows + 9 + round));
        book.deleteRows(0, 1, 100);
        QCOMPARE(book.value(0, kRows - 100, 1).errorCode(), ErrorCode::Ref);
        expectUpToDate(book, 0, CellRange{1, 1, 50, 3});
    }
}

QTEST_GUILESS_MAIN(TestWorkbookStorage)
#include "tst_workbookstorage.moc"

#include "utilities/core/postage.h"

#include "common/frenchformat.h"

#include <cmath>

namespace postage {

const std::array<Item, kItemCount> &items()
{
    static const QString simples = QStringLiteral("Enveloppes simples");
    static const QString matelassees = QStringLiteral("Enveloppes matalassées");
    static const QString feuilles = QStringLiteral("Feuilles");
    static const QString supports = QStringLiteral("Supports informatiques");
    static const QString photos = QStringLiteral("Photos");
    static const std::array<Item, kItemCount> table = {{
            {simples, QStringLiteral("114 x 162 mm"), 1, 3.2},
            {simples, QStringLiteral("110 x 220 mm"), 2, 4.5},
            {simples, QStringLiteral("162 x 229 mm"), 3, 7.5},
            {simples, QStringLiteral("229 x 234 mm"), 4, 14.6},
            {matelassees, QStringLiteral("170 x 230 mm"), 5, 16},
            {matelassees, QStringLiteral("200 x 270 mm"), 6, 20.4},
            {matelassees, QStringLiteral("240 x 280 mm"), 7, 25},
            {matelassees, QStringLiteral("260 x 340 mm"), 8, 29.3},
            {matelassees, QStringLiteral("280 x 370 mm"), 21, 37.5},
            {feuilles, QStringLiteral("210 x 297 mm (A4)"), 9, 5},
            {feuilles, QStringLiteral("297 x 420 mm (A3)"), 10, 10},
            {feuilles, QStringLiteral("180 x 220 mm (cour.)"), 11, 2.5},
            {feuilles, QStringLiteral("Chèque"), 12, 1.4},
            {supports, QStringLiteral("Disquette 3 1/2"), 13, 19},
            {supports, QStringLiteral("CD-ROM nu"), 14, 15},
            {supports, QStringLiteral("CD-ROM Etui"), 15, 22.2},
            {supports, QStringLiteral("CD-ROm boîte plast."), 16, 92},
            {supports, QStringLiteral("Disquette Ioméga"), 17, 86},
            {photos, QStringLiteral("Photo 100 x 150 mm"), 18, 3.6},
            {photos, QStringLiteral("Photo 130 x 190 mm"), 19, 6},
            {QStringLiteral("Poids supplémentaire"), QStringLiteral("En grammes"), 20, 1},
    }};
    return table;
}

const QList<Bracket> &tariff(Service service)
{
    static const QList<Bracket> rapide = {
            {20, 3.00},   {50, 4.50},    {100, 6.70},   {250, 11.50},
            {500, 16.00}, {1000, 21.00}, {2000, 28.00}, {3000, 33.00},
    };
    static const QList<Bracket> ecopli = {
            {20, 2.70},
            {50, 3.50},
            {100, 4.20},
            {250, 8.00},
    };
    static const QList<Bracket> europe = {
            {20, 3.00},   {40, 4.60},   {60, 6.00},   {80, 7.00},   {100, 8.00},   {200, 18.00},
            {300, 28.00}, {400, 32.00}, {500, 35.00}, {750, 47.00}, {1000, 56.00},
    };
    switch (service) {
    case Service::FranceRapide: return rapide;
    case Service::FranceEcopli: return ecopli;
    case Service::UnionEuropeenne: return europe;
    }
    return rapide;
}

Real48 totalWeight(const Counts &counts)
{
    long double sum = 0;
    for (int i = 0; i < kItemCount; ++i)
        sum += static_cast<long double>(counts[i]) * Real48(items()[i].unitWeight).value();
    return Real48(sum);
}

namespace {
// The weight to a thousandth of a gram: the unit weights have at most one decimal, so
// anything finer is binary rounding noise.
long double toThousandth(Real48 weight) { return std::round(weight.value() * 1000.0L) / 1000.0L; }
} // namespace

Real48 price(Service service, Real48 weight)
{
    const long double w = toThousandth(weight);
    if (w < 0)
        return Real48();
    for (const Bracket &b : tariff(service)) {
        if (w <= b.upTo)
            return Real48(b.price);
    }
    return Real48();
}

QString weightText(Real48 weight)
{
    // std::round takes halves away from zero.
    const long double grams = std::round(toThousandth(weight));
    return QString::number(static_cast<qint64>(grams)) + QStringLiteral(" g");
}

QString priceText(Real48 price) { return french::formatNumber(price.toDouble(), 2) + QStringLiteral(" F"); }

} // namespace postage

// The letter weigher's tables and rules: the unit weight of each item a letter may hold,
// the three postal services with their tariffs, and the weight and price of a letter.
#pragma once

#include "common/real48.h"

#include <QList>
#include <QString>

#include <array>

namespace postage {

struct Item
{
    QString group; // caption of the group box holding the item
    QString label; // e.g. "210 x 297 mm (A4)"
    int spinEdit; // number of its count field, SpinEdit<n>
    double unitWeight; // in grams
};

constexpr int kItemCount = 21;
constexpr int kMinCount = 0;
constexpr int kMaxCount = 200;

// In the order of the form, group by group; the last item is the extra weight in grams.
const std::array<Item, kItemCount> &items();

enum class Service { FranceRapide, FranceEcopli, UnionEuropeenne };

struct Bracket
{
    double upTo; // inclusive upper bound in grams; each bracket starts above the previous one
    double price; // francs
};

const QList<Bracket> &tariff(Service service);

// Counts indexed like items(); any integer counts as typed, even outside 0 to 200.
using Counts = std::array<int, kItemCount>;

// The total weight as the six-byte value holds it: the sum of count x unit weight, with
// the unit weights stored as six-byte reals (so 3.2 carries its binary rounding).
Real48 totalWeight(const Counts &counts);

// The price of a letter of `weight` grams, 0 when no bracket holds it. The weight is
// compared rounded to a thousandth of a gram, so the binary rounding of the unit weights
// never moves a letter into the next bracket.
Real48 price(Service service, Real48 weight);

QString weightText(Real48 weight); // "8 g": whole grams, halves away from zero
QString priceText(Real48 price); // "3,00 F"

} // namespace postage

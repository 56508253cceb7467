#include "utilities/core/euroconverter.h"

#include "common/velmoraerror.h"
#include "utilities/core/decimaltext.h"

#include <cmath>
#include <limits>

namespace {
constexpr int kGeneralDigits = 15;
constexpr QChar kEnter = u'\r';
constexpr QChar kEscape = QChar(27);
} // namespace

QString EuroConverter::tauxText() const
{
    return decimaltext::formatGeneral(m_taux.value() * 0.00001L, kGeneralDigits);
}

void EuroConverter::tauxUp() { m_taux = Real48(m_taux.value() + 1); }

void EuroConverter::tauxDown()
{
    m_taux = Real48(m_taux.value() - 1);
    if (m_taux.value() < 1)
        m_taux = Real48(1.0L);
}

void EuroConverter::clearIfResult()
{
    if (m_resultatAffiche) {
        m_input.clear();
        m_result.clear();
    }
    m_resultatAffiche = false;
}

void EuroConverter::Init() { clearIfResult(); }

void EuroConverter::digit(int d)
{
    Init();
    m_input += QChar(u'0' + d);
}

void EuroConverter::backspace()
{
    m_result.clear();
    m_resultatAffiche = false;
    m_input.chop(1);
}

void EuroConverter::clearEntry()
{
    m_input.clear();
    m_result.clear();
    m_resultatAffiche = false;
}

EuroConverter::KeyResult EuroConverter::keyPress(QChar key)
{
    KeyResult outcome = KeyResult::Handled;
    if (key == kEscape) {
        outcome = KeyResult::Close;
    } else if (key == kEnter) {
        m_resultatAffiche = true;
        if (convert())
            return outcome;
    }
    clearIfResult();
    if (key == u'.')
        key = u',';
    if (key == u',' || (key >= u'0' && key <= u'9'))
        m_input += key;
    return outcome;
}

bool EuroConverter::compute(const QString &input, Direction direction, Real48 taux, QString &result)
{
    try {
        long double x = 0;
        if (!input.isEmpty() && !decimaltext::parse(input, x))
            return false;
        const Real48 amount(x);
        long double n = 0;
        if (direction == Direction::FrancsToEuros) {
            const Real48 y(amount.value() * 100000 / taux.value());
            n = std::nearbyint(y.value() * 100); // halves to even: euros to the cent
        } else {
            const Real48 y(taux.value() * amount.value() * 0.000001L);
            n = std::nearbyint(y.value() * 100); // tens of centimes
        }
        if (!(n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max()))
            return false;
        const long double scale = direction == Direction::FrancsToEuros ? 0.01L : 0.1L;
        result = decimaltext::formatGeneral(n * scale, kGeneralDigits);
        return true;
    } catch (const VelmoraError &) {
        return false; // an amount beyond the six-byte range
    }
}

bool EuroConverter::convert()
{
    QString text;
    if (!compute(m_input, direction, m_taux, text))
        return false;
    m_result = text;
    return true;
}

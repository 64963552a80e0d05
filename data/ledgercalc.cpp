#include "ledgercalc.h"

namespace zarn {

namespace {

// 32-bit signed subtraction that wraps like the machine's, without the
// undefined behaviour of signed overflow.
qint32 wrappingDifference(qint32 a, qint32 b)
{
    return qint32(quint32(a) - quint32(b));
}

} // namespace

LedgerAmounts computeLedgerAmounts(qint32 stockInQuantity, qint64 stockInPrice, qint32 salesQuantity,
                                   qint64 salesPrice, qint64 receiptsUsd, qint64 exchangeRate)
{
    static_assert(sizeof(long double) > sizeof(double), "the amounts need extended precision");
    constexpr long double scale = 10000.0L;
    LedgerAmounts amounts;
    amounts.stockInAmount = double(static_cast<long double>(stockInQuantity) * stockInPrice / scale);
    amounts.salesAmount =
        double(static_cast<long double>(exchangeRate) * static_cast<long double>(receiptsUsd) / (scale * scale));
    amounts.balanceQuantity = wrappingDifference(stockInQuantity, salesQuantity);
    amounts.balanceAmount = double(static_cast<long double>(amounts.balanceQuantity) * stockInPrice / scale);
    amounts.grossProfit = double((static_cast<long double>(salesPrice) - static_cast<long double>(stockInPrice))
                                 * salesQuantity / scale);
    return amounts;
}

} // namespace zarn

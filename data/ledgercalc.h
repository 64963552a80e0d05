#pragma once

#include <QtGlobal>

namespace zarn {

// The five amounts computed for every ledger row.
struct LedgerAmounts
{
    double stockInAmount = 0;  // 合计: 数量1 × 收入
    double salesAmount = 0;    // 销售金额: 汇率 × 收汇
    qint32 balanceQuantity = 0; // 结存数量: 数量1 − 数量2
    double balanceAmount = 0;  // 结存金额: (数量1 − 数量2) × 收入
    double grossProfit = 0;    // 毛利: (支出 − 收入) × 数量2
};

// Prices, receipts and the rate come scaled by 10,000. Every product is
// formed on the scaled integers in extended precision and the scale divided
// out last, so the only roundings are the division's and the store to double:
// 3 × 0.1 gives the double nearest 0.3.
LedgerAmounts computeLedgerAmounts(qint32 stockInQuantity, qint64 stockInPrice, qint32 salesQuantity,
                                   qint64 salesPrice, qint64 receiptsUsd, qint64 exchangeRate);

} // namespace zarn

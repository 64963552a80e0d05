#include "dm.h"

#include "connection.h"
#include "dmdescription.h"
#include "errorhandler.h"
#include "ledgercalc.h"
#include "querydataset.h"
#include "tabledataset.h"

namespace zarn {

Tdm2 *dm2 = nullptr;

namespace {

// Runs one of the opens at creation; its failure is reported, not raised.
template<typename Open>
void reportFailure(Open open)
{
    try {
        open();
    } catch (const std::exception &error) {
        showError(error);
    }
}

} // namespace

Tdm2::Tdm2(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("dm2"));
    const DataModuleDescription description = loadDataModuleDescription();
    ADOConnection1 = new Connection(QStringLiteral("ADOConnection1"), description.databaseFile, this);
    ADOQuery1 = new QueryDataset(QStringLiteral("ADOQuery1"), ADOConnection1, description.ledgerFields, this);
    ADOQuery1->setSql(description.ledgerSql);
    ADOTable1 = new TableDataset(QStringLiteral("ADOTable1"), ADOConnection1, description.userTable, this);

    m_stockInQuantity = ADOQuery1->fieldByName(QStringLiteral("数量1"));
    m_stockInPrice = ADOQuery1->fieldByName(QStringLiteral("收入"));
    m_salesQuantity = ADOQuery1->fieldByName(QStringLiteral("数量2"));
    m_salesPrice = ADOQuery1->fieldByName(QStringLiteral("支出"));
    m_receiptsUsd = ADOQuery1->fieldByName(QStringLiteral("收汇"));
    m_exchangeRate = ADOQuery1->fieldByName(QStringLiteral("汇率"));
    m_stockInAmount = ADOQuery1->fieldByName(QStringLiteral("合计"));
    m_salesAmount = ADOQuery1->fieldByName(QStringLiteral("销售金额"));
    m_balanceQuantity = ADOQuery1->fieldByName(QStringLiteral("结存数量"));
    m_balanceAmount = ADOQuery1->fieldByName(QStringLiteral("结存金额"));
    m_grossProfit = ADOQuery1->fieldByName(QStringLiteral("毛利"));
    ADOQuery1->setCalcHandler([this] { ADOQuery1CalcFields(*ADOQuery1); });

    reportFailure([this] { ADOConnection1->open(); });
    reportFailure([this] { ADOQuery1->open(); });
    reportFailure([this] { ADOTable1->open(); });
}

Tdm2::~Tdm2()
{
    // A pending ledger row is discarded with the views.
    ADOQuery1->close();
    ADOTable1->close();
    ADOConnection1->close();
    if (dm2 == this)
        dm2 = nullptr;
}

void Tdm2::ADOQuery1CalcFields(QueryDataset &)
{
    const LedgerAmounts amounts = computeLedgerAmounts(
        m_stockInQuantity->asInteger(), m_stockInPrice->asCurrency(), m_salesQuantity->asInteger(),
        m_salesPrice->asCurrency(), m_receiptsUsd->asCurrency(), m_exchangeRate->asCurrency());
    m_stockInAmount->setFloat(amounts.stockInAmount);
    m_salesAmount->setFloat(amounts.salesAmount);
    m_balanceQuantity->setInteger(amounts.balanceQuantity);
    m_balanceAmount->setFloat(amounts.balanceAmount);
    m_grossProfit->setFloat(amounts.grossProfit);
}

} // namespace zarn

#pragma once

#include <QObject>

namespace zarn {

class Connection;
class Field;
class QueryDataset;
class TableDataset;

// The data module: the one connection to zarn.mdb, the ledger view that
// every window shares and the user table. Creating it opens all three; a
// failing open is shown by the application's error handler and the next one
// is still tried.
class Tdm2 final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tdm2)

public:
    explicit Tdm2(QObject *parent);
    ~Tdm2() override;

    Connection *ADOConnection1 = nullptr;
    QueryDataset *ADOQuery1 = nullptr;
    TableDataset *ADOTable1 = nullptr;

    // Sets the five computed fields of the row the ledger view calculates.
    void ADOQuery1CalcFields(QueryDataset &DataSet);

private:
    Field *m_stockInQuantity = nullptr;
    Field *m_stockInPrice = nullptr;
    Field *m_salesQuantity = nullptr;
    Field *m_salesPrice = nullptr;
    Field *m_receiptsUsd = nullptr;
    Field *m_exchangeRate = nullptr;
    Field *m_stockInAmount = nullptr;
    Field *m_salesAmount = nullptr;
    Field *m_balanceQuantity = nullptr;
    Field *m_balanceAmount = nullptr;
    Field *m_grossProfit = nullptr;
};

// The module-level reference through which the windows reach the data module.
extern Tdm2 *dm2;

} // namespace zarn

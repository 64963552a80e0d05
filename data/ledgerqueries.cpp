#include "ledgerqueries.h"

#include "errors.h"
#include "field.h"
#include "querydataset.h"

namespace zarn {

QString trimmedText(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= u' ')
        ++first;
    while (last > first && text[last - 1].unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

void searchLedger(QueryDataset *view, const QString &column, const QString &value)
{
    const QString name = trimmedText(column);
    const Field *field = view->findField(name);
    if (!field || field->isCalculated()) {
        view->close();
        throw ProviderError(QStringLiteral("无效的列名 '%1'").arg(name));
    }
    QString quotedName = field->name();
    quotedName.replace(u'"', QStringLiteral("\"\""));
    view->setSql(QStringLiteral("select * from xmb where \"%1\" = ?").arg(quotedName), {trimmedText(value)});
    view->open();
}

void showWholeLedger(QueryDataset *view)
{
    view->setSql(QStringLiteral("select * from xmb"));
    view->open();
}

} // namespace zarn

#include "dmdescription.h"

#include "errors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zarn {

namespace {

FieldType fieldTypeNamed(const QString &name, const QString &resourcePath)
{
    if (name == u"WideString")
        return FieldType::Text;
    if (name == u"DateTime")
        return FieldType::DateTime;
    if (name == u"Integer")
        return FieldType::Integer;
    if (name == u"BCD")
        return FieldType::Decimal;
    if (name == u"Currency")
        return FieldType::Currency;
    throw Error(QStringLiteral("%1 中的字段类型 '%2' 无效").arg(resourcePath, name));
}

} // namespace

DataModuleDescription loadDataModuleDescription(const QString &resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("找不到资源 %1").arg(resourcePath));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject())
        throw Error(QStringLiteral("资源 %1 无法读取：%2").arg(resourcePath, parseError.errorString()));
    const QJsonObject root = document.object();

    DataModuleDescription description;
    description.databaseFile = root[u"ADOConnection1"][u"dataSource"].toString();
    const QJsonObject query = root[u"ADOQuery1"].toObject();
    QStringList sql;
    for (const QJsonValue &line : query[u"sql"].toArray())
        sql << line.toString();
    description.ledgerSql = sql.join(u'\n');
    for (const QJsonValue &value : query[u"fields"].toArray()) {
        const QJsonObject f = value.toObject();
        FieldDef def;
        def.name = f[u"name"].toString();
        def.label = f[u"displayLabel"].toString(def.name);
        def.type = fieldTypeNamed(f[u"type"].toString(), resourcePath);
        def.size = f[u"size"].toInt();
        def.precision = f[u"precision"].toInt();
        def.displayWidth = f[u"displayWidth"].toInt();
        def.visible = f[u"visible"].toBool(true);
        def.calculated = f[u"fieldKind"].toString() == u"Calculated";
        description.ledgerFields.push_back(def);
    }
    description.userTable = root[u"ADOTable1"][u"tableName"].toString();
    if (description.databaseFile.isEmpty() || description.ledgerSql.isEmpty()
        || description.ledgerFields.empty() || description.userTable.isEmpty())
        throw Error(QStringLiteral("资源 %1 不完整").arg(resourcePath));
    return description;
}

} // namespace zarn

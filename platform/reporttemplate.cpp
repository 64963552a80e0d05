#include "reporttemplate.h"

#include "errors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zarn {

namespace {

int frameOf(const QJsonValue &value)
{
    int frame = 0;
    for (const QJsonValue &edge : value.toArray()) {
        const QString name = edge.toString();
        if (name == u"top")
            frame |= ReportElement::Top;
        else if (name == u"bottom")
            frame |= ReportElement::Bottom;
        else if (name == u"left")
            frame |= ReportElement::Left;
        else if (name == u"right")
            frame |= ReportElement::Right;
    }
    return frame;
}

[[noreturn]] void invalid(const QString &what)
{
    throw Error(QStringLiteral("报表模板无效：%1").arg(what));
}

} // namespace

int ReportBand::dynamicCount() const
{
    int count = 0;
    for (const ReportElement &e : elements)
        count += e.isDynamic() ? 1 : 0;
    return count;
}

const ReportBand *ReportTemplate::band(ReportBand::Type type) const
{
    const int i = bandIndex(type);
    return i < 0 ? nullptr : &bands[size_t(i)];
}

int ReportTemplate::bandIndex(ReportBand::Type type) const
{
    for (size_t i = 0; i < bands.size(); ++i)
        if (bands[i].type == type)
            return int(i);
    return -1;
}

ReportTemplate ReportTemplate::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject())
        invalid(error.errorString());
    const QJsonObject root = document.object();
    ReportTemplate result;
    result.source = json;
    result.name = root[u"name"].toString();
    result.title = root[u"title"].toString();
    const QJsonObject page = root[u"page"].toObject();
    result.pageWidth = page[u"width"].toDouble(2970);
    result.pageHeight = page[u"height"].toDouble(2100);
    result.topMargin = page[u"topMargin"].toInt(100);
    result.bottomMargin = page[u"bottomMargin"].toInt(100);
    result.leftMargin = page[u"leftMargin"].toInt(180);
    result.rightMargin = page[u"rightMargin"].toInt(50);
    result.printIfEmpty = root[u"printIfEmpty"].toBool(true);
    const QJsonObject defaultFont = root[u"font"].toObject();

    for (const QJsonValue &b : root[u"bands"].toArray()) {
        const QJsonObject o = b.toObject();
        ReportBand band;
        band.name = o[u"name"].toString();
        const QString type = o[u"type"].toString();
        if (type == u"title")
            band.type = ReportBand::Type::Title;
        else if (type == u"columnHeader")
            band.type = ReportBand::Type::ColumnHeader;
        else if (type == u"detail")
            band.type = ReportBand::Type::Detail;
        else if (type == u"summary")
            band.type = ReportBand::Type::Summary;
        else
            invalid(QStringLiteral("带区类型 '%1'").arg(type));
        band.height = o[u"height"].toDouble();
        band.width = o[u"width"].toDouble();
        band.frame = frameOf(o[u"frame"]);
        if (band.height <= 0 || band.width <= 0)
            invalid(QStringLiteral("带区 %1 的尺寸").arg(band.name));
        for (const QJsonValue &e : o[u"elements"].toArray()) {
            const QJsonObject eo = e.toObject();
            ReportElement element;
            element.name = eo[u"name"].toString();
            const QString kind = eo[u"kind"].toString();
            if (kind == u"label") {
                element.kind = ReportElement::Kind::Label;
                element.text = eo[u"text"].toString();
            } else if (kind == u"dbtext") {
                element.kind = ReportElement::Kind::DataText;
                element.field = eo[u"field"].toString();
            } else if (kind == u"sysdata") {
                element.kind = ReportElement::Kind::SystemData;
                const QString data = eo[u"data"].toString();
                if (data == u"date")
                    element.system = ReportElement::SystemValue::Date;
                else if (data == u"pageNumber")
                    element.system = ReportElement::SystemValue::PageNumber;
                else if (data == u"recordCount")
                    element.system = ReportElement::SystemValue::RecordCount;
                else
                    invalid(QStringLiteral("系统数据 '%1'").arg(data));
            } else if (kind == u"shape") {
                element.kind = ReportElement::Kind::Shape;
            } else if (kind == u"richtext") {
                element.kind = ReportElement::Kind::RichText;
            } else {
                invalid(QStringLiteral("元素类型 '%1'").arg(kind));
            }
            element.left = eo[u"left"].toDouble();
            element.top = eo[u"top"].toDouble();
            element.width = eo[u"width"].toDouble();
            element.height = eo[u"height"].toDouble();
            const QJsonObject font = eo[u"font"].isObject() ? eo[u"font"].toObject() : defaultFont;
            element.fontFamily = font[u"family"].toString(QStringLiteral("Arial"));
            element.pointSize = font[u"pointSize"].toDouble(10);
            element.bold = font[u"bold"].toBool(false);
            element.centred = eo[u"alignment"].toString() == u"center";
            element.frame = frameOf(eo[u"frame"]);
            band.elements.push_back(element);
        }
        result.bands.push_back(std::move(band));
    }
    for (auto type : {ReportBand::Type::Detail})
        if (result.bandIndex(type) < 0)
            invalid(QStringLiteral("缺少明细带区"));
    return result;
}

ReportTemplate ReportTemplate::fromResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("找不到报表模板 %1").arg(path));
    return fromJson(file.readAll());
}

} // namespace zarn

#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <vector>

namespace zarn {

// A banded report's stored template: the page, the bands and their elements,
// all measures in tenths of a millimetre. Read from its stored description
// (JSON); the layout and the painter work from it.
struct ReportElement
{
    enum class Kind { Label, DataText, SystemData, Shape, RichText };
    enum class SystemValue { Date, PageNumber, RecordCount };
    enum Frame { Top = 1, Bottom = 2, Left = 4, Right = 8 };

    QString name;
    Kind kind = Kind::Label;
    QString text;  // a label's text
    QString field; // a data text's field name
    SystemValue system = SystemValue::Date;
    double left = 0, top = 0, width = 0, height = 0;
    QString fontFamily;
    double pointSize = 10;
    bool bold = false;
    bool centred = false;
    int frame = 0;

    bool isText() const { return kind == Kind::Label || kind == Kind::DataText || kind == Kind::SystemData; }
    // Whether the element prints a value that differs from one placing to the next.
    bool isDynamic() const { return kind == Kind::DataText || kind == Kind::SystemData; }
};

struct ReportBand
{
    enum class Type { Title, ColumnHeader, Detail, Summary };
    QString name;
    Type type = Type::Detail;
    double height = 0; // drawn at this height
    double width = 0;
    int frame = 0;
    std::vector<ReportElement> elements;

    // Placing moves down by the height rounded to a whole tenth of a millimetre.
    int placedHeight() const { return int(height + 0.5); }
    int dynamicCount() const;
};

struct ReportTemplate
{
    QString name;
    QString title; // the report's title; the preview's caption when not empty
    double pageWidth = 2970, pageHeight = 2100;
    int topMargin = 100, bottomMargin = 100, leftMargin = 180, rightMargin = 50;
    bool printIfEmpty = true;
    std::vector<ReportBand> bands;
    QByteArray source; // the stored description it was read from

    const ReportBand *band(ReportBand::Type type) const;
    int bandIndex(ReportBand::Type type) const;
    int bodyEnd() const { return int(pageHeight) - bottomMargin; }

    // Reads a stored description; raises Error with a clear message when it
    // is not one.
    static ReportTemplate fromJson(const QByteArray &json);
    static ReportTemplate fromResource(const QString &path);
};

} // namespace zarn

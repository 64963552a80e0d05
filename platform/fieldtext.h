#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

// Conversions between field values and the texts that editors, grids and the
// report exchange with them. All take the locale explicitly so that the data
// layer reads the regional settings in one place (FieldText::locale()).
namespace zarn::fieldtext {

// The locale whose formats the fields use: the application's default
// locale, which follows the system's regional settings.
QLocale locale();

// Fixed-point decimals: signed 64-bit integers scaled by 10,000.
inline constexpr qint64 kDecimalScale = 10000;

// The largest decimal the database keeps exactly: it stores decimals as
// numbers, and a number keeps 15 significant digits, so with four places the
// whole part has at most eleven digits.
inline constexpr qint64 kMaxStorableDecimal = 999999999999999;

// General number form: up to four decimals, no trailing zeros, no grouping.
QString formatDecimal(qint64 scaled, const QLocale &locale);
// Reads a number in the locale's form and rounds it to four decimals (ties to
// even, as the currency type does); nothing when the text is no number or out
// of the 64-bit scaled range.
std::optional<qint64> parseDecimal(const QString &text, const QLocale &locale);
// Exact decimal text with "." as separator, as the database stores it.
QString decimalToStorageText(qint64 scaled);

std::optional<qint32> parseInteger(const QString &text);

// The locale's currency format, from the value taken to 15 significant digits.
QString formatCurrency(double value, const QLocale &locale);
// Fixed form with the currency decimals, no symbol and no grouping.
QString formatCurrencyEdit(double value, const QLocale &locale);
int currencyDecimals(const QLocale &locale);

// Dates are held as a key: Julian day times 86,400,000 plus the milliseconds
// of the day. The key orders like the date-time and converts without a zone.
qint64 dateKey(const QDate &date, const QTime &time = QTime(0, 0));
QDateTime dateFromKey(qint64 key);

// Short date, plus the long time when the time of day is not midnight.
QString formatDateTime(qint64 key, const QLocale &locale);
// The locale's long time, without a time-zone name.
QString formatTime(const QTime &time, const QLocale &locale);
// Accepts the locale's short date with an optional time, the entry page's
// "2024-3-5" form and ISO 8601.
std::optional<qint64> parseDateTime(const QString &text, const QLocale &locale);
// ISO text as the database stores it: "yyyy-MM-dd HH:mm:ss[.zzz]".
QString dateToStorageText(qint64 key);
std::optional<qint64> parseStorageDate(const char *text, int length);

} // namespace zarn::fieldtext

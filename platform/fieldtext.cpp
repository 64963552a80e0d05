#include "fieldtext.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zarn::fieldtext {

namespace {

constexpr qint64 kMsPerDay = 86400000;

QString decimalPointOf(const QLocale &locale)
{
    return locale.decimalPoint();
}

// Digits of |value| with the sign and decimal point placed: "-1234.5".
QString scaledToText(qint64 scaled, const QString &point)
{
    const bool negative = scaled < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(scaled) : quint64(scaled);
    const quint64 whole = magnitude / kDecimalScale;
    quint64 fraction = magnitude % kDecimalScale;
    QString text = QString::number(whole);
    if (fraction != 0) {
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        text += point + QString::number(fraction).rightJustified(digits, u'0');
    }
    if (negative)
        text.prepend(u'-');
    return text;
}

// Rounds a finite double to 15 significant digits and then to `decimals`
// places, half away from zero, the way the currency display does.
double roundForCurrency(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    // buffer: [-]d.dddddddddddddde[+-]xx
    const char *p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    QByteArray digits;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.')
            digits.append(*p);
    const int exponent = std::atoi(p + 1);
    // value = 0.digits * 10^(exponent + 1); keep (exponent + 1 + decimals) digits.
    const int keep = exponent + 1 + decimals;
    if (keep < 0)
        return 0.0;
    QByteArray kept = digits.left(keep);
    while (kept.size() < keep)
        kept.append('0');
    bool roundUp = keep < digits.size() && digits.at(keep) >= '5';
    if (roundUp) {
        int i = kept.size() - 1;
        for (; i >= 0; --i) {
            if (kept[i] == '9') {
                kept[i] = '0';
            } else {
                kept[i] = char(kept[i] + 1);
                break;
            }
        }
        if (i < 0)
            kept.prepend('1');
    }
    if (kept.isEmpty())
        return 0.0;
    QByteArray text = kept + "e" + QByteArray::number(-decimals);
    double rounded = std::strtod(text.constData(), nullptr);
    if (rounded == 0.0)
        return 0.0; // no negative zero
    return negative ? -rounded : rounded;
}

QString longTimeFormat(const QLocale &locale)
{
    // Qt's long time carries the time-zone name ("t"); a ledger date has none.
    static const QRegularExpression zone(QStringLiteral("\\s*(?<![A-Za-z])t(?![A-Za-z])\\s*"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.replace(zone, QStringLiteral(" "));
    return format.trimmed();
}

bool hasTwoDigitYearOnly(const QString &format)
{
    return format.contains(QStringLiteral("yy")) && !format.contains(QStringLiteral("yyyy"));
}

// Two-digit years fall within the fifty years either side of today.
QDate applyCenturyWindow(QDate date)
{
    if (!date.isValid() || date.year() < 1900 || date.year() > 1999)
        return date;
    const int pivot = QDate::currentDate().year() - 50;
    int year = date.year() - 1900 + (pivot / 100) * 100;
    if (year < pivot)
        year += 100;
    return QDate(year, date.month(), date.day());
}

std::optional<qint64> parseIsoLike(const QString &text)
{
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})"
        "(?:[ T](\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,3}))?)?)?$"));
    const QRegularExpressionMatch m = iso.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (m.hasCaptured(4)) {
        const QString ms = m.captured(7);
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(),
                     ms.isEmpty() ? 0 : ms.leftJustified(3, u'0').toInt());
        if (!time.isValid())
            return std::nullopt;
    }
    return dateKey(date, time);
}

} // namespace

QLocale locale()
{
    return QLocale();
}

QString formatDecimal(qint64 scaled, const QLocale &locale)
{
    return scaledToText(scaled, decimalPointOf(locale));
}

QString decimalToStorageText(qint64 scaled)
{
    return scaledToText(scaled, QStringLiteral("."));
}

std::optional<qint64> parseDecimal(const QString &input, const QLocale &locale)
{
    const QString text = input.trimmed();
    const QString point = decimalPointOf(locale);
    int i = 0;
    const int n = int(text.size());
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    QByteArray digits; // all mantissa digits, leading zeros dropped
    int pointShift = 0; // digits after the decimal point
    bool anyDigit = false;
    bool seenPoint = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            anyDigit = true;
            if (seenPoint)
                ++pointShift;
            // Leading zeros carry no digit; after the point they only shift the scale.
            if (!(digits.isEmpty() && c == u'0'))
                digits.append(char(c.unicode()));
        } else if (!seenPoint && text.mid(i, point.size()) == point) {
            seenPoint = true;
            i += int(point.size()) - 1;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    int exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'-' || text[i] == u'+'))
            expNegative = text[i++] == u'-';
        const int start = i;
        while (i < n && text[i].isDigit() && text[i] <= u'9' && exponent < 10000)
            exponent = exponent * 10 + (text[i++].unicode() - u'0');
        if (i == start)
            return std::nullopt;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;
    // value = digits * 10^(exponent - pointShift); we want it times 10^4.
    const int shift = exponent - pointShift + 4;
    if (digits.isEmpty())
        return qint64(0);
    // The most negative 64-bit value marks an unreadable stored decimal, so it
    // is never produced here.
    const __int128 limit = std::numeric_limits<qint64>::max();
    __int128 whole = 0;
    const int wholeDigits = int(digits.size()) + shift; // digits before the scaled point
    if (wholeDigits > 20)
        return std::nullopt;
    for (int k = 0; k < wholeDigits; ++k) {
        const int d = k < digits.size() ? digits[k] - '0' : 0;
        whole = whole * 10 + d;
        if (whole > limit)
            return std::nullopt;
    }
    // Rounding: ties to even, on the exact decimal remainder. When every digit
    // lies below the fourth decimal's half unit (wholeDigits < 0) it rounds to 0.
    if (wholeDigits >= 0 && wholeDigits < digits.size()) {
        const int first = digits[wholeDigits] - '0';
        bool restNonZero = false;
        for (int k = wholeDigits + 1; k < digits.size(); ++k)
            restNonZero |= digits[k] != '0';
        const bool up = first > 5 || (first == 5 && (restNonZero || (whole & 1)));
        if (up && ++whole > limit)
            return std::nullopt;
    }
    return negative ? qint64(-whole) : qint64(whole);
}

std::optional<qint32> parseInteger(const QString &input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (text[0] == u'-' || text[0] == u'+')
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

int currencyDecimals(const QLocale &locale)
{
    const QString zero = locale.toCurrencyString(0.0);
    const int at = int(zero.lastIndexOf(locale.decimalPoint()));
    if (at < 0)
        return 0;
    int count = 0;
    for (int i = at + int(locale.decimalPoint().size()); i < zero.size() && zero[i].isDigit(); ++i)
        ++count;
    return count;
}

QString formatCurrency(double value, const QLocale &locale)
{
    const int decimals = currencyDecimals(locale);
    if (!std::isfinite(value))
        return locale.toCurrencyString(value, QString(), decimals);
    return locale.toCurrencyString(roundForCurrency(value, decimals), QString(), decimals);
}

QString formatCurrencyEdit(double value, const QLocale &locale)
{
    const int decimals = currencyDecimals(locale);
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    if (!std::isfinite(value))
        return plain.toString(value, 'f', decimals);
    return plain.toString(roundForCurrency(value, decimals), 'f', decimals);
}

qint64 dateKey(const QDate &date, const QTime &time)
{
    return date.toJulianDay() * kMsPerDay + time.msecsSinceStartOfDay();
}

QDateTime dateFromKey(qint64 key)
{
    qint64 day = key / kMsPerDay;
    qint64 ms = key % kMsPerDay;
    if (ms < 0) {
        ms += kMsPerDay;
        --day;
    }
    return QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QString formatDateTime(qint64 key, const QLocale &locale)
{
    const QDateTime dt = dateFromKey(key);
    QString text = locale.toString(dt.date(), QLocale::ShortFormat);
    if (dt.time() != QTime(0, 0))
        text += u' ' + formatTime(dt.time(), locale);
    return text;
}

QString formatTime(const QTime &time, const QLocale &locale)
{
    return locale.toString(time, longTimeFormat(locale));
}

std::optional<qint64> parseDateTime(const QString &input, const QLocale &locale)
{
    const QString text = input.simplified();
    if (auto iso = parseIsoLike(text))
        return iso;
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QDate date = locale.toDate(text, shortDate);
    if (date.isValid())
        return dateKey(hasTwoDigitYearOnly(shortDate) ? applyCenturyWindow(date) : date);
    const QString timeFormats[] = {longTimeFormat(locale), locale.timeFormat(QLocale::ShortFormat),
                                   QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")};
    for (const QString &timeFormat : timeFormats) {
        const QDateTime dt = locale.toDateTime(text, shortDate + u' ' + timeFormat);
        if (dt.isValid()) {
            const QDate d = hasTwoDigitYearOnly(shortDate) ? applyCenturyWindow(dt.date()) : dt.date();
            return dateKey(d, dt.time());
        }
    }
    return std::nullopt;
}

QString dateToStorageText(qint64 key)
{
    const QDateTime dt = dateFromKey(key);
    const QString format = dt.time().msec() != 0 ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                 : QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return dt.toString(format);
}

std::optional<qint64> parseStorageDate(const char *text, int length)
{
    auto digits = [&](int from, int count, int &out) {
        if (from + count > length)
            return false;
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            value = value * 10 + (text[i] - '0');
        }
        out = value;
        return true;
    };
    int y, mo, d;
    if (!digits(0, 4, y) || length < 10 || text[4] != '-' || !digits(5, 2, mo) || text[7] != '-'
        || !digits(8, 2, d))
        return std::nullopt;
    const QDate date(y, mo, d);
    if (!date.isValid())
        return std::nullopt;
    int h = 0, mi = 0, s = 0, ms = 0;
    if (length > 10) {
        if ((text[10] != ' ' && text[10] != 'T') || !digits(11, 2, h) || length < 16 || text[13] != ':'
            || !digits(14, 2, mi))
            return std::nullopt;
        if (length > 16 && text[16] == ':') {
            if (!digits(17, 2, s))
                return std::nullopt;
            if (length > 19 && text[19] == '.') {
                int scale = 100;
                for (int i = 20; i < length && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
                    ms += (text[i] - '0') * scale;
            }
        }
    }
    const QTime time(h, mi, s, ms);
    if (!time.isValid())
        return std::nullopt;
    return dateKey(date, time);
}

} // namespace zarn::fieldtext

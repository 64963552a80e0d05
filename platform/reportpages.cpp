#include "reportpages.h"

#include "errors.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <cstring>

namespace zarn {

namespace {

constexpr char kMagic[8] = {'Z', 'A', 'R', 'N', 'Q', 'R', 'P', '\x1a'};
constexpr quint32 kVersion = 1;
constexpr int kHashBytes = 20; // SHA-1 of everything before it

void appendValue(std::vector<char> &store, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    quint32 n = quint32(utf8.size());
    while (n >= 0x80) {
        store.push_back(char(n | 0x80));
        n >>= 7;
    }
    store.push_back(char(n));
    store.insert(store.end(), utf8.begin(), utf8.end());
}

// Reads the little-endian fields of a page file, never past its end.
class Reader
{
public:
    explicit Reader(const QByteArray &data)
        : m_data(data)
    {
    }
    template<typename T>
    T read()
    {
        need(sizeof(T));
        T value = qFromLittleEndian<T>(m_data.constData() + m_at);
        m_at += sizeof(T);
        return value;
    }
    QByteArray bytes(quint64 count)
    {
        need(count);
        QByteArray result = m_data.mid(qsizetype(m_at), qsizetype(count));
        m_at += count;
        return result;
    }
    quint64 left() const { return quint64(m_data.size()) - m_at; }

private:
    void need(quint64 count) const
    {
        if (count > left())
            throw Error(QStringLiteral("报表文件不完整"));
    }
    const QByteArray &m_data;
    quint64 m_at = 0;
};

template<typename T>
void write(QByteArray &out, T value)
{
    char buffer[sizeof(T)];
    qToLittleEndian(value, buffer);
    out.append(buffer, sizeof(T));
}

} // namespace

ReportPages::ReportPages(std::shared_ptr<const ReportTemplate> layout)
    : m_template(std::move(layout))
{
}

void ReportPages::beginPage()
{
    m_pageStarts.push_back(quint32(m_bands.size()));
}

void ReportPages::place(int band, int top, const QStringList &values)
{
    PlacedBand placed;
    placed.band = quint16(band);
    placed.top = top;
    placed.values = m_values.size();
    for (const QString &value : values)
        appendValue(m_values, value);
    m_bands.push_back(placed);
}

std::span<const PlacedBand> ReportPages::bandsOn(int page) const
{
    const int held = page - m_pageBase - 1;
    if (held < 0 || held >= int(m_pageStarts.size()))
        return {};
    const size_t begin = m_pageStarts[size_t(held)];
    const size_t end = size_t(held) + 1 < m_pageStarts.size() ? m_pageStarts[size_t(held) + 1] : m_bands.size();
    return std::span<const PlacedBand>(m_bands.data() + begin, end - begin);
}

QString ReportPages::value(const PlacedBand &placed, int index) const
{
    size_t at = size_t(placed.values);
    for (int i = 0;; ++i) {
        quint32 n = 0;
        int shift = 0;
        for (;;) {
            const auto byte = quint8(m_values[at++]);
            n |= quint32(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                break;
            shift += 7;
        }
        if (i == index)
            return QString::fromUtf8(m_values.data() + at, qsizetype(n));
        at += n;
    }
}

void ReportPages::dropHeldPages()
{
    m_pageBase += int(m_pageStarts.size());
    m_pageStarts.clear();
    m_bands.clear();
    m_values.clear();
}

void ReportPages::clear()
{
    m_pageBase = 0;
    m_pageStarts.clear();
    m_bands.clear();
    m_values.clear();
    m_bands.shrink_to_fit();
    m_values.shrink_to_fit();
}

size_t ReportPages::memoryUsed() const
{
    return m_bands.capacity() * sizeof(PlacedBand) + m_pageStarts.capacity() * sizeof(quint32)
        + m_values.capacity();
}

void ReportPages::save(QIODevice &device) const
{
    if (m_pageBase != 0)
        throw Error(QStringLiteral("这些页已经输出，无法保存"));
    QByteArray out;
    out.append(kMagic, sizeof kMagic);
    write<quint32>(out, kVersion);
    write<quint32>(out, quint32(m_template->source.size()));
    out.append(m_template->source);
    write<quint32>(out, quint32(m_pageStarts.size()));
    for (quint32 start : m_pageStarts)
        write<quint32>(out, start);
    write<quint64>(out, quint64(m_bands.size()));
    for (const PlacedBand &b : m_bands) {
        write<quint16>(out, b.band);
        write<qint32>(out, b.top);
        write<quint64>(out, b.values);
    }
    write<quint64>(out, quint64(m_values.size()));
    out.append(m_values.data(), qsizetype(m_values.size()));
    out.append(QCryptographicHash::hash(out, QCryptographicHash::Sha1));
    if (device.write(out) != out.size())
        throw Error(QStringLiteral("无法写入报表文件：%1").arg(device.errorString()));
}

ReportPages ReportPages::load(QIODevice &device)
{
    const QByteArray data = device.readAll();
    if (data.size() < qsizetype(sizeof kMagic) || std::memcmp(data.constData(), kMagic, sizeof kMagic) != 0)
        throw Error(QStringLiteral("不是报表文件"));
    if (data.size() < qsizetype(sizeof kMagic) + 4 + kHashBytes)
        throw Error(QStringLiteral("报表文件不完整"));
    const QByteArray body = data.left(data.size() - kHashBytes);
    Reader reader(body);
    reader.bytes(sizeof kMagic);
    const quint32 version = reader.read<quint32>();
    if (version != kVersion)
        throw Error(QStringLiteral("报表文件版本 %1 不受支持").arg(version));
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha1) != data.right(kHashBytes))
        throw Error(QStringLiteral("报表文件已损坏"));

    const quint32 templateSize = reader.read<quint32>();
    auto layout = std::make_shared<ReportTemplate>(ReportTemplate::fromJson(reader.bytes(templateSize)));
    ReportPages pages(layout);
    const quint32 pageCount = reader.read<quint32>();
    if (quint64(pageCount) * 4 > reader.left())
        throw Error(QStringLiteral("报表文件不完整"));
    pages.m_pageStarts.resize(pageCount);
    for (quint32 &start : pages.m_pageStarts)
        start = reader.read<quint32>();
    const quint64 bandCount = reader.read<quint64>();
    if (bandCount > reader.left() / 14)
        throw Error(QStringLiteral("报表文件不完整"));
    pages.m_bands.resize(size_t(bandCount));
    for (PlacedBand &b : pages.m_bands) {
        b.band = reader.read<quint16>();
        b.top = reader.read<qint32>();
        b.values = reader.read<quint64>();
    }
    const quint64 valueBytes = reader.read<quint64>();
    const QByteArray values = reader.bytes(valueBytes);
    pages.m_values.assign(values.begin(), values.end());
    if (reader.left() != 0)
        throw Error(QStringLiteral("报表文件已损坏"));

    // Every reference must stay inside the file: page starts in order, bands
    // of the template, values that can be read to their end.
    quint32 previous = 0;
    for (quint32 start : pages.m_pageStarts) {
        if (start < previous || start > bandCount)
            throw Error(QStringLiteral("报表文件已损坏"));
        previous = start;
    }
    for (const PlacedBand &b : pages.m_bands) {
        if (b.band >= layout->bands.size())
            throw Error(QStringLiteral("报表文件已损坏"));
        quint64 at = b.values;
        for (int i = 0; i < layout->bands[b.band].dynamicCount(); ++i) {
            quint64 n = 0;
            int shift = 0;
            for (;;) {
                if (at >= valueBytes || shift > 28)
                    throw Error(QStringLiteral("报表文件已损坏"));
                const auto byte = quint8(pages.m_values[size_t(at++)]);
                n |= quint64(byte & 0x7f) << shift;
                if (!(byte & 0x80))
                    break;
                shift += 7;
            }
            if (n > valueBytes - at)
                throw Error(QStringLiteral("报表文件已损坏"));
            at += n;
        }
    }
    return pages;
}

} // namespace zarn

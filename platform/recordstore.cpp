#include "recordstore.h"

#include <cstring>

namespace zarn {

RecordStore::RecordStore(const FieldDefs &fields)
    : m_fieldCount(int(fields.size()))
{
    for (int i = 0; i < m_fieldCount; ++i) {
        if (fields[i].type == FieldType::Text)
            m_textFields.push_back(i);
        else
            m_numberFields.push_back(i);
    }
    // numeric slots, then Null flags, text reference and rowid
    m_wordsPerRecord = int(m_numberFields.size()) + 3;
}

qint64 *RecordStore::recordAt(quint32 id) const
{
    return m_blocks[id / kRecordsPerBlock].get() + size_t(id % kRecordsPerBlock) * m_wordsPerRecord;
}

quint64 RecordStore::storeTexts(const RawText *texts)
{
    size_t needed = 0;
    for (size_t i = 0; i < m_textFields.size(); ++i)
        needed += 5 + size_t(texts[i].size);
    if (m_textUsed + needed > kTextBlockSize || m_textBlocks.empty()) {
        m_textBlocks.push_back(std::make_unique<char[]>(std::max(needed, kTextBlockSize)));
        m_textUsed = 0;
    }
    char *const start = m_textBlocks.back().get() + m_textUsed;
    char *p = start;
    for (size_t i = 0; i < m_textFields.size(); ++i) {
        quint32 n = quint32(texts[i].size);
        while (n >= 0x80) {
            *p++ = char(n | 0x80);
            n >>= 7;
        }
        *p++ = char(n);
        if (texts[i].size > 0) {
            std::memcpy(p, texts[i].p, size_t(texts[i].size));
            p += texts[i].size;
        }
    }
    const quint64 ref = (quint64(m_textBlocks.size() - 1) << 32) | quint64(m_textUsed);
    m_textUsed += size_t(p - start);
    return ref;
}

quint32 RecordStore::append(const Row &row, const RawText *texts)
{
    if (m_count % kRecordsPerBlock == 0 && m_count / kRecordsPerBlock == m_blocks.size())
        m_blocks.push_back(std::make_unique<qint64[]>(size_t(kRecordsPerBlock) * m_wordsPerRecord));
    qint64 *record = recordAt(m_count);
    const size_t numbers = m_numberFields.size();
    for (size_t i = 0; i < numbers; ++i)
        record[i] = row.numbers[size_t(m_numberFields[i])];
    record[numbers] = qint64(row.nulls);
    record[numbers + 1] = qint64(storeTexts(texts));
    record[numbers + 2] = row.rowid;
    return m_count++;
}

quint32 RecordStore::append(const Row &row)
{
    std::vector<QByteArray> utf8(m_textFields.size());
    std::vector<RawText> raw(m_textFields.size());
    for (size_t i = 0; i < m_textFields.size(); ++i) {
        utf8[i] = row.texts[size_t(m_textFields[i])].toUtf8();
        raw[i] = {utf8[i].constData(), int(utf8[i].size())};
    }
    return append(row, raw.data());
}

void RecordStore::loadNumbers(quint32 id, Row &row) const
{
    const qint64 *record = recordAt(id);
    row.numbers.resize(size_t(m_fieldCount));
    row.texts.resize(size_t(m_fieldCount));
    const size_t numbers = m_numberFields.size();
    for (size_t i = 0; i < numbers; ++i)
        row.numbers[size_t(m_numberFields[i])] = record[i];
    row.nulls = quint64(record[numbers]);
    row.rowid = record[numbers + 2];
}

void RecordStore::load(quint32 id, Row &row) const
{
    loadNumbers(id, row);
    const quint64 ref = quint64(recordAt(id)[m_numberFields.size() + 1]);
    const char *p = m_textBlocks[size_t(ref >> 32)].get() + (ref & 0xffffffffu);
    for (int field : m_textFields) {
        quint32 n = 0;
        int shift = 0;
        for (;;) {
            const auto byte = quint8(*p++);
            n |= quint32(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                break;
            shift += 7;
        }
        row.texts[size_t(field)] = QString::fromUtf8(p, qsizetype(n));
        p += n;
    }
}

void RecordStore::clear()
{
    m_blocks.clear();
    m_textBlocks.clear();
    m_count = 0;
    m_textUsed = kTextBlockSize;
}

} // namespace zarn

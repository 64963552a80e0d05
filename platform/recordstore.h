#pragma once

#include "fielddef.h"
#include "row.h"

#include <memory>
#include <vector>

namespace zarn {

// Raw UTF-8 text as the database hands it over; p == nullptr means Null.
struct RawText
{
    const char *p = nullptr;
    int size = 0;
};

// Compact, append-only storage of a snapshot's rows. A million-row ledger
// must fit in little more memory than its file, so a record is a fixed run of
// 64-bit words for the numeric fields plus one packed UTF-8 blob for all its
// texts; QStrings are made only for the rows somebody looks at.
class RecordStore final
{
public:
    explicit RecordStore(const FieldDefs &fields);

    // Appends the numeric slots, Null flags and rowid of `row` with the given
    // texts (one per text field, in field order). Returns the record's id.
    quint32 append(const Row &row, const RawText *texts);
    quint32 append(const Row &row);

    void load(quint32 id, Row &row) const;        // everything
    void loadNumbers(quint32 id, Row &row) const; // all but the texts
    void clear();

    quint32 size() const { return m_count; }
    const std::vector<int> &textFields() const { return m_textFields; }
    const std::vector<int> &numberFields() const { return m_numberFields; }

private:
    static constexpr quint32 kRecordsPerBlock = 4096;
    static constexpr size_t kTextBlockSize = 1 << 20;

    qint64 *recordAt(quint32 id) const;
    quint64 storeTexts(const RawText *texts);

    int m_fieldCount = 0;
    std::vector<int> m_textFields;
    std::vector<int> m_numberFields;
    int m_wordsPerRecord = 0;
    quint32 m_count = 0;
    std::vector<std::unique_ptr<qint64[]>> m_blocks;
    std::vector<std::unique_ptr<char[]>> m_textBlocks;
    size_t m_textUsed = kTextBlockSize; // bytes used in the last text block
};

} // namespace zarn

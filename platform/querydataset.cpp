#include "querydataset.h"

#include "columntypes.h"
#include "connection.h"
#include "errors.h"
#include "fieldtext.h"
#include "statement.h"

#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace zarn {

namespace {

QString quoted(const QString &identifier)
{
    QString inner = identifier;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QString unquoted(QString identifier)
{
    if (identifier.size() >= 2
        && ((identifier.front() == u'"' && identifier.back() == u'"')
            || (identifier.front() == u'[' && identifier.back() == u']')
            || (identifier.front() == u'`' && identifier.back() == u'`'))) {
        identifier = identifier.mid(1, identifier.size() - 2);
    }
    return identifier;
}

double doubleOf(qint64 bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

qint64 scaledFromDouble(double value)
{
    const double scaled = std::round(value * double(fieldtext::kDecimalScale));
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!std::isfinite(scaled) || scaled >= 9223372036854775808.0 || scaled <= -9223372036854775808.0)
        return kDecimalOverflow;
    return qint64(scaled);
}

} // namespace

QueryDataset::QueryDataset(const QString &objectName, Connection *connection, const FieldDefs &fields,
                           QObject *parent)
    : QObject(parent), m_connection(connection), m_defs(fields), m_store(fields)
{
    setObjectName(objectName);
    Q_ASSERT(fields.size() <= 64);
    for (int i = 0; i < int(fields.size()); ++i) {
        m_fields.push_back(std::make_unique<Field>(this, i, fields[size_t(i)]));
        if (!fields[size_t(i)].calculated)
            m_storedFields.push_back(i);
    }
    m_blank.numbers.assign(fields.size(), 0);
    m_blank.texts.assign(fields.size(), QString());
    m_blank.nulls = ~quint64(0);
    // A view outlives nothing it reads: drop the snapshot with the connection.
    connect(connection, &Connection::aboutToClose, this, &QueryDataset::close);
}

QueryDataset::~QueryDataset() = default;

void QueryDataset::raise(const QString &message) const
{
    throw DatabaseError(objectName() + QStringLiteral(": ") + message);
}

void QueryDataset::checkActive() const
{
    if (!isActive())
        raise(QStringLiteral("无法在关闭的数据集上执行该操作"));
}

void QueryDataset::setSql(const QString &sql, const QVariantList &parameters)
{
    close();
    m_sql = sql;
    m_parameters = parameters;
}

int QueryDataset::recordCount() const
{
    if (!isActive())
        return 0;
    return int(m_order.size()) + (m_state == State::Insert ? 1 : 0);
}

const Row &QueryDataset::activeRow() const
{
    if (m_calcRow)
        return *m_calcRow;
    if (m_state == State::Edit || m_state == State::Insert)
        return m_pending;
    if (!isActive() || m_order.empty())
        return m_blank;
    const quint32 id = m_order[size_t(m_current)];
    if (id != m_cacheId) {
        m_store.load(id, m_cache);
        m_cacheId = id;
    }
    return m_cache;
}

Row QueryDataset::rowAt(int position) const
{
    if (!isActive() || position < 0 || position >= recordCount())
        return m_blank;
    if (m_state == State::Insert) {
        if (position == m_insertPosition)
            return m_pending;
        if (position > m_insertPosition)
            --position;
    } else if (m_state == State::Edit && position == m_current) {
        return m_pending;
    }
    Row row;
    m_store.load(m_order[size_t(position)], row);
    return row;
}

Field *QueryDataset::findField(const QString &name) const
{
    for (const auto &field : m_fields)
        if (field->name().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

Field *QueryDataset::fieldByName(const QString &name) const
{
    if (Field *field = findField(name))
        return field;
    raise(QStringLiteral("未发现字段 '%1'").arg(name));
}

void QueryDataset::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

void QueryDataset::setCurrent(int position)
{
    m_current = position;
    emit currentChanged();
}

// ---- open and close -------------------------------------------------------

void QueryDataset::prepareColumns(sqlite3_stmt *stmt, int firstColumn)
{
    const int columns = sqlite3_column_count(stmt);
    m_columnOfField.assign(m_defs.size(), -1);
    for (int field : m_storedFields) {
        const FieldDef &def = m_defs[size_t(field)];
        int found = -1;
        for (int c = firstColumn; c < columns && found < 0; ++c)
            if (QString::fromUtf8(sqlite3_column_name(stmt, c)) == def.name)
                found = c;
        for (int c = firstColumn; c < columns && found < 0; ++c)
            if (QString::fromUtf8(sqlite3_column_name(stmt, c)).compare(def.name, Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            raise(QStringLiteral("未发现字段 '%1'").arg(def.label));
        const char *declared = sqlite3_column_decltype(stmt, found);
        const ColumnType column = classifyColumn(QString::fromUtf8(declared ? declared : ""));
        if (!columnFits(def.type, column)) {
            raise(QStringLiteral("字段 '%1' 类型不匹配, 希望类型: %2, 实际类型: %3")
                      .arg(def.label, expectedTypeName(def.type), column.typeName));
        }
        m_columnOfField[size_t(field)] = found;
    }
}

void QueryDataset::readRow(sqlite3_stmt *stmt, const std::vector<int> &columnOfField, Row &row,
                           std::vector<RawText> &texts) const
{
    row.nulls = 0;
    size_t textSlot = 0;
    for (int field : m_storedFields) {
        const int column = columnOfField[size_t(field)];
        const int kind = sqlite3_column_type(stmt, column);
        const FieldType type = m_defs[size_t(field)].type;
        qint64 &slot = row.numbers[size_t(field)];
        if (kind == SQLITE_NULL) {
            row.nulls |= quint64(1) << field;
            if (type == FieldType::Text)
                texts[textSlot++] = RawText{};
            continue;
        }
        switch (type) {
        case FieldType::Text:
            texts[textSlot].p = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
            texts[textSlot].size = sqlite3_column_bytes(stmt, column);
            ++textSlot;
            break;
        case FieldType::Integer:
            slot = kind == SQLITE_FLOAT ? qint32(qint64(sqlite3_column_double(stmt, column)))
                                        : qint32(sqlite3_column_int64(stmt, column));
            break;
        case FieldType::Decimal:
            if (kind == SQLITE_INTEGER) {
                const qint64 whole = sqlite3_column_int64(stmt, column);
                qint64 scaled;
                slot = __builtin_mul_overflow(whole, fieldtext::kDecimalScale, &scaled) ? kDecimalOverflow
                                                                                         : scaled;
            } else if (kind == SQLITE_FLOAT) {
                slot = scaledFromDouble(sqlite3_column_double(stmt, column));
            } else {
                const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
                const auto value = fieldtext::parseDecimal(QString::fromUtf8(text), QLocale::c());
                slot = value ? *value : kDecimalOverflow;
            }
            break;
        case FieldType::DateTime:
            if (kind == SQLITE_TEXT) {
                const auto key = fieldtext::parseStorageDate(
                    reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                    sqlite3_column_bytes(stmt, column));
                if (key)
                    slot = *key;
                else
                    row.nulls |= quint64(1) << field; // no date the view can show
            } else if (kind == SQLITE_FLOAT) {
                // a Julian day number, as the engine's date functions keep it
                slot = std::llround((sqlite3_column_double(stmt, column) + 0.5) * 86400000.0);
            } else {
                // seconds since 1970, as other programs write integer dates
                slot = fieldtext::dateKey(QDate(1970, 1, 1)) + sqlite3_column_int64(stmt, column) * 1000;
            }
            break;
        case FieldType::Currency:
            break;
        }
    }
}

void QueryDataset::calculate(Row &row)
{
    for (const auto &field : m_fields)
        if (field->isCalculated())
            row.setNull(field->index(), true);
    if (!m_calcHandler)
        return;
    m_calcRow = &row;
    try {
        m_calcHandler();
    } catch (...) {
        m_calcRow = nullptr;
        throw;
    }
    m_calcRow = nullptr;
}

void QueryDataset::open()
{
    if (isActive())
        return;
    // A view whose connection is closed opens it itself.
    m_connection->open();

    // Select the rowid along with the columns so that posts and deletes can
    // name the row; a statement over something without rowids stays read-only.
    static const QRegularExpression selectAll(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\"[^\"]+\"|\\[[^\\]]+\\]|`[^`]+`|[^\\s;]+)(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = selectAll.match(m_sql);
    std::unique_ptr<Statement> statement;
    int firstColumn = 0;
    m_updatable = false;
    m_table.clear();
    if (match.hasMatch()) {
        try {
            statement = std::make_unique<Statement>(
                m_connection->handle(),
                QStringLiteral("select _rowid_, * from ") + match.captured(1) + match.captured(2));
            firstColumn = 1;
            m_updatable = true;
            m_table = unquoted(match.captured(1));
        } catch (const ProviderError &) {
            // No rowid to be had (a view, say): the plain statement decides.
            statement.reset();
        }
    }
    if (!statement)
        statement = std::make_unique<Statement>(m_connection->handle(), m_sql);
    for (int i = 0; i < m_parameters.size(); ++i) {
        const QVariant &value = m_parameters.at(i);
        if (value.isNull())
            statement->bindNull(i + 1);
        else
            statement->bindText(i + 1, value.toString());
    }
    sqlite3_stmt *stmt = statement->handle();
    prepareColumns(stmt, firstColumn);

    m_store.clear();
    m_order.clear();
    invalidateCache();
    Row row = m_blank;
    std::vector<RawText> texts(m_store.textFields().size());
    try {
        while (statement->step()) {
            readRow(stmt, m_columnOfField, row, texts);
            row.rowid = firstColumn ? sqlite3_column_int64(stmt, 0) : 0;
            // The calculate handler reads numbers only; texts go straight
            // from the engine into the store.
            calculate(row);
            m_order.push_back(m_store.append(row, texts.data()));
        }
    } catch (...) {
        m_store.clear();
        m_order.clear();
        throw;
    }
    m_order.shrink_to_fit();
    m_current = 0;
    m_bof = true;
    m_eof = m_order.empty();
    m_modified = false;
    m_state = State::Browse;
    emit reset();
    emit stateChanged();
    emit currentChanged();
}

void QueryDataset::close()
{
    if (!isActive())
        return;
    m_state = State::Inactive;
    m_store.clear();
    m_order.clear();
    m_order.shrink_to_fit();
    invalidateCache();
    m_pending = Row();
    m_original = Row();
    m_modified = false;
    m_current = 0;
    m_bof = m_eof = true;
    emit reset();
    emit stateChanged();
    emit currentChanged();
}

// ---- moving ---------------------------------------------------------------

void QueryDataset::addRecordUpdater(QObject *owner, std::function<void()> updater)
{
    m_updaters.emplace_back(owner, std::move(updater));
}

void QueryDataset::updateRecord()
{
    for (size_t i = 0; i < m_updaters.size(); ++i) {
        if (m_updaters[i].first.isNull())
            continue;
        m_updaters[i].second();
    }
    std::erase_if(m_updaters, [](const auto &entry) { return entry.first.isNull(); });
}

void QueryDataset::settle()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    updateRecord();
    if (m_modified)
        post();
    else
        cancel();
}

void QueryDataset::first()
{
    checkActive();
    settle();
    m_bof = true;
    m_eof = m_order.empty();
    setCurrent(0);
}

void QueryDataset::last()
{
    checkActive();
    settle();
    m_eof = true;
    m_bof = m_order.empty();
    setCurrent(m_order.empty() ? 0 : int(m_order.size()) - 1);
}

void QueryDataset::next()
{
    checkActive();
    settle();
    if (m_eof)
        return;
    m_bof = false;
    if (m_current + 1 < int(m_order.size()))
        setCurrent(m_current + 1);
    else {
        m_eof = true;
        emit currentChanged();
    }
}

void QueryDataset::prior()
{
    checkActive();
    settle();
    if (m_bof)
        return;
    m_eof = false;
    if (m_current > 0)
        setCurrent(m_current - 1);
    else {
        m_bof = true;
        emit currentChanged();
    }
}

void QueryDataset::moveTo(int position)
{
    checkActive();
    if (position == m_current && m_state == State::Browse)
        return;
    settle();
    if (m_order.empty())
        return;
    position = std::clamp(position, 0, int(m_order.size()) - 1);
    m_bof = position == 0 && m_bof;
    m_eof = false;
    setCurrent(position);
}

// ---- editing --------------------------------------------------------------

void QueryDataset::insert()
{
    beginInsert(false);
}

void QueryDataset::append()
{
    beginInsert(true);
}

void QueryDataset::beginInsert(bool atEnd)
{
    checkActive();
    if (!m_updatable)
        raise(QStringLiteral("不能修改只读数据集"));
    settle();
    m_insertPosition = atEnd || m_order.empty() ? int(m_order.size()) : m_current;
    m_pending = m_blank;
    m_pending.rowid = 0;
    m_modified = false;
    m_assigned = 0;
    m_bof = m_eof = false;
    m_current = m_insertPosition;
    m_state = State::Insert;
    emit rowInserted(m_insertPosition);
    emit stateChanged();
    emit currentChanged();
}

void QueryDataset::edit()
{
    checkActive();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_order.empty()) {
        insert();
        return;
    }
    if (!m_updatable)
        raise(QStringLiteral("不能修改只读数据集"));
    m_store.load(m_order[size_t(m_current)], m_original);
    m_pending = m_original;
    calculate(m_pending);
    m_modified = false;
    m_assigned = 0;
    m_state = State::Edit;
    emit stateChanged();
    emit rowChanged(m_current);
}

Row &QueryDataset::rowForWrite(const Field &field)
{
    if (m_calcRow) {
        if (!field.isCalculated())
            raise(QStringLiteral("数据集不在修改或插入模式"));
        return *m_calcRow;
    }
    if (m_state != State::Edit && m_state != State::Insert)
        raise(QStringLiteral("数据集不在修改或插入模式"));
    if (field.isCalculated())
        throw DatabaseError(QStringLiteral("字段 '%1' 不能被修改").arg(field.label()));
    return m_pending;
}

void QueryDataset::fieldAssigned(const Field &field)
{
    if (m_calcRow)
        return; // the calculation pass sends no notifications
    m_modified = true;
    m_assigned |= quint64(1) << field.index();
    calculate(m_pending);
    emit rowChanged(m_current);
}

void QueryDataset::dropPendingRow()
{
    m_pending = Row();
    m_original = Row();
    m_modified = false;
    m_state = State::Browse;
}

void QueryDataset::cancel()
{
    if (m_state == State::Insert) {
        dropPendingRow();
        m_current = m_order.empty() ? 0 : std::min(m_insertPosition, int(m_order.size()) - 1);
        m_bof = m_eof = m_order.empty();
        emit rowRemoved(m_insertPosition);
        emit stateChanged();
        emit currentChanged();
    } else if (m_state == State::Edit) {
        dropPendingRow();
        emit rowChanged(m_current);
        emit stateChanged();
    }
}

void QueryDataset::bindValue(Statement &statement, int index, const Row &row, int field) const
{
    if (row.isNull(field)) {
        statement.bindNull(index);
        return;
    }
    const qint64 number = row.numbers[size_t(field)];
    switch (m_defs[size_t(field)].type) {
    case FieldType::Text:
        statement.bindText(index, row.texts[size_t(field)]);
        break;
    case FieldType::Integer:
        statement.bindInt64(index, qint32(number));
        break;
    case FieldType::DateTime:
        statement.bindDate(index, number);
        break;
    case FieldType::Decimal:
        statement.bindDecimal(index, number);
        break;
    case FieldType::Currency:
        statement.bindDouble(index, doubleOf(number));
        break;
    }
}

bool QueryDataset::rereadStored(qint64 rowid, Row &row) const
{
    QString columns;
    for (int field : m_storedFields)
        columns += (columns.isEmpty() ? QString() : QStringLiteral(", ")) + quoted(m_defs[size_t(field)].name);
    Statement statement(m_connection->handle(),
                        QStringLiteral("select _rowid_, %1 from %2 where _rowid_ = ?").arg(columns, quoted(m_table)));
    statement.bindInt64(1, rowid);
    if (!statement.step())
        return false;
    // The columns of this statement follow the stored fields in order.
    std::vector<int> columnOfField(m_defs.size(), -1);
    for (size_t i = 0; i < m_storedFields.size(); ++i)
        columnOfField[size_t(m_storedFields[i])] = int(i) + 1;
    row = m_blank;
    std::vector<RawText> texts(m_store.textFields().size());
    readRow(statement.handle(), columnOfField, row, texts);
    size_t t = 0;
    for (int field : m_store.textFields()) {
        const RawText &raw = texts[t++];
        row.texts[size_t(field)] = QString::fromUtf8(raw.p, raw.size);
    }
    row.rowid = rowid;
    return true;
}

bool QueryDataset::sameStoredValues(const Row &a, const Row &b) const
{
    for (int field : m_storedFields) {
        if (a.isNull(field) != b.isNull(field))
            return false;
        if (a.isNull(field))
            continue;
        if (m_defs[size_t(field)].type == FieldType::Text) {
            if (a.texts[size_t(field)] != b.texts[size_t(field)])
                return false;
        } else if (a.numbers[size_t(field)] != b.numbers[size_t(field)]) {
            return false;
        }
    }
    return true;
}

quint32 QueryDataset::storeRow(Row row)
{
    calculate(row);
    invalidateCache();
    return m_store.append(row);
}

void QueryDataset::post()
{
    checkActive();
    if (m_state != State::Edit && m_state != State::Insert)
        raise(QStringLiteral("数据集不在修改或插入模式"));
    updateRecord();
    sqlite3 *db = m_connection->handle();
    WriteTransaction transaction(db);
    Row written;
    if (m_state == State::Insert) {
        QStringList columns;
        std::vector<int> fields;
        for (int field : m_storedFields)
            if (m_assigned & (quint64(1) << field)) {
                columns << quoted(m_defs[size_t(field)].name);
                fields.push_back(field);
            }
        QString sql = QStringLiteral("insert into %1").arg(quoted(m_table));
        if (columns.isEmpty())
            sql += QStringLiteral(" default values");
        else
            sql += QStringLiteral(" (%1) values (%2)")
                       .arg(columns.join(QStringLiteral(", ")),
                            QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
        Statement statement(db, sql);
        for (size_t i = 0; i < fields.size(); ++i)
            bindValue(statement, int(i) + 1, m_pending, fields[i]);
        statement.step();
        // Read the row back: the table's defaults fill what was not assigned.
        if (!rereadStored(sqlite3_last_insert_rowid(db), written))
            raise(QStringLiteral("无法读回新插入的行"));
        transaction.commit();
        m_order.insert(m_order.begin() + m_insertPosition, storeRow(written));
        m_current = m_insertPosition;
    } else {
        Row current;
        if (!rereadStored(m_original.rowid, current) || !sameStoredValues(current, m_original))
            throw ProviderError(QStringLiteral("无法为更新定位行。一些值可能已在最后一次读取后已更改"));
        QStringList assignments;
        std::vector<int> fields;
        for (int field : m_storedFields) {
            const bool changed = m_pending.isNull(field) != m_original.isNull(field)
                || (!m_pending.isNull(field)
                    && (m_defs[size_t(field)].type == FieldType::Text
                            ? m_pending.texts[size_t(field)] != m_original.texts[size_t(field)]
                            : m_pending.numbers[size_t(field)] != m_original.numbers[size_t(field)]));
            if (changed) {
                assignments << quoted(m_defs[size_t(field)].name) + QStringLiteral(" = ?");
                fields.push_back(field);
            }
        }
        if (!assignments.isEmpty()) {
            Statement statement(db, QStringLiteral("update %1 set %2 where _rowid_ = ?")
                                        .arg(quoted(m_table), assignments.join(QStringLiteral(", "))));
            for (size_t i = 0; i < fields.size(); ++i)
                bindValue(statement, int(i) + 1, m_pending, fields[i]);
            statement.bindInt64(int(fields.size()) + 1, m_original.rowid);
            statement.step();
        }
        if (!rereadStored(m_original.rowid, written))
            raise(QStringLiteral("无法读回更新的行"));
        transaction.commit();
        m_order[size_t(m_current)] = storeRow(written);
    }
    dropPendingRow();
    emit rowChanged(m_current);
    emit stateChanged();
    emit currentChanged();
}

void QueryDataset::remove()
{
    checkActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_order.empty())
        raise(QStringLiteral("无法在空数据集上执行该操作"));
    if (!m_updatable)
        raise(QStringLiteral("不能修改只读数据集"));
    Row stored;
    m_store.load(m_order[size_t(m_current)], stored);
    sqlite3 *db = m_connection->handle();
    {
        WriteTransaction transaction(db);
        Row current;
        if (!rereadStored(stored.rowid, current) || !sameStoredValues(current, stored))
            throw ProviderError(QStringLiteral("无法为删除定位行。一些值可能已在最后一次读取后已更改"));
        Statement statement(db, QStringLiteral("delete from %1 where _rowid_ = ?").arg(quoted(m_table)));
        statement.bindInt64(1, stored.rowid);
        statement.step();
        transaction.commit();
    }
    const int removed = m_current;
    m_order.erase(m_order.begin() + removed);
    invalidateCache();
    dropPendingRow();
    m_current = std::min(removed, std::max(int(m_order.size()) - 1, 0));
    m_bof = m_eof = m_order.empty();
    emit rowRemoved(removed);
    emit stateChanged();
    emit currentChanged();
}

} // namespace zarn

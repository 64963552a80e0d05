#include "dbgrid.h"

#include "application.h"
#include "datasetmodel.h"
#include "datasource.h"
#include "dbedit.h"
#include "field.h"
#include "fonts.h"
#include "querydataset.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace zarn {

namespace {

// The indicator column: the current row's mark, by the dataset's state.
class IndicatorHeader final : public QHeaderView
{
public:
    IndicatorHeader(DBGrid *grid)
        : QHeaderView(Qt::Vertical, grid), m_grid(grid)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setFixedWidth(12);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        painter->save();
        painter->fillRect(rect, palette().button());
        painter->setPen(palette().mid().color());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->drawLine(rect.topRight(), rect.bottomRight());
        const QueryDataset *ds = m_grid->datasetModel() ? m_grid->datasetModel()->dataset() : nullptr;
        if (ds && ds->isActive() && logicalIndex == ds->currentPosition()) {
            painter->setPen(palette().windowText().color());
            painter->setBrush(palette().windowText());
            const QPoint c = rect.center();
            if (ds->state() == QueryDataset::State::Browse) {
                painter->drawPolygon(QPolygon({QPoint(c.x() - 2, c.y() - 4), QPoint(c.x() + 2, c.y()),
                                               QPoint(c.x() - 2, c.y() + 4)}));
            } else {
                painter->drawText(rect, Qt::AlignCenter,
                                  ds->state() == QueryDataset::State::Insert ? QStringLiteral("*")
                                                                             : QStringLiteral("I"));
            }
        }
        painter->restore();
    }

private:
    DBGrid *m_grid;
};

// Cell editors are data-aware edit boxes on the current row's field, with
// the same character, length and hand-over rules as the entry page's.
class CellDelegate final : public QStyledItemDelegate
{
public:
    CellDelegate(DBGrid *grid, DataSource *source)
        : QStyledItemDelegate(grid), m_grid(grid), m_source(source)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const Field *field = m_grid->datasetModel()->fieldAt(index.column());
        if (!field || !field->canModify())
            return nullptr;
        auto *editor = new DBEdit(parent);
        editor->setFrame(false);
        editor->setDataSource(m_source);
        editor->setDataField(field->name());
        return editor;
    }

    void setEditorData(QWidget *, const QModelIndex &) const override
    {
        // The editor shows its field itself.
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &) const override
    {
        static_cast<DBEdit *>(editor)->updateRecord();
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        // Escape closes the cell editor discarding what was typed in it.
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            if (auto *editor = qobject_cast<DBEdit *>(object))
                editor->reset();
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    DBGrid *m_grid;
    QPointer<DataSource> m_source;
};

} // namespace

DBGrid::DBGrid(QWidget *parent)
    : QTableView(parent)
{
    setVerticalHeader(new IndicatorHeader(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setShowGrid(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setFont(windowsFont(QStringLiteral("宋体"), 13));
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataSource(DataSource *source)
{
    m_source = source;
    m_model = new DatasetModel(source, this);
    setModel(m_model);
    setItemDelegate(new CellDelegate(this, source));
    // Rows and the title row are as high as the text plus 4 pixels.
    const int rowHeight = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(QFontMetrics(horizontalHeader()->font()).height() + 4);
    applyColumnWidths();
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        followDataset();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DBGrid::followDataset);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DBGrid::followDataset);
    if (QueryDataset *ds = m_model->dataset())
        connect(ds, &QueryDataset::currentChanged, this, &DBGrid::followDataset);
    followDataset();
}

int DBGrid::defaultColumnWidth(int column) const
{
    const Field *field = m_model ? m_model->fieldAt(column) : nullptr;
    if (!field)
        return 0;
    const int cells = field->def().displayWidth * fontMetrics().horizontalAdvance(u'0') + 4;
    const int title =
        QFontMetrics(horizontalHeader()->font()).horizontalAdvance(m_model->headerData(column, Qt::Horizontal,
                                                                                       Qt::DisplayRole)
                                                                       .toString())
        + 4;
    return std::max(cells, title);
}

void DBGrid::applyColumnWidths()
{
    if (!m_model)
        return;
    for (int c = 0; c < m_model->columnCount(); ++c)
        setColumnWidth(c, defaultColumnWidth(c));
}

void DBGrid::followDataset()
{
    QueryDataset *ds = m_model ? m_model->dataset() : nullptr;
    if (!ds || !ds->isActive() || ds->recordCount() == 0)
        return;
    const int row = ds->currentPosition();
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    if (currentIndex().row() == row && currentIndex().isValid())
        return;
    m_following = true;
    setCurrentIndex(m_model->index(row, column));
    m_following = false;
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    QueryDataset *ds = m_model ? m_model->dataset() : nullptr;
    if (m_following || !ds || !ds->isActive() || !current.isValid() || current.row() == ds->currentPosition())
        return;
    // The user moved to another row: the dataset settles its pending row and
    // follows; when the post is refused the grid goes back.
    try {
        ds->moveTo(current.row());
    } catch (...) {
        QMetaObject::invokeMethod(this, &DBGrid::followDataset, Qt::QueuedConnection);
        throw;
    }
}

bool DBGrid::isEditingCell() const
{
    return state() == QAbstractItemView::EditingState;
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    QueryDataset *ds = m_model ? m_model->dataset() : nullptr;
    if (!ds || !ds->isActive()) {
        QTableView::keyPressEvent(event);
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Insert:
        if (!ctrl && ds->canModify()) {
            ds->insert();
            return;
        }
        break;
    case Qt::Key_Down:
        if (!ctrl && ds->canModify() && ds->state() != QueryDataset::State::Insert
            && ds->currentPosition() == ds->recordCount() - 1) {
            ds->append();
            return;
        }
        break;
    case Qt::Key_Escape:
        ds->cancel();
        return;
    case Qt::Key_Delete:
        if (ctrl) {
            if (ds->canModify() && !ds->isEmpty()
                && Application::instance()->confirm(QStringLiteral("确认"), QStringLiteral("删除当前记录吗?")))
                ds->remove();
            return;
        }
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        // Ctrl+Home and Ctrl+End go to the first and last row, same column.
        if (ctrl && m_model->rowCount() > 0) {
            const int row = event->key() == Qt::Key_Home ? 0 : m_model->rowCount() - 1;
            setCurrentIndex(m_model->index(row, std::max(currentIndex().column(), 0)));
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentIndex().isValid())
            edit(currentIndex(), QAbstractItemView::EditKeyPressed, event);
        return;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    // A cell editor of the grid taking the focus is no exit from the grid.
    QWidget *now = QApplication::focusWidget();
    if (now && isAncestorOf(now))
        return;
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    QueryDataset *ds = m_model ? m_model->dataset() : nullptr;
    if (ds && ds->state() == QueryDataset::State::Insert && !ds->isModified())
        ds->cancel();
}

} // namespace zarn

#include "dbedit.h"

#include "datasource.h"
#include "field.h"
#include "querydataset.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace zarn {

DBEdit::DBEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setDragEnabled(false);
    setAcceptDrops(false);
    connect(this, &QLineEdit::textEdited, this, [this] { m_modified = true; });
}

DBEdit::~DBEdit() = default;

QChar DBEdit::decimalSeparator()
{
    // Read once: the separator the system had when it started.
    static const QChar separator = QLocale().decimalPoint().at(0);
    return separator;
}

void DBEdit::setDataField(const QString &name)
{
    m_fieldName = name;
    connectDataset();
}

void DBEdit::setDataSource(DataSource *source)
{
    m_source = source;
    connectDataset();
}

Field *DBEdit::field() const
{
    if (!m_source || !m_source->dataset() || m_fieldName.isEmpty())
        return nullptr;
    return m_source->dataset()->findField(m_fieldName);
}

bool DBEdit::canModify() const
{
    const Field *f = field();
    return f && f->canModify();
}

void DBEdit::connectDataset()
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    QueryDataset *dataset = m_source ? m_source->dataset() : nullptr;
    if (!dataset || m_fieldName.isEmpty())
        return;
    if (const Field *f = field()) {
        setMaxLength(f->type() == FieldType::Text && f->def().size > 0 ? f->def().size : 32767);
    }
    // A new row, state or snapshot: show the field's text, dropping what was
    // typed. A changed value of the row: show it unless the user is typing.
    auto reload = [this] { reset(); };
    m_connections << connect(dataset, &QueryDataset::reset, this, reload)
                  << connect(dataset, &QueryDataset::currentChanged, this, reload)
                  << connect(dataset, &QueryDataset::stateChanged, this, reload)
                  << connect(dataset, &QueryDataset::rowInserted, this, reload)
                  << connect(dataset, &QueryDataset::rowRemoved, this, reload)
                  << connect(dataset, &QueryDataset::rowChanged, this, [this] {
                         if (!m_modified)
                             showFieldText();
                     });
    dataset->addRecordUpdater(this, [this] { updateRecord(); });
    reset();
}

void DBEdit::reset()
{
    m_modified = false;
    showFieldText();
}

void DBEdit::showFieldText()
{
    const Field *f = field();
    const bool editing = hasFocus() && f && f->canModify();
    QString text;
    if (f && f->def().calculated == false && m_source->dataset()->isActive())
        text = editing ? f->editText() : f->displayText();
    else if (f && m_source->dataset()->isActive())
        text = f->displayText();
    const bool rightAligned = f && f->isNumeric() && !editing;
    setAlignment(rightAligned ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    if (QLineEdit::text() != text) {
        setText(text);
        if (!hasFocus())
            setCursorPosition(0); // show the start of a long text
    }
}

void DBEdit::assignText(const QString &text)
{
    if (QLineEdit::text() == text)
        return;
    setText(text);
    m_modified = true;
}

void DBEdit::updateRecord()
{
    if (!m_modified)
        return;
    Field *f = field();
    if (!f)
        return;
    f->setText(text());
    m_modified = false;
    showFieldText();
}

bool DBEdit::beginChange()
{
    if (!canModify())
        return false;
    return m_source->edit();
}

bool DBEdit::acceptsCharacter(QChar c) const
{
    const Field *f = field();
    if (!f)
        return false;
    const bool digitOrSign = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-';
    switch (f->type()) {
    case FieldType::Integer:
        return digitOrSign;
    case FieldType::Decimal:
    case FieldType::Currency:
        return digitOrSign || c == decimalSeparator();
    default:
        return true;
    }
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    m_selectOnFocus = false;
    if (event->key() == Qt::Key_Escape) {
        reset();
        selectAll();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool character = !typed.isEmpty() && typed.at(0).unicode() >= 32 && typed.at(0).unicode() != 127
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool changing = character || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete
        || event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)
        || event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteStartOfWord)
        || event->matches(QKeySequence::DeleteEndOfLine) || event->matches(QKeySequence::DeleteCompleteLine);
    if (!changing) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!canModify()) { // a computed field, or the view closed: nothing changes
        event->accept();
        return;
    }
    if (character && !acceptsCharacter(typed.at(0))) {
        QApplication::beep();
        event->accept();
        return;
    }
    if (!beginChange()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DBEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() && !beginChange()) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void DBEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The standard commands, each asking for edit before it changes the text.
    QMenu menu(this);
    auto add = [&](const char *text, auto slot, bool enabled, bool changes) {
        QAction *action = menu.addAction(QCoreApplication::translate("QLineEdit", text));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, slot, changes] {
            if (!changes || beginChange())
                (this->*slot)();
        });
    };
    const bool canChange = canModify();
    add("&Undo", &QLineEdit::undo, canChange && isUndoAvailable(), true);
    add("&Redo", &QLineEdit::redo, canChange && isRedoAvailable(), true);
    menu.addSeparator();
    add("Cu&t", &QLineEdit::cut, canChange && hasSelectedText(), true);
    add("&Copy", &QLineEdit::copy, hasSelectedText(), false);
    add("&Paste", &QLineEdit::paste, canChange, true);
    add("Delete", &QLineEdit::del, canChange && hasSelectedText(), true);
    menu.addSeparator();
    add("Select All", &QLineEdit::selectAll, !text().isEmpty(), false);
    menu.exec(event->globalPos());
    event->accept();
}

void DBEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_modified)
        showFieldText();
    if (m_selectOnFocus)
        selectAll();
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    setCursorPosition(0);
    // Another window taking the focus (a message box, a context menu) is
    // no exit from the box.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    try {
        updateRecord();
    } catch (...) {
        // Back into the box with the refused text selected, also when the
        // focus comes back after the message box.
        m_selectOnFocus = true;
        setFocus();
        selectAll();
        throw;
    }
    showFieldText();
}

} // namespace zarn

#pragma once

#include <QLineEdit>
#include <QPointer>

namespace zarn {

class DataSource;
class Field;

// A data-aware edit box bound to one field of a data source's dataset. It
// shows the field's display text, or its edit text while it has the focus;
// any attempt to change the text first asks the data source for edit;
// characters the field does not accept are dropped with a beep; a changed
// text is handed over to the field when the box loses the focus or the row
// is posted or settled. A refused text keeps the focus with the text selected.
class DBEdit final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBEdit)
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)

public:
    explicit DBEdit(QWidget *parent = nullptr);
    ~DBEdit() override;

    QString dataField() const { return m_fieldName; }
    void setDataField(const QString &name);
    void setDataSource(DataSource *source);

    Field *field() const;
    // Whether the user may change the text now (the field can be modified).
    bool canModify() const;
    // Whether the text was changed since the last hand-over.
    bool isModified() const { return m_modified; }

    // Hands a changed text over to the field; a refusal raises.
    void updateRecord();
    // Sets the text as a change of the user's (handed over later) when it
    // differs from what the box shows.
    void assignText(const QString &text);
    // Shows the field's current text again.
    void reset();

    // The decimal separator the decimal fields accept, as at start-up.
    static QChar decimalSeparator();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    bool beginChange();
    bool acceptsCharacter(QChar c) const;
    void showFieldText();
    void connectDataset();

    QPointer<DataSource> m_source;
    QString m_fieldName;
    bool m_modified = false;
    bool m_selectOnFocus = false; // after a refused hand-over
    QList<QMetaObject::Connection> m_connections;
};

} // namespace zarn

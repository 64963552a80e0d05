#pragma once

#include <QMainWindow>
#include <memory>

class QComboBox;
class QLabel;
class QTimer;
class QWindow;

namespace Ui {
class TForm1;
}

namespace zarn {

class ActionList;
class DataSource;
class DatasetAction;
class TEntryPage;
class TPrintPage;
class TQueryPage;

// The main window: the three pages, the menu, the eight dataset actions,
// the status bar with its clock, and the ledger statements.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    explicit TForm1(QWidget *owner);
    ~TForm1() override;

    DataSource *DataSource1 = nullptr;
    DataSource *DataSource2 = nullptr;
    ActionList *ActionList1 = nullptr;
    DatasetAction *DataSetFirst1 = nullptr;
    DatasetAction *DataSetPrior1 = nullptr;
    DatasetAction *DataSetNext1 = nullptr;
    DatasetAction *DataSetLast1 = nullptr;
    DatasetAction *DataSetInsert1 = nullptr;
    DatasetAction *DataSetDelete1 = nullptr;
    DatasetAction *DataSetEdit1 = nullptr;
    DatasetAction *DataSetPost1 = nullptr;
    QTimer *Timer1 = nullptr;

    // Fills a column selector with the ledger's field names but the last.
    void filldata(QComboBox *selector);
    // Reloads the ledger view with the rows whose column equals the value.
    void search(const QString &column, const QString &value);
    // Reloads the ledger view with every row.
    void dispall();

    // Makes the page the one in view; refused while the focused editor on
    // the page being left keeps a text its field refuses.
    bool bringToFront(QWidget *page);
    QWidget *currentPage() const;
    QString statusText(int panel) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createStatusPanels();
    void createActions();
    void focusWindowChanged(QWindow *window);

    void FormActivate();
    void N8Click();
    void N10Click();
    void N12Click();
    void N14Click();
    void N5Click();
    void Timer1Timer();
    void BitBtn14Click();
    void BitBtn18Click();
    void BitBtn15Click();
    void BitBtn21Click();

    std::unique_ptr<Ui::TForm1> ui;
    TEntryPage *m_entryPage = nullptr;
    TQueryPage *m_queryPage = nullptr;
    TPrintPage *m_printPage = nullptr;
    QList<QLabel *> m_panels;
    bool m_lastFocusWasNonModalWindow = false;
    bool m_activatedOnce = false;
};

} // namespace zarn

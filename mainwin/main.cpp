#include "main.h"

#include "about.h"
#include "application.h"
#include "datasetaction.h"
#include "datasource.h"
#include "bitbtn.h"
#include "dm.h"
#include "entrypage.h"
#include "fieldtext.h"
#include "ledgerqueries.h"
#include "flatskin.h"
#include "fonts.h"
#include "pages.h"
#include "querydataset.h"
#include "report.h"
#include "tabledataset.h"

#include "ui_main.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

namespace zarn {


TForm1::TForm1(QWidget *owner)
    : QMainWindow(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                             | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm1>())
{
    ui->setupUi(this);
    setFont(windowsFont(QStringLiteral("宋体"), 13));
    ui->N13->setSeparator(true);
    new FlatSkin(this);

    m_entryPage = new TEntryPage(ui->TabSheet1);
    m_queryPage = new TQueryPage(ui->TabSheet3);
    m_printPage = new TPrintPage(ui->TabSheet5);

    DataSource1 = new DataSource(QStringLiteral("DataSource1"), this);
    DataSource1->setDataset(dm2->ADOQuery1);
    DataSource2 = new DataSource(QStringLiteral("DataSource2"), this);
    DataSource2->setTable(dm2->ADOTable1);

    m_entryPage->bind(DataSource1);
    m_queryPage->bind(DataSource1);
    m_printPage->bind(DataSource1);
    createStatusPanels();
    createActions();

    // The client area: the page control above a 19-pixel status bar; the
    // menu bar sits above it. The user cannot resize the window.
    ui->StatusBar1->setFixedHeight(19);
    setFixedSize(951, 478 + ui->MainMenu1->sizeHint().height());
    move(144, 389);

    connect(ui->N8, &QAction::triggered, this, &TForm1::N8Click);
    connect(ui->N10, &QAction::triggered, this, &TForm1::N10Click);
    connect(ui->N12, &QAction::triggered, this, &TForm1::N12Click);
    connect(ui->N14, &QAction::triggered, this, &TForm1::N14Click);
    connect(ui->N5, &QAction::triggered, this, &TForm1::N5Click);
    connect(m_queryPage->BitBtn14(), &QPushButton::clicked, this, &TForm1::BitBtn14Click);
    connect(m_queryPage->BitBtn15(), &QPushButton::clicked, this, &TForm1::BitBtn15Click);
    connect(m_printPage->BitBtn18(), &QPushButton::clicked, this, &TForm1::BitBtn18Click);
    connect(m_printPage->BitBtn19(), &QPushButton::clicked, this, &TForm1::BitBtn15Click);
    connect(m_printPage->BitBtn21(), &QPushButton::clicked, this, &TForm1::BitBtn21Click);

    // A tab click goes through the same check as the menu's page commands.
    ui->PageControl1->tabBar()->installEventFilter(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm1::focusWindowChanged);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();
}

TForm1::~TForm1() = default;

void TForm1::createStatusPanels()
{
    struct Panel
    {
        int width;
        QFrame::Shadow bevel;
        const char *text;
    };
    const Panel panels[] = {{200, QFrame::Sunken, "Kestrune"},
                            {150, QFrame::Raised, "2003年6月10日"},
                            {120, QFrame::Sunken, "当前时间"},
                            {150, QFrame::Sunken, ""},
                            {100, QFrame::Sunken, ""}};
    ui->StatusBar1->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    int index = 0;
    for (const Panel &panel : panels) {
        auto *label = new QLabel(QString::fromUtf8(panel.text), ui->StatusBar1);
        label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(index++));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | panel.bevel);
        label->setFixedWidth(panel.width);
        ui->StatusBar1->addWidget(label);
        m_panels << label;
    }
}

void TForm1::createActions()
{
    ActionList1 = new ActionList(QStringLiteral("ActionList1"), this);
    using Kind = DatasetAction::Kind;
    auto make = [this](const char *name, Kind kind) {
        auto *action = new DatasetAction(QString::fromLatin1(name), kind, ActionList1);
        // The ledger view is reachable only while this window is the active one.
        action->setTargetFinder([this]() -> QueryDataset * {
            return QApplication::activeWindow() == this ? DataSource1->dataset() : nullptr;
        });
        ActionList1->add(action);
        return action;
    };
    DataSetFirst1 = make("DataSetFirst1", Kind::First);
    DataSetPrior1 = make("DataSetPrior1", Kind::Prior);
    DataSetNext1 = make("DataSetNext1", Kind::Next);
    DataSetLast1 = make("DataSetLast1", Kind::Last);
    DataSetInsert1 = make("DataSetInsert1", Kind::Insert);
    DataSetDelete1 = make("DataSetDelete1", Kind::Delete);
    DataSetEdit1 = make("DataSetEdit1", Kind::Edit);
    DataSetPost1 = make("DataSetPost1", Kind::Post);
    DataSetFirst1->link(m_entryPage->BitBtn1());
    DataSetPrior1->link(m_entryPage->BitBtn2());
    DataSetNext1->link(m_entryPage->BitBtn3());
    DataSetLast1->link(m_entryPage->BitBtn4());
    DataSetInsert1->link(m_entryPage->BitBtn5());
    DataSetPost1->link(m_entryPage->BitBtn10());
    DataSetInsert1->link(ui->N15);
    DataSetDelete1->link(ui->N16);
    DataSetPost1->link(ui->N18);
    // Evaluation waits while a modal dialog (the about box) disables the window.
    ActionList1->setBlocked([this] {
        QWidget *modal = QApplication::activeModalWidget();
        return modal && modal != this;
    });
    ActionList1->watchMenu(ui->N2);
}

QWidget *TForm1::currentPage() const
{
    return ui->PageControl1->currentWidget();
}

QString TForm1::statusText(int panel) const
{
    return m_panels.value(panel) ? m_panels.value(panel)->text() : QString();
}

bool TForm1::bringToFront(QWidget *page)
{
    QWidget *leaving = ui->PageControl1->currentWidget();
    if (leaving == page)
        return true;
    // The focused control on the page being left loses the focus first; an
    // editor whose field refuses its text takes the focus back.
    QWidget *focused = QApplication::focusWidget();
    if (focused && leaving && leaving->isAncestorOf(focused)) {
        focused->clearFocus();
        // The window's focus child: the box that took the focus back, even
        // while a message box has the application's focus.
        QWidget *now = focusWidget();
        if (now && leaving->isAncestorOf(now))
            return false;
    }
    ui->PageControl1->setCurrentWidget(page);
    return true;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->PageControl1->tabBar() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const int index = ui->PageControl1->tabBar()->tabAt(mouse->position().toPoint());
        if (index >= 0 && mouse->button() == Qt::LeftButton) {
            bringToFront(ui->PageControl1->widget(index));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::focusWindowChanged(QWindow *window)
{
    // Only a return from a non-modal window of this application activates
    // the window again: not the close of a modal dialog, not a return from
    // another application (the application then had no focus window). What
    // the window that had the focus was is noted when it gets the focus, as
    // it may be gone by the time the focus comes back.
    const bool fromNonModalWindow = m_lastFocusWasNonModalWindow;
    m_lastFocusWasNonModalWindow = window && window != windowHandle() && window->modality() == Qt::NonModal
        && window->type() != Qt::Popup && window->type() != Qt::ToolTip;
    if (!window || window != windowHandle())
        return;
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        FormActivate();
    } else if (fromNonModalWindow) {
        FormActivate();
    }
}

void TForm1::FormActivate()
{
    filldata(m_queryPage->ComboBox1());
    filldata(m_printPage->ComboBox3());
    bringToFront(ui->TabSheet1);
}

void TForm1::filldata(QComboBox *selector)
{
    selector->clear();
    QueryDataset *view = dm2->ADOQuery1;
    for (int i = 0; i <= view->fieldCount() - 2; ++i)
        selector->addItem(view->field(i)->name());
    selector->setCurrentIndex(0);
}

void TForm1::search(const QString &column, const QString &value)
{
    searchLedger(DataSource1->dataset(), column, value);
}

void TForm1::dispall()
{
    showWholeLedger(DataSource1->dataset());
}

void TForm1::N8Click() { bringToFront(ui->TabSheet1); }
void TForm1::N10Click() { bringToFront(ui->TabSheet3); }
void TForm1::N12Click() { bringToFront(ui->TabSheet5); }

void TForm1::N14Click()
{
    Application::instance()->terminate();
}

void TForm1::N5Click()
{
    // A new box each time, owned by the window until it is released.
    auto *box = new TAboutBox(this);
    box->exec();
}

void TForm1::Timer1Timer()
{
    const QLocale locale = fieldtext::locale();
    m_panels[3]->setText(fieldtext::formatTime(QDateTime::currentDateTime().time(), locale));
    m_panels[4]->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy年MM月dd日")));
}

void TForm1::BitBtn14Click()
{
    search(m_queryPage->ComboBox1()->currentText(), m_queryPage->Edit1()->text());
}

void TForm1::BitBtn18Click()
{
    search(m_printPage->ComboBox3()->currentText(), m_printPage->Edit3()->text());
}

void TForm1::BitBtn15Click()
{
    dispall();
}

void TForm1::BitBtn21Click()
{
    // A new report for each press, owned by the window; its preview is not
    // modal and this returns when the preview has been closed.
    auto *report = new Tqr1(DataSource1->dataset(), this);
    connect(report, &QuickReport::previewClosed, report, &QObject::deleteLater);
    report->preview();
}

} // namespace zarn

#include "pages.h"

#include "dbgrid.h"

#include "ui_printpage.h"
#include "ui_querypage.h"

namespace zarn {

TQueryPage::TQueryPage(QWidget *parent)
    : QFrame(parent), ui(std::make_unique<Ui::TQueryPage>())
{
    ui->setupUi(this);
}

TQueryPage::~TQueryPage() = default;

void TQueryPage::bind(DataSource *source)
{
    ui->DBGrid1->setDataSource(source);
}

DBGrid *TQueryPage::DBGrid1() const { return ui->DBGrid1; }
QComboBox *TQueryPage::ComboBox1() const { return ui->ComboBox1; }
QLineEdit *TQueryPage::Edit1() const { return ui->Edit1; }
QPushButton *TQueryPage::BitBtn14() const { return ui->BitBtn14; }
QPushButton *TQueryPage::BitBtn15() const { return ui->BitBtn15; }

TPrintPage::TPrintPage(QWidget *parent)
    : QFrame(parent), ui(std::make_unique<Ui::TPrintPage>())
{
    ui->setupUi(this);
    ui->BitBtn21->raise(); // drawn above the search strip
}

TPrintPage::~TPrintPage() = default;

void TPrintPage::bind(DataSource *source)
{
    ui->DBGrid3->setDataSource(source);
}

DBGrid *TPrintPage::DBGrid3() const { return ui->DBGrid3; }
QComboBox *TPrintPage::ComboBox3() const { return ui->ComboBox3; }
QLineEdit *TPrintPage::Edit3() const { return ui->Edit3; }
QPushButton *TPrintPage::BitBtn18() const { return ui->BitBtn18; }
QPushButton *TPrintPage::BitBtn19() const { return ui->BitBtn19; }
QPushButton *TPrintPage::BitBtn21() const { return ui->BitBtn21; }

} // namespace zarn

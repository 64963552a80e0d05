#include "entrypage.h"

#include "bitbtn.h"
#include "datasource.h"
#include "dbedit.h"
#include "field.h"
#include "querydataset.h"

#include "ui_entrypage.h"

namespace zarn {

TEntryPage::TEntryPage(QWidget *parent)
    : QFrame(parent), ui(std::make_unique<Ui::TEntryPage>())
{
    ui->setupUi(this);
    // Labels take the size of their text.
    for (QLabel *label : findChildren<QLabel *>()) {
        label->adjustSize();
        label->setFixedHeight(13);
    }
    connect(ui->BitBtn5, &BitBtn::mouseReleased, this, &TEntryPage::BitBtn5MouseUp);
}

TEntryPage::~TEntryPage() = default;

void TEntryPage::bind(DataSource *source)
{
    m_source = source;
    for (DBEdit *editor : findChildren<DBEdit *>())
        editor->setDataSource(source);
}

QPushButton *TEntryPage::BitBtn1() const { return ui->BitBtn1; }
QPushButton *TEntryPage::BitBtn2() const { return ui->BitBtn2; }
QPushButton *TEntryPage::BitBtn3() const { return ui->BitBtn3; }
QPushButton *TEntryPage::BitBtn4() const { return ui->BitBtn4; }
BitBtn *TEntryPage::BitBtn5() const { return ui->BitBtn5; }
BitBtn *TEntryPage::BitBtn10() const { return ui->BitBtn10; }

void TEntryPage::BitBtn5MouseUp()
{
    const Field *card = m_source && m_source->dataset() ? m_source->dataset()->findField(QStringLiteral("卡号")) : nullptr;
    ui->DBEdit1->assignText(card ? card->displayText() : QString());
    ui->DBEdit4->setFocus();
}

} // namespace zarn

#include "about.h"

#include "flatskin.h"
#include "fonts.h"
#include "windowplacement.h"

#include "ui_about.h"

namespace zarn {

TAboutBox::TAboutBox(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::TAboutBox>())
{
    ui->setupUi(this);
    setFont(windowsFont(QStringLiteral("宋体"), 13));
    ui->ProductName->setFont(windowsFont(QStringLiteral("宋体"), 14));
    setFixedSize(298, 213);
    setWindowIcon(QIcon()); // a dialog frame has no icon
    new FlatSkin(this);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::showEvent(QShowEvent *event)
{
    centreOnScreen(this);
    ui->OKButton->setFocus();
    QDialog::showEvent(event);
}

} // namespace zarn

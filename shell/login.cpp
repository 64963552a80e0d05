#include "login.h"

#include "application.h"
#include "dm.h"
#include "errorhandler.h"
#include "flatskin.h"
#include "fonts.h"
#include "tabledataset.h"
#include "windowplacement.h"

#include "ui_login.h"

#include <QAbstractItemView>

namespace zarn {

Tdenglu::Tdenglu()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::Tdenglu>())
{
    ui->setupUi(this);
    setFont(windowsFont(QStringLiteral("MS Sans Serif"), 13));
    setFixedSize(243, 162);
    new FlatSkin(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &Tdenglu::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &Tdenglu::BitBtn2Click);
    Application::instance()->registerForm(this);
    // An error in the creation handler is shown; the dialog is still created.
    try {
        FormCreate();
    } catch (const std::exception &error) {
        showError(error);
    }
}

Tdenglu::~Tdenglu() = default;

void Tdenglu::FormCreate()
{
    TableDataset *users = dm2->ADOTable1;
    users->open();
    users->first();
    // Names read before a failing row stay in the list, but none is selected.
    QStringList names;
    auto fillList = [&] {
        ui->ComboBox1->addItems(names);
        ui->ComboBox1->setCurrentIndex(-1);
    };
    try {
        while (!users->eof()) {
            names << users->asString(0);
            users->next();
        }
    } catch (...) {
        fillList();
        throw;
    }
    fillList();
    ui->ComboBox1->setCurrentIndex(0);
}

void Tdenglu::showEvent(QShowEvent *event)
{
    centreOnScreen(this);
    ui->BitBtn1->setFocus();
    QDialog::showEvent(event);
}

void Tdenglu::BitBtn1Click()
{
    TableDataset *users = dm2->ADOTable1;
    if (!users->locate(QStringLiteral("us"), ui->ComboBox1->currentText()))
        return; // an unknown name: nothing happens, the user may try again
    const QVariant stored = users->value(1);
    const bool match = !stored.isNull() && stored.toString() == ui->MaskEdit1->text();
    if (match) {
        hide();
        if (m_runMainWindow)
            m_runMainWindow(this);
    }
    // Whatever the main window's run ended with, or a wrong password: the end.
    Application::instance()->terminate();
}

void Tdenglu::BitBtn2Click()
{
    Application::instance()->terminate();
}

void Tdenglu::reject()
{
    // The dialog is the application's main window: closing it ends the run.
    BitBtn2Click();
}

} // namespace zarn

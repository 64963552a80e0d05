#include "mainwindowfixture.h"

#include "dm.h"
#include "main.h"
#include "querydataset.h"

#include <QTest>

namespace zarn::test {

MainWindowFixture::MainWindowFixture(const QString &answer)
    : boxes(answer)
{
}

MainWindowFixture::~MainWindowFixture()
{
    form.reset();
    dm.reset();
    dm2 = nullptr;
}

void MainWindowFixture::open()
{
    dm = std::make_unique<Tdm2>(nullptr);
    dm2 = dm.get();
    form = std::make_unique<TForm1>(nullptr);
    form->show();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("the main window did not become active");
    runUntilIdle();
}

QueryDataset *MainWindowFixture::view() const
{
    return dm->ADOQuery1;
}

} // namespace zarn::test

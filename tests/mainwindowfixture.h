#pragma once

#include "testsupport.h"

#include <memory>

namespace zarn {
class QueryDataset;
class Tdm2;
class TForm1;
}

namespace zarn::test {

// A signed-in main window over a fresh zarn.mdb: add rows to `ledger`, then
// open() creates the data module and the window, shown and active. Message
// boxes are answered (with `answer`, or their first button) and recorded.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(const QString &answer = {});
    ~MainWindowFixture(); // the window goes before the data module

    void open();
    QueryDataset *view() const;

    LedgerFixture ledger;
    MessageBoxCatcher boxes;
    std::unique_ptr<Tdm2> dm;
    std::unique_ptr<TForm1> form;
};

} // namespace zarn::test

#pragma once

#include <QFrame>
#include <memory>

class QPushButton;

namespace Ui {
class TEntryPage;
}

namespace zarn {

class BitBtn;
class DataSource;
class DBEdit;

// The record entry page's panel: twelve data-aware editors of the current
// ledger row, four navigation buttons, "添加记录" and "保存修改".
class TEntryPage final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEntryPage)

public:
    explicit TEntryPage(QWidget *parent);
    ~TEntryPage() override;

    void bind(DataSource *source);

    QPushButton *BitBtn1() const;
    QPushButton *BitBtn2() const;
    QPushButton *BitBtn3() const;
    QPushButton *BitBtn4() const;
    BitBtn *BitBtn5() const;
    BitBtn *BitBtn10() const;

private:
    // After every mouse release over "添加记录": the card-number editor gets
    // the current row's card number, the focus goes to the contract number.
    void BitBtn5MouseUp();

    std::unique_ptr<Ui::TEntryPage> ui;
    DataSource *m_source = nullptr;
};

} // namespace zarn

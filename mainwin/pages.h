#pragma once

#include <QFrame>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zarn {
class DataSource;
class DBGrid;
}

namespace Ui {
class TQueryPage;
class TPrintPage;
}

namespace zarn {

// The query page's panel: the search strip, the hidden column selector and
// the grid. Its handlers belong to the main window.
class TQueryPage final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TQueryPage)

public:
    explicit TQueryPage(QWidget *parent);
    ~TQueryPage() override;

    void bind(DataSource *source);
    DBGrid *DBGrid1() const;
    QComboBox *ComboBox1() const;
    QLineEdit *Edit1() const;
    QPushButton *BitBtn14() const;
    QPushButton *BitBtn15() const;

private:
    std::unique_ptr<Ui::TQueryPage> ui;
};

// The print page's panel: the same strip and grid, and "打印数据".
class TPrintPage final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPrintPage)

public:
    explicit TPrintPage(QWidget *parent);
    ~TPrintPage() override;

    void bind(DataSource *source);
    DBGrid *DBGrid3() const;
    QComboBox *ComboBox3() const;
    QLineEdit *Edit3() const;
    QPushButton *BitBtn18() const;
    QPushButton *BitBtn19() const;
    QPushButton *BitBtn21() const;

private:
    std::unique_ptr<Ui::TPrintPage> ui;
};

} // namespace zarn

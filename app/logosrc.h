#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class Tlogo;
}

namespace zarn {

// The splash screen: the picture alone, without caption or frame, centred,
// on the screen while the ledger is fetched.
class Tlogo final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tlogo)

public:
    explicit Tlogo(QWidget *parent = nullptr);
    ~Tlogo() override;

private:
    std::unique_ptr<Ui::Tlogo> ui;
};

} // namespace zarn

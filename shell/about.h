#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

namespace zarn {

// The about box: the owner's name, the program picture and the company's
// web address; closed by "确定" or its close box.
class TAboutBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutBox)

public:
    explicit TAboutBox(QWidget *owner);
    ~TAboutBox() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};

} // namespace zarn

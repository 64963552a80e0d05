#pragma once

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class Tdenglu;
}

namespace zarn {

// The login dialog, the application's main window for the whole run. A
// known name with its password opens the main window modally; a wrong
// password, "取消", Esc and the close box end the run.
class Tdenglu final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tdenglu)

public:
    Tdenglu();
    ~Tdenglu() override;

    // Creates the main window after a correct password; tests replace it.
    using MainWindowRunner = std::function<void(Tdenglu *owner)>;
    void setMainWindowRunner(MainWindowRunner runner) { m_runMainWindow = std::move(runner); }

    void reject() override; // Esc and the close box

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();

    std::unique_ptr<Ui::Tdenglu> ui;
    MainWindowRunner m_runMainWindow;
};

} // namespace zarn

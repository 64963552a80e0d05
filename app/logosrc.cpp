#include "logosrc.h"

#include "ui_logosrc.h"

#include <QGuiApplication>
#include <QScreen>

namespace zarn {

Tlogo::Tlogo(QWidget *parent)
    // A plain frameless window: not kept above the others, as a splash screen would be.
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ui(std::make_unique<Ui::Tlogo>())
{
    ui->setupUi(this);
    // The window takes the size of its picture.
    ui->Image1->adjustSize();
    setFixedSize(ui->Image1->size());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

Tlogo::~Tlogo() = default;

} // namespace zarn

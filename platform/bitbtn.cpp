#include "bitbtn.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPointer>

namespace zarn {

BitBtn::BitBtn(QWidget *parent)
    : QPushButton(parent)
{
    // Only a left press takes the focus (see mousePressEvent).
    setFocusPolicy(Qt::TabFocus);
}

void BitBtn::setGlyph(const QString &resource)
{
    m_glyph = resource;
    QImage image(resource);
    if (image.isNull()) {
        setIcon(QIcon());
        return;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == transparent)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    const int half = image.width() / 2;
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, half, image.height())), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(image.copy(half, 0, half, image.height())), QIcon::Disabled);
    setIcon(icon);
    setIconSize(QSize(half, image.height()));
}

void BitBtn::mousePressEvent(QMouseEvent *event)
{
    m_leftPressed = event->button() == Qt::LeftButton && isEnabled();
    // The focus moves first, so a focused editor hands its text over before
    // the click's action runs.
    if (m_leftPressed)
        setFocus(Qt::MouseFocusReason);
    QPushButton::mousePressEvent(event);
    // The other buttons are ignored by the button itself; keep them here so
    // that their release comes back to this button.
    event->accept();
}

void BitBtn::mouseReleaseEvent(QMouseEvent *event)
{
    const bool over = rect().contains(event->position().toPoint());
    const bool wasLeftPress = m_leftPressed && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    QPointer<BitBtn> guard(this);
    QPushButton::mouseReleaseEvent(event); // a completed click runs its action first
    if (guard && isEnabled() && (over || wasLeftPress))
        emit mouseReleased(event->button());
    event->accept();
}

} // namespace zarn

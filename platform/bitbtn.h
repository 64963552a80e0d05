#pragma once

#include <QPushButton>

namespace zarn {

// A push button with a two-state picture: a 32 × 16 bitmap holding the
// enabled picture on the left and its grey disabled form on the right; the
// colour of the bottom-left pixel is transparent. The picture stands left
// of the caption. Announces every mouse release after the button's own
// handling (so after a click's action).
class BitBtn final : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BitBtn)
    Q_PROPERTY(QString glyph READ glyph WRITE setGlyph)

public:
    explicit BitBtn(QWidget *parent = nullptr);

    QString glyph() const { return m_glyph; }
    void setGlyph(const QString &resource);

signals:
    // A mouse button was released over the enabled button, or the left
    // button pressed on it was released elsewhere.
    void mouseReleased(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_glyph;
    bool m_leftPressed = false;
};

} // namespace zarn

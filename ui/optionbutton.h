#pragma once

#include <QRadioButton>
#include <QStaticText>

// An option button whose caption wraps inside its fixed box, as answer choices of up to a few
// lines need. The whole box takes clicks, not only the circle and the text; keyboard focus,
// the exclusive group and accessibility stay those of QRadioButton.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(QWidget* parent = nullptr);

    // How wide the caption may be beside the circle.
    int captionWidth() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The wrapped caption, laid out once for each caption, width and font rather than at
    // every paint.
    const QStaticText& layoutCaption(int width);

    QStaticText caption_;
    QString laidOutText_;
    QFont laidOutFont_;
};

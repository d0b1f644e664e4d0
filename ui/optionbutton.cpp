#include "optionbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

OptionButton::OptionButton(QWidget* parent) : QRadioButton(parent)
{
    caption_.setTextFormat(Qt::PlainText);
}

QSize OptionButton::sizeHint() const
{
    return size();
}

QSize OptionButton::minimumSizeHint() const
{
    return size();
}

int OptionButton::captionWidth() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return width() - style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this) -
           style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
}

bool OptionButton::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

const QStaticText& OptionButton::layoutCaption(int width)
{
    if (laidOutText_ != text() || laidOutFont_ != font() || caption_.textWidth() != width) {
        laidOutText_ = text();
        laidOutFont_ = font();
        caption_.setText(laidOutText_);
        caption_.setTextWidth(width);
        caption_.prepare(QTransform(), laidOutFont_);
    }
    return caption_;
}

void OptionButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    const int indicatorWidth =
        style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this);
    const int indicatorHeight =
        style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this);

    // The circle and the caption block are both centred vertically in the box; a caption taller
    // than the box starts at the top and is cut off at the bottom. A box lower than the style's
    // circle gets a circle that much smaller, drawn whole.
    const int circle = qMin(qMin(indicatorWidth, indicatorHeight), height());
    QStyleOptionButton indicator = option;
    indicator.rect = QRect((indicatorWidth - circle) / 2, (height() - circle) / 2, circle, circle);
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

    const QRect textArea = rect().adjusted(width() - captionWidth(), 0, 0, 0);
    const QStaticText& caption = layoutCaption(textArea.width());
    const int textHeight = qCeil(caption.size().height());
    const int top = textHeight > textArea.height() ? 0 : (textArea.height() - textHeight) / 2;
    painter.setClipRect(textArea);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawStaticText(textArea.left(), top, caption);
    painter.setClipping(false);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        const int textWidth = qCeil(caption.size().width());
        focus.rect = QRect(textArea.left() - 1, top, textWidth + 2, textHeight).intersected(rect());
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

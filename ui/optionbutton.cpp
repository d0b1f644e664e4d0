#include "optionbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

OptionButton::OptionButton(QWidget* parent) : QRadioButton(parent) {}

QSize OptionButton::sizeHint() const
{
    return size();
}

QSize OptionButton::minimumSizeHint() const
{
    return size();
}

bool OptionButton::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
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
    const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);

    // The circle and the caption block are both centred vertically in the box; a caption taller
    // than the box starts at the top and is cut off at the bottom.
    QStyleOptionButton indicator = option;
    indicator.rect = QRect(0, (height() - indicatorHeight) / 2, indicatorWidth, indicatorHeight);
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

    const QRect textArea = rect().adjusted(indicatorWidth + spacing, 0, 0, 0);
    const int wrap = Qt::TextWordWrap | Qt::AlignLeft;
    const QRect needed = fontMetrics().boundingRect(textArea, wrap | Qt::AlignTop, text());
    const int vertical = needed.height() > textArea.height() ? Qt::AlignTop : Qt::AlignVCenter;
    style()->drawItemText(&painter, textArea, wrap | vertical, palette(), isEnabled(), text(),
                          QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        const QRect textBlock =
            fontMetrics().boundingRect(textArea, wrap | vertical, text()).intersected(textArea);
        focus.rect = textBlock.adjusted(-1, 0, 1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

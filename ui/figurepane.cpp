#include "figurepane.h"

#include <QBuffer>
#include <QImageReader>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// No figure of a question pool comes near this; a picture that would is refused unread.
constexpr int largestPictureMegabytes = 64;

} // namespace

FigurePane::FigurePane(QWidget* parent)
    : QFrame(parent), caption_(new QLabel(this)), picture_(new QLabel(this))
{
    setObjectName(QStringLiteral("figurePane"));
    setFrameShape(QFrame::StyledPanel);
    // Figures are black drawings on white or on nothing; a dark palette would hide their lines.
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Qt::white);
    paper.setColor(QPalette::WindowText, Qt::black);
    setPalette(paper);
    setAutoFillBackground(true);
    caption_->setObjectName(QStringLiteral("figureCaption"));
    caption_->setTextFormat(Qt::PlainText);
    caption_->setWordWrap(true);
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    picture_->setObjectName(QStringLiteral("figurePicture"));
    picture_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    picture_->setAccessibleDescription(QStringLiteral("Figure"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(caption_);
    column->addWidget(picture_, 1);
}

QSize FigurePane::pictureRoom(int paneWidth, int paneHeight)
{
    return {std::max(paneWidth - 20, 1), std::max(paneHeight - 48, 1)};
}

QImage FigurePane::decode(const QByteArray& data, const QByteArray& format, const QSize& room)
{
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(largestPictureMegabytes);
    const QSize natural = reader.size();
    if (natural.isValid() && !natural.isEmpty()) {
        const double scale = std::min({2.0, static_cast<double>(room.width()) / natural.width(),
                                       static_cast<double>(room.height()) / natural.height()});
        reader.setScaledSize(QSize(std::max(1, static_cast<int>(natural.width() * scale)),
                                   std::max(1, static_cast<int>(natural.height() * scale))));
    }
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > room.width() || image.height() > room.height()))
        image = image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

void FigurePane::showFigure(const QString& name, const QImage& picture, bool inFile)
{
    const QString figure = QStringLiteral("Figure %1").arg(name);
    if (picture.isNull()) {
        caption_->setText(
            inFile ? QStringLiteral("%1 is in the pool file but cannot be shown").arg(figure)
                   : QStringLiteral("%1 is not in the pool file").arg(figure));
        picture_->clear();
        picture_->setAccessibleName(QString());
        sentence_ = caption_->text() + QLatin1Char('.');
    } else {
        caption_->setText(figure);
        picture_->setPixmap(QPixmap::fromImage(picture));
        picture_->setAccessibleName(figure);
        sentence_ = QStringLiteral("%1 is shown beside the question.").arg(figure);
    }
}

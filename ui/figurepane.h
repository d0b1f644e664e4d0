#pragma once

#include <QFrame>
#include <QImage>

class QLabel;

// The figure a pool's question shows with it, in a column of its own beside the question so
// that it never covers it: the figure's name, then its picture, scaled down to the column where
// it is larger. Where the pool file lacks the picture, a line says so in its place.
class FigurePane : public QFrame {
    Q_OBJECT

public:
    explicit FigurePane(QWidget* parent = nullptr);

    // The picture fits inside this size; a smaller one is shown as it is, or at most twice
    // as large.
    static QSize pictureRoom(int paneWidth, int paneHeight);
    // Decodes a figure's bytes to fit the room; a null image when they are no picture.
    static QImage decode(const QByteArray& data, const QByteArray& format, const QSize& room);

    // Shows the figure `name` with its picture. With no picture it says the figure is not in
    // the pool file, or, when the file holds it (`inFile`), that it cannot be shown.
    void showFigure(const QString& name, const QImage& picture, bool inFile);
    // What a screen reader hears of it with the question.
    const QString& sentence() const { return sentence_; }

private:
    QLabel* caption_;
    QLabel* picture_;
    QString sentence_;
};

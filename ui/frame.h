#pragma once

#include <QGroupBox>

// A group box drawn as an etched rectangle with its caption set into the top edge, filled
// with the box's own background colour only (no shaded panel), so a white frame is white.
class Frame : public QGroupBox {
    Q_OBJECT

public:
    explicit Frame(const QString& title, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

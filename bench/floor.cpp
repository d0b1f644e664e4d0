// The least Qt Widgets program of the exam window's shape: a menu bar of five one-item menus,
// four frames, twelve labels, six option buttons and four push buttons, shown at once. It is
// what any Qt program of this kind costs, the floor the real program is measured against.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    for (int i = 0; i < 5; ++i)
        window.menuBar()
            ->addMenu(QStringLiteral("Menu %1").arg(i))
            ->addAction(QStringLiteral("Item"));
    auto* surface = new QWidget(&window);
    surface->setFixedSize(705, 546);
    window.setCentralWidget(surface);
    QGroupBox* frames[4];
    for (int i = 0; i < 4; ++i) {
        frames[i] = new QGroupBox(QStringLiteral("Frame %1").arg(i), surface);
        frames[i]->setGeometry(10 + 170 * i, 10, 160, 300);
    }
    for (int i = 0; i < 12; ++i)
        (new QLabel(QStringLiteral("Label %1").arg(i), surface))
            ->setGeometry(10 + 55 * i, 320, 50, 20);
    for (int i = 0; i < 6; ++i)
        (new QRadioButton(QStringLiteral("Option %1").arg(i), frames[i / 4 * 2]))
            ->setGeometry(10, 30 + 30 * (i % 4), 140, 20);
    for (int i = 0; i < 4; ++i)
        (new QPushButton(QStringLiteral("Button %1").arg(i), surface))
            ->setGeometry(10 + 110 * i, 500, 100, 25);
    window.show();
    return QApplication::exec();
}

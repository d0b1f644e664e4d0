#include "form1.h"
#include "runtimeerror.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// A run-time error is shown before the program stops with a non-zero status.
void showRuntimeError(bank::RuntimeError error)
{
    QMessageBox::critical(nullptr, QStringLiteral("QX9VEN General Class Theory"),
                          bank::runtimeErrorMessage(error));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    bank::setRuntimeErrorHandler(&showRuntimeError);

    Form1 window;
    QObject::connect(&window, &Form1::programEnded, &app, &QCoreApplication::quit);
    window.show();
    return QApplication::exec();
}

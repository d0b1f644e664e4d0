#include "form1.h"
#include "runtimeerror.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
#include <optional>

namespace {

// A run-time error is shown before the program stops with a non-zero status.
void showRuntimeError(bank::RuntimeError error)
{
    QMessageBox::critical(nullptr, QStringLiteral("QX9VEN General Class Theory"),
                          bank::runtimeErrorMessage(error));
}

// The status of a command line that cannot be understood, as other command-line tools use it.
constexpr int usageErrorStatus = 2;

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("qx9ven-general"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Practice exam for the US amateur-radio General class written examination "
                       "as it stood in 2000-2003, or for today's Technician, General or Extra "
                       "examination from a published question pool."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption poolOption(
        QStringLiteral("pool"),
        QStringLiteral("Start with an exam from the question pool in <file>, as published (.docx "
                       "or plain text), instead of the built-in exam."),
        QStringLiteral("file"));
    parser.addOption(poolOption);
    // How a desktop's "Open with" passes a file: the window opens, and a pool it cannot read is
    // reported there as one opened from the menu would be.
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A question pool to open in the window, as File > Open Question Pool does."),
        QStringLiteral("[file]"));

    std::optional<bank::QuestionPool> pool;
    // --help and --version are answered before anything needs a display. Qt's own options
    // (-platform, -style, ...) are unknown to the parser here; the QApplication takes them out
    // of the command line, and only what it leaves is judged.
    {
        const QCoreApplication console(argc, argv);
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(help))
            parser.showHelp();
        if (parser.isSet(version))
            parser.showVersion();
        // A pool named on the command line is read before any window opens; one that cannot be
        // read ends the program with the reason, as command-line tools do.
        if (parser.isSet(poolOption)) {
            const QString path = parser.value(poolOption);
            bank::PoolReading reading = bank::openPool(path);
            if (!reading.pool) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                             qPrintable(bank::refusalMessage(path, reading.fault)));
                return 1;
            }
            pool = std::move(reading.pool);
        }
    }

    QApplication app(argc, argv);
    const bool understood = parser.parse(QCoreApplication::arguments());
    // Only the application knows the Qt options that --help-all lists.
    if (understood && parser.isSet(QStringLiteral("help-all")))
        parser.process(QCoreApplication::arguments());
    const QStringList files = parser.positionalArguments();
    if (!understood || files.size() > 1 || (files.size() == 1 && pool)) {
        const QString problem = parser.errorText().isEmpty()
                                    ? QStringLiteral("Unexpected argument '%1'.").arg(files.last())
                                    : parser.errorText();
        std::fprintf(stderr, "%s: %s\n%s", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(problem), qPrintable(parser.helpText()));
        return usageErrorStatus;
    }
    bank::setRuntimeErrorHandler(&showRuntimeError);

    Form1 window;
    if (pool)
        window.usePool(std::move(*pool));
    QObject::connect(&window, &Form1::programEnded, &app, &QCoreApplication::quit);
    window.show();
    if (files.size() == 1) {
        QMetaObject::invokeMethod(
            &window, [&window, &files] { window.openPoolFile(files.constFirst()); },
            Qt::QueuedConnection);
    }
    return QApplication::exec();
}

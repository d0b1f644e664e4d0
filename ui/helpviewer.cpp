#include "helpviewer.h"

#include "contrast.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The palette's link colour, lightened on a dark page or darkened on a light one until it reads
// at 4.5:1 or better. Dark colour schemes often keep a mid blue for links that nearly vanishes
// on their dark grey.
QColor readableLinkColour(const QPalette& palette)
{
    const QColor page = palette.color(QPalette::Base);
    QColor link = palette.color(QPalette::Link);
    const bool darkPage = page.lightnessF() < 0.5;
    for (int step = 0; step < 20 && contrastRatio(link, page) < 4.5; ++step)
        link = darkPage ? link.lighter(115) : link.darker(115);
    return contrastRatio(link, page) < 4.5 ? palette.color(QPalette::Text) : link;
}

} // namespace

// A browser that stays inside the document: links to its own topics are followed (and go into
// the Back and Forward history), every other link is ignored, and nothing but the document
// itself is ever loaded: no image, style sheet, file or remote resource.
class HelpBrowser final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    void showHtml(const QString& name, const QString& html)
    {
        documentUrl_ = QUrl(QStringLiteral("qxhelp:") + name);
        html_ = html;
        document()->setDefaultStyleSheet(
            QStringLiteral("a { color: %1; }").arg(readableLinkColour(palette()).name()));
        if (source() == documentUrl_)
            reload();
        else
            setSource(documentUrl_, QTextDocument::HtmlResource);
        clearHistory();
    }

    // A report in place of a document that cannot be shown; it has no links to follow.
    void showReport(const QString& text)
    {
        documentUrl_.clear();
        html_.clear();
        // Plain text takes the format at the cursor, which a document shown before may have
        // left as a heading's.
        clear();
        setCurrentCharFormat(QTextCharFormat());
        setPlainText(text);
        clearHistory();
    }

    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type == QTextDocument::HtmlResource && isDocument(name))
            return html_;
        return {};
    }

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override
    {
        if (isDocument(source().resolved(name)))
            QTextBrowser::doSetSource(name, type);
    }

private:
    bool isDocument(const QUrl& url) const
    {
        return !documentUrl_.isEmpty() && url.scheme() == documentUrl_.scheme() &&
               url.path() == documentUrl_.path();
    }

    QUrl documentUrl_;
    QString html_;
};

namespace {

QToolButton* makeToolButton(QWidget* parent, const QString& text)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAccessibleName(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), folders_(HelpDocument::defaultFolders())
{
    setObjectName(QStringLiteral("helpViewer"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 600);

    auto* contents = makeToolButton(this, QStringLiteral("Contents"));
    back_ = makeToolButton(this, QStringLiteral("Back"));
    forward_ = makeToolButton(this, QStringLiteral("Forward"));
    findField_ = new QLineEdit(this);
    findField_->setAccessibleName(QStringLiteral("Find in this document"));
    auto* findLabel = new QLabel(QStringLiteral("Find:"), this);
    findLabel->setBuddy(findField_);
    findField_->setClearButtonEnabled(true);
    auto* findNext = makeToolButton(this, QStringLiteral("Find"));
    findStatus_ = new QLabel(this);
    findStatus_->setTextFormat(Qt::PlainText);

    browser_ = new HelpBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setAccessibleName(QStringLiteral("Help document"));
    browser_->setOpenExternalLinks(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addSpacing(12);
    bar->addWidget(findLabel);
    bar->addWidget(findField_, 1);
    bar->addWidget(findNext);
    bar->addWidget(findStatus_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(bar);
    column->addWidget(browser_, 1);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(contents, &QToolButton::clicked, this, &HelpViewer::showContents);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(findField_, &QLineEdit::returnPressed, this, &HelpViewer::findFromField);
    connect(findNext, &QToolButton::clicked, this, &HelpViewer::findFromField);
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, findField_, qOverload<>(&QLineEdit::setFocus));
}

HelpViewer::~HelpViewer() = default;

QTextBrowser* HelpViewer::browser() const
{
    return browser_;
}

void HelpViewer::showDocument(const QString& name)
{
    document_ = HelpDocument::load(name, folders_);
    findStatus_->clear();
    if (document_.ok()) {
        browser_->showHtml(name, document_.html);
        setWindowTitle(QStringLiteral("%1 - %2").arg(browser_->documentTitle(), name));
    } else {
        QString report = QStringLiteral("The help document %1 cannot be shown.\n\n%2\n")
                             .arg(name, document_.problem);
        if (!document_.path.isEmpty())
            report += QStringLiteral("\nFile: %1\n").arg(document_.path);
        report += QStringLiteral("\nLooked in these folders, in this order:\n");
        for (const QString& folder : folders_)
            report += QStringLiteral("    %1\n").arg(folder);
        browser_->showReport(report);
        setWindowTitle(QStringLiteral("Help - %1 not shown").arg(name));
    }
    browser_->moveCursor(QTextCursor::Start);
    browser_->ensureCursorVisible();
    show();
    raise();
    activateWindow();
}

void HelpViewer::showContents()
{
    if (document_.ok())
        browser_->setSource(QUrl(QStringLiteral("#contents")));
    browser_->moveCursor(QTextCursor::Start);
    browser_->ensureCursorVisible();
}

bool HelpViewer::findText(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (browser_->find(text))
        return true;
    browser_->moveCursor(QTextCursor::Start);
    return browser_->find(text);
}

void HelpViewer::findFromField()
{
    findStatus_->setText(findText(findField_->text()) ? QString() : QStringLiteral("Not found"));
}

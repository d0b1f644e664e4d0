#include "helpviewer.h"

#include "contrast.h"
#include "helppage.h"
#include "notifyinglabel.h"
#include "questionlist.h"
#include "screenfollower.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace {

// The size the viewer asks for when it opens; the screen and the exam beside it may make it
// smaller.
constexpr QSize openingSize(760, 600);
// Beside the exam the viewer may be narrower than it likes, but not narrower than this.
constexpr int narrowestBeside = 560;
// The mark on a match that a search opened.
const QColor matchColour(255, 230, 0);
// How far an offset viewer sits from the exam's corner when no title bar height is known.
constexpr int leastOffset = 32;

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

// A text field that a screen reader announces by its label when the keyboard reaches it. A line
// edit entered by Tab or a mnemonic selects its text as it takes the focus, and Qt reports that
// selection before the focus; Orca then takes the selection for the focus and never speaks the
// field's label. Here the selection follows the focus instead.
class LabelledField final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        const Qt::FocusReason reason = event->reason();
        if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
            reason != Qt::ShortcutFocusReason) {
            QLineEdit::focusInEvent(event);
            return;
        }
        QFocusEvent quiet(event->type(), Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&quiet);
        if (!text().isEmpty())
            QMetaObject::invokeMethod(this, &QLineEdit::selectAll, Qt::QueuedConnection);
    }
};

// A line of the viewer's messages. Assistive technology hears it whenever it appears, so it is
// hidden while it has nothing to say; it keeps its place in the layout all the same.
NotifyingLabel* makeMessageLine(QWidget* parent)
{
    auto* line = new NotifyingLabel(QString(), parent);
    line->setTextFormat(Qt::PlainText);
    QSizePolicy keepsPlace = line->sizePolicy();
    keepsPlace.setRetainSizeWhenHidden(true);
    line->setSizePolicy(keepsPlace);
    line->hide();
    return line;
}

void say(NotifyingLabel* line, const QString& text)
{
    line->setText(text);
    if (text.isEmpty())
        line->hide();
    else if (line->isHidden())
        line->show(); // appearing is what is heard
    else
        line->announce();
}

QToolButton* makeToolButton(QWidget* parent, const QString& text)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAccessibleName(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QString unreadableReport(const HelpDocument& document, const QStringList& folders)
{
    QString report = QStringLiteral("The help document %1 cannot be shown.\n\n%2\n")
                         .arg(document.name, document.problem);
    if (!document.path.isEmpty())
        report += QStringLiteral("\nFile: %1\n").arg(document.path);
    report += QStringLiteral("\nLooked in these folders, in this order:\n");
    for (const QString& folder : folders)
        report += QStringLiteral("    %1\n").arg(folder);
    return report;
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpViewer"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(openingSize);
    screenFollower_ = new ScreenFollower(this);
    connect(screenFollower_, &ScreenFollower::changed, this, &HelpViewer::fitToScreen);

    auto* contents = makeToolButton(this, QStringLiteral("Contents"));
    back_ = makeToolButton(this, QStringLiteral("Back"));
    back_->setShortcut(QKeySequence::Back);
    forward_ = makeToolButton(this, QStringLiteral("Forward"));
    forward_->setShortcut(QKeySequence::Forward);
    auto* findLabel = new QLabel(QStringLiteral("Find:"), this);
    findField_ = new LabelledField(this);
    findField_->setAccessibleName(QStringLiteral("Find in this document"));
    findField_->setClearButtonEnabled(true);
    findLabel->setBuddy(findField_);
    auto* findNext = makeToolButton(this, QStringLiteral("Find"));
    findStatus_ = makeMessageLine(this);

    auto* searchLabel = new QLabel(QStringLiteral("&Search all documents:"), this);
    searchField_ = new LabelledField(this);
    searchField_->setObjectName(QStringLiteral("searchField"));
    searchField_->setAccessibleName(QStringLiteral("Search all documents"));
    searchField_->setClearButtonEnabled(true);
    searchLabel->setBuddy(searchField_);
    auto* searchButton = makeToolButton(this, QStringLiteral("Search"));
    status_ = makeMessageLine(this);
    status_->setWordWrap(true);
    status_->setObjectName(QStringLiteral("helpStatus"));

    results_ = new QListWidget(this);
    results_->setObjectName(QStringLiteral("searchResults"));
    results_->setAccessibleName(QStringLiteral("Search results"));
    results_->setUniformItemSizes(true);
    results_->setAlternatingRowColors(true);
    results_->hide();
    page_ = new HelpPage(this);
    page_->setObjectName(QStringLiteral("helpPage"));
    page_->setAccessibleName(QStringLiteral("Help document"));

    auto* findBar = new QHBoxLayout;
    findBar->addWidget(contents);
    findBar->addWidget(back_);
    findBar->addWidget(forward_);
    findBar->addSpacing(12);
    findBar->addWidget(findLabel);
    findBar->addWidget(findField_, 1);
    findBar->addWidget(findNext);
    findBar->addWidget(findStatus_);
    auto* searchBar = new QHBoxLayout;
    searchBar->addWidget(searchLabel);
    searchBar->addWidget(searchField_, 1);
    searchBar->addWidget(searchButton);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(results_);
    split->addWidget(page_);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    auto* column = new QVBoxLayout(this);
    column->addLayout(findBar);
    column->addLayout(searchBar);
    column->addWidget(status_);
    column->addWidget(split, 1);
    // The focus goes through the bar, the search, its results and the document.
    const std::array<QWidget*, 9> order{contents,     back_,        forward_, findField_, findNext,
                                        searchField_, searchButton, results_, page_};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    updateHistoryButtons();
    connect(contents, &QToolButton::clicked, this, &HelpViewer::showContents);
    connect(back_, &QToolButton::clicked, this, &HelpViewer::back);
    connect(forward_, &QToolButton::clicked, this, &HelpViewer::forward);
    connect(findField_, &QLineEdit::returnPressed, this, &HelpViewer::findFromField);
    connect(findNext, &QToolButton::clicked, this, &HelpViewer::findFromField);
    connect(searchField_, &QLineEdit::returnPressed, this, &HelpViewer::searchFromField);
    connect(searchButton, &QToolButton::clicked, this, &HelpViewer::searchFromField);
    connect(results_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openSearchResult(results_->row(item)); });
    connect(results_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { openSearchResult(results_->row(item)); });
    connect(page_, &HelpPage::linkActivated, this, &HelpViewer::openLink);
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, findField_, qOverload<>(&QLineEdit::setFocus));
    auto* closeKey = new QShortcut(QKeySequence::Close, this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
    // Tab walks the links of a document, so panes have keys of their own, as in web browsers.
    auto* nextPane = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(nextPane, &QShortcut::activated, this, [this] { movePane(true); });
    auto* previousPane = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previousPane, &QShortcut::activated, this, [this] { movePane(false); });
}

void HelpViewer::movePane(bool forward)
{
    QList<QWidget*> panes{page_, searchField_};
    if (results_->isVisible())
        panes << results_;
    const QWidget* focus = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < panes.size(); ++i) {
        if (focus != nullptr && (focus == panes[i] || panes[i]->isAncestorOf(focus)))
            at = i;
    }
    // From outside the panes (the bar of buttons, the Find field) both keys go to the document.
    const qsizetype count = panes.size();
    const qsizetype next = at < 0 ? 0 : (at + (forward ? 1 : count - 1)) % count;
    QWidget* pane = panes[next];
    // A field entered by a key is announced by its label; the list by its current result.
    pane->setFocus(pane == searchField_ ? Qt::ShortcutFocusReason : Qt::OtherFocusReason);
    if (pane == results_ && QAccessible::isActive() && results_->currentRow() >= 0) {
        QAccessibleEvent current(results_, QAccessible::Focus);
        current.setChild(results_->currentRow());
        QAccessible::updateAccessibility(&current);
    }
}

HelpViewer::~HelpViewer() = default;

const QString& HelpViewer::topic() const
{
    static const QString none;
    return current_ < 0 ? none : history_[current_].anchor;
}

QString HelpViewer::status() const
{
    return status_->text();
}

std::unique_ptr<HelpWindow> HelpWindow::make(QWidget* companion)
{
    auto viewer = std::make_unique<HelpViewer>();
    viewer->setCompanion(companion);
    return viewer;
}

void HelpViewer::showDocument(const QString& name)
{
    showTopic(name, QString());
}

void HelpViewer::setQuestionList(const QString& html, const QHash<QString, QImage>& figures)
{
    const QString list = QStringLiteral("POOLLIST.hlp");
    library_.setStandIn(list, html);
    QHash<QString, QImage> pictures;
    for (auto figure = figures.cbegin(); figure != figures.cend(); ++figure)
        pictures.insert(questionlist::figureSource(figure.key()), figure.value());
    page_->setPictures(pictures);
    // A list on screen is replaced at once; the search reads the new one.
    if (isVisible() && document_.name == list)
        showDocument(list);
}

void HelpViewer::showTopic(const QString& name, const QString& anchor)
{
    library_.reload(name);
    say(findStatus_, QString());
    say(status_, QString());
    history_.clear();
    current_ = -1;
    document_ = HelpDocument{};
    // The window takes its size before the document is laid out and placed in it.
    if (!isVisible()) {
        placeBesideCompanion();
        show();
    }
    go({name, {}});
    raise();
    activateWindow();
    page_->setFocus(Qt::OtherFocusReason);
    if (!anchor.isEmpty() && document_.ok() && page_->anchorPosition(anchor) >= 0) {
        go({name, anchor});
        const int start = page_->textCursor().position();
        page_->selectLineAt(start);
        page_->scrollToTop(start);
    }
}

void HelpViewer::go(const Place& place)
{
    const bool same = current_ >= 0 && history_[current_].document == place.document &&
                      history_[current_].anchor == place.anchor;
    if (!same) {
        remember();
        history_.resize(current_ + 1);
        history_.append(place);
        ++current_;
    }
    display(place);
}

// Keeps where the reader is in the document being left, for Back and Forward to return to.
void HelpViewer::remember()
{
    if (current_ < 0)
        return;
    Place& left = history_[current_];
    left.scroll = page_->verticalScrollBar()->value();
    left.selectionStart = page_->textCursor().anchor();
    left.caret = page_->textCursor().position();
}

void HelpViewer::display(const Place& place)
{
    if (document_.name != place.document) {
        document_ = library_.document(place.document);
        if (document_.ok()) {
            page_->showHtml(document_.html, readableLinkColour(page_->palette()));
            const QString title = page_->documentTitle();
            setWindowTitle(QStringLiteral("%1 - %2").arg(title, place.document));
            page_->setAccessibleName(title.isEmpty() ? place.document : title);
        } else {
            page_->showReport(unreadableReport(document_, library_.folders()));
            setWindowTitle(QStringLiteral("Help - %1 not shown").arg(place.document));
            page_->setAccessibleName(QStringLiteral("Help document"));
        }
    }
    page_->setExtraSelections({});
    QTextCursor cursor(page_->document());
    if (place.caret >= 0) {
        cursor.setPosition(place.selectionStart);
        cursor.setPosition(place.caret, QTextCursor::KeepAnchor);
        page_->setTextCursor(cursor);
        page_->verticalScrollBar()->setValue(place.scroll);
    } else {
        const int start = place.anchor.isEmpty() ? 0 : page_->anchorPosition(place.anchor);
        cursor.setPosition(std::max(start, 0));
        page_->setTextCursor(cursor);
        page_->scrollToTop(cursor.position());
    }
    updateHistoryButtons();
}

void HelpViewer::back()
{
    if (!canGoBack())
        return;
    remember();
    --current_;
    returnTo(history_[current_]);
}

void HelpViewer::forward()
{
    if (!canGoForward())
        return;
    remember();
    ++current_;
    returnTo(history_[current_]);
}

// Back and Forward show the reader's place as it was, the link followed from there still
// selected; with nothing selected, the paragraph at the caret is, for a screen reader to read.
void HelpViewer::returnTo(const Place& place)
{
    display(place);
    const QTextCursor cursor = page_->textCursor();
    if (cursor.hasSelection()) {
        page_->announceSelection();
    } else {
        const int scroll = page_->verticalScrollBar()->value();
        page_->selectLineAt(cursor.block().position());
        page_->verticalScrollBar()->setValue(scroll);
    }
}

void HelpViewer::updateHistoryButtons()
{
    back_->setEnabled(canGoBack());
    forward_->setEnabled(canGoForward());
}

void HelpViewer::showContents()
{
    if (current_ >= 0 && document_.ok())
        go({document_.name, {}});
}

bool HelpViewer::openLink(const QString& href)
{
    const HelpLink link = library_.resolve(document_.name, href);
    if (!link.ok()) {
        report(link.problem);
        return false;
    }
    say(status_, QString());
    go({link.document, link.anchor});
    // The heading the link leads to is selected, so that a screen reader reads it out.
    const int start = page_->textCursor().position();
    page_->selectLineAt(start);
    page_->scrollToTop(start);
    return true;
}

bool HelpViewer::findText(const QString& text)
{
    if (text.isEmpty())
        return false;
    bool found = page_->find(text);
    if (!found) {
        page_->moveCursor(QTextCursor::Start);
        found = page_->find(text);
    }
    if (found)
        page_->bringToUpperPart(page_->textCursor().selectionStart());
    return found;
}

void HelpViewer::findFromField()
{
    say(findStatus_, findText(findField_->text()) ? QString() : QStringLiteral("Not found"));
}

qsizetype HelpViewer::search(const QString& query)
{
    hits_ = library_.search(query);
    results_->clear();
    for (const HelpSearchHit& hit : hits_) {
        const QString topic = QStringLiteral("%1: %2").arg(hit.title, hit.heading);
        results_->addItem(hit.snippet.isEmpty() ? topic : topic + QLatin1Char('\n') + hit.snippet);
    }
    if (hits_.isEmpty()) {
        results_->hide();
        report(HelpLibrary::queryTerms(query).isEmpty()
                   ? QStringLiteral("Type the words to search for.")
                   : QStringLiteral("No topic in the three documents matches %1.")
                         .arg(query.simplified()));
        return 0;
    }
    say(status_, hits_.size() == 1 ? QStringLiteral("1 topic found.")
                                   : QStringLiteral("%1 topics found.").arg(hits_.size()));
    results_->show();
    results_->setCurrentRow(0);
    results_->setFocus(Qt::OtherFocusReason);
    // Qt reports the current result before the list itself takes the focus, and a screen reader
    // then stops at the list; the current result is reported again to be read.
    if (QAccessible::isActive()) {
        QAccessibleEvent current(results_, QAccessible::Focus);
        current.setChild(0);
        QAccessible::updateAccessibility(&current);
    }
    return hits_.size();
}

void HelpViewer::searchFromField()
{
    search(searchField_->text());
}

void HelpViewer::openSearchResult(int row)
{
    if (row < 0 || row >= hits_.size())
        return;
    const HelpSearchHit hit = hits_[row];
    go({hit.document, hit.anchor});
    const int start = page_->textCursor().position();

    // The first match is marked as a find in a page is, in black on yellow whatever the colors
    // of the desktop.
    QTextCursor from(page_->document());
    from.setPosition(start);
    if (!hit.matchInHeading)
        from.movePosition(QTextCursor::NextBlock);
    const QTextCursor match = page_->document()->find(hit.match, from);
    if (!match.isNull()) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = match;
        mark.format.setBackground(matchColour);
        mark.format.setForeground(QColor(Qt::black));
        page_->setExtraSelections({mark});
    }
    // The heading is selected once the document has the focus: a screen reader hears the
    // selection, while a caret that moved before the focus came would silence it.
    page_->setFocus(Qt::OtherFocusReason);
    page_->selectLineAt(start);
    page_->scrollToTop(start);
    if (!match.isNull())
        page_->bringToUpperPart(match.selectionStart());
}

void HelpViewer::report(const QString& text)
{
    say(status_, text);
}

QRect HelpViewer::placement(const QRect& companionFrame, const QRect& available, QSize size,
                            const QMargins& frame)
{
    QRect box(QPoint(), QSize(size.width() + frame.left() + frame.right(),
                              size.height() + frame.top() + frame.bottom())
                            .boundedTo(available.size()));
    const int least = std::min(narrowestBeside, box.width());
    const int roomRight = available.right() - companionFrame.right();
    const int roomLeft = companionFrame.left() - available.left();
    if (roomRight >= least || roomLeft >= least) {
        const bool right = roomRight >= least;
        box.setWidth(std::min(box.width(), right ? roomRight : roomLeft));
        box.moveTop(std::clamp(companionFrame.top(), available.top(),
                               available.bottom() - box.height() + 1));
        if (right)
            box.moveLeft(companionFrame.right() + 1);
        else
            box.moveRight(companionFrame.left() - 1);
        return box;
    }
    // No room beside it: down and to the right of the companion's corner by its title bar,
    // which stays in sight, and shortened rather than moved up over that title bar.
    const int offset = std::max(frame.top(), leastOffset);
    box.moveTopLeft(companionFrame.topLeft() + QPoint(offset, offset));
    if (box.right() > available.right())
        box.moveRight(available.right());
    if (box.left() < available.left())
        box.moveLeft(available.left());
    if (box.top() < available.top())
        box.moveTop(available.top());
    if (box.bottom() > available.bottom())
        box.setBottom(available.bottom());
    return box;
}

void HelpViewer::placeBesideCompanion()
{
    if (!companion_ || !companion_->isVisible())
        return;
    const QRect companionFrame = companion_->frameGeometry();
    const QRect inner = companion_->geometry();
    // The window manager frames this window as it frames the companion.
    const QMargins frame(inner.left() - companionFrame.left(), inner.top() - companionFrame.top(),
                         companionFrame.right() - inner.right(),
                         companionFrame.bottom() - inner.bottom());
    const QRect box =
        placement(companionFrame, companion_->screen()->availableGeometry(), openingSize, frame);
    move(box.topLeft());
    resize(box.size().shrunkBy(frame));
}

// The window stays within the available area of its screen: when it moves to another screen,
// or the screen's area changes, it is made smaller and moved in as needed.
void HelpViewer::fitToScreen()
{
    if (!isVisible() || screen() == nullptr)
        return;
    const QRect available = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (available.contains(frame))
        return;
    const QSize decoration = frame.size() - size();
    QRect box(frame.topLeft(), frame.size().boundedTo(available.size()));
    box.moveLeft(std::clamp(box.left(), available.left(), available.right() - box.width() + 1));
    box.moveTop(std::clamp(box.top(), available.top(), available.bottom() - box.height() + 1));
    move(box.topLeft());
    resize(box.size() - decoration);
}

void HelpViewer::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    screenFollower_->attach();
    fitToScreen();
}

#include "helppage.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

HelpPage::HelpPage(QWidget* parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    viewport()->setMouseTracking(true);
}

void HelpPage::showHtml(const QString& html, const QColor& linkColour)
{
    document()->setDefaultStyleSheet(QStringLiteral("a { color: %1; }").arg(linkColour.name()));
    setHtml(html);
    indexDocument();
}

void HelpPage::showReport(const QString& text)
{
    // Plain text takes the format at the cursor, which a document shown before may have left
    // as a heading's.
    clear();
    setCurrentCharFormat(QTextCharFormat());
    setPlainText(text);
    indexDocument();
}

// Finds every link and every named anchor once, so that Tab and the viewer need not search.
// A link may span several fragments (a bold word in it); they are joined.
void HelpPage::indexDocument()
{
    links_.clear();
    anchors_.clear();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            for (const QString& name : format.anchorNames())
                anchors_.insert(name, fragment.position());
            const QString href = format.isAnchor() ? format.anchorHref() : QString();
            if (href.isEmpty())
                continue;
            if (!links_.isEmpty() && links_.last().href == href &&
                links_.last().end == fragment.position())
                links_.last().end = fragment.position() + fragment.length();
            else
                links_.append({fragment.position(), fragment.position() + fragment.length(), href});
        }
    }
}

int HelpPage::anchorPosition(const QString& anchor) const
{
    return anchors_.value(anchor, -1);
}

QString HelpPage::linkAtCaret() const
{
    const QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    const int to = cursor.hasSelection() ? cursor.selectionEnd() : from + 1;
    for (const Link& link : links_) {
        if (link.start <= from && to <= link.end)
            return link.href;
    }
    return {};
}

void HelpPage::scrollToTop(int position)
{
    const QTextBlock block = document()->findBlock(position);
    const QRectF box = document()->documentLayout()->blockBoundingRect(block);
    verticalScrollBar()->setValue(block == document()->firstBlock() ? 0
                                                                    : static_cast<int>(box.top()));
}

void HelpPage::bringToUpperPart(int position)
{
    QTextCursor at(document());
    at.setPosition(position);
    const QRect line = cursorRect(at);
    if (line.top() >= 0 && line.bottom() < viewport()->height() / 2)
        return;
    verticalScrollBar()->setValue(verticalScrollBar()->value() + line.top() -
                                  viewport()->height() / 4);
}

void HelpPage::selectLineAt(int position)
{
    // Selected from its end back to its start, so that the caret is on its first line: a
    // heading that wraps is read from its beginning.
    QTextCursor line(document());
    line.setPosition(position);
    line.movePosition(QTextCursor::EndOfBlock);
    line.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(line);
    announceSelection();
}

void HelpPage::announceSelection()
{
    if (!QAccessible::isActive())
        return;
    const QTextCursor cursor = textCursor();
    QAccessibleTextSelectionEvent selection(this, cursor.selectionStart(), cursor.selectionEnd());
    QAccessible::updateAccessibility(&selection);
    QAccessibleTextCursorEvent caret(this, cursor.position());
    QAccessible::updateAccessibility(&caret);
}

// Tab selects the next link after the caret, Shift+Tab the one before it; past the last one,
// the focus moves on as from any other control.
bool HelpPage::focusNextPrevChild(bool next)
{
    const QTextCursor cursor = textCursor();
    const Link* found = nullptr;
    if (next) {
        const int from = cursor.selectionEnd();
        const auto it = std::find_if(links_.cbegin(), links_.cend(),
                                     [from](const Link& link) { return link.start >= from; });
        found = it == links_.cend() ? nullptr : &*it;
    } else {
        const int from = cursor.selectionStart();
        const auto it = std::find_if(links_.crbegin(), links_.crend(),
                                     [from](const Link& link) { return link.end <= from; });
        found = it == links_.crend() ? nullptr : &*it;
    }
    if (found == nullptr || !hasFocus())
        return QTextEdit::focusNextPrevChild(next);
    QTextCursor link(document());
    link.setPosition(found->start);
    link.setPosition(found->end, QTextCursor::KeepAnchor);
    setTextCursor(link);
    ensureCursorVisible();
    announceSelection();
    return true;
}

void HelpPage::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (const QString href = linkAtCaret(); !href.isEmpty()) {
            emit linkActivated(href);
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void HelpPage::mousePressEvent(QMouseEvent* event)
{
    pressedLink_ =
        event->button() == Qt::LeftButton ? anchorAt(event->position().toPoint()) : QString();
    QTextEdit::mousePressEvent(event);
}

// A click on a link follows it; a drag that starts on a link selects text as anywhere else.
void HelpPage::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
    const QString link = std::exchange(pressedLink_, QString());
    if (event->button() == Qt::LeftButton && !link.isEmpty() && !textCursor().hasSelection() &&
        anchorAt(event->position().toPoint()) == link)
        emit linkActivated(link);
}

void HelpPage::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    const bool overLink = !anchorAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

// Whatever a document might ask for beyond its own text, an image or a style sheet, comes back
// empty: nothing is read from a file or the network.
QVariant HelpPage::loadResource(int type, const QUrl& name)
{
    if (type == QTextDocument::ImageResource) {
        if (const auto picture = pictures_.constFind(name.toString()); picture != pictures_.cend())
            return *picture;
    }
    return QByteArray();
}

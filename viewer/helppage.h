#pragma once

#include <QHash>
#include <QImage>
#include <QTextEdit>

// The text of a help document as a reader moves through it: read-only, with a caret that the
// arrow keys move as in a text editor, so that a screen reader reads the line it reaches. Tab
// and Shift+Tab select the next and previous link; Enter or a click on a link asks for it to
// be followed (linkActivated) and the viewer decides where it leads. Nothing is ever loaded
// from elsewhere: no style sheet or file, and no image but the pictures it was given.
//
// It is a QTextEdit rather than a QTextBrowser because Qt's accessibility presents a text
// browser as static text (a label), which a screen reader reads whole, at once, when it takes
// the focus; a read-only text edit is presented as text with a caret, read line by line.
class HelpPage : public QTextEdit {
    Q_OBJECT

public:
    explicit HelpPage(QWidget* parent = nullptr);

    // Shows a help document, its links drawn in `linkColour`.
    void showHtml(const QString& html, const QColor& linkColour);
    // The pictures a document may show, by their address: the figures of a pool's question
    // list, made by the program. Nothing else is ever loaded.
    void setPictures(const QHash<QString, QImage>& pictures) { pictures_ = pictures; }
    // Shows a report in place of a document; it has no links.
    void showReport(const QString& text);

    // Where the topic with this anchor starts; -1 when there is none.
    int anchorPosition(const QString& anchor) const;
    // The link at the caret: the one that Tab selected or the caret is in; empty when none.
    QString linkAtCaret() const;

    // Scrolls so that the line at `position` is at the top of the view.
    void scrollToTop(int position);
    // Scrolls the line at `position` into the upper part of the view, unless it is there.
    void bringToUpperPart(int position);
    // Selects the paragraph that starts at `position` (a heading, when it is a topic's start),
    // with the caret at its start, and tells assistive technology, which reads it out.
    void selectLineAt(int position);
    // Tells assistive technology where the caret and selection are now: a screen reader reads
    // a selection as it changes, whatever key made it.
    void announceSelection();

signals:
    void linkActivated(const QString& href);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    QVariant loadResource(int type, const QUrl& name) override;

private:
    struct Link {
        int start = 0;
        int end = 0;
        QString href;
    };
    void indexDocument();

    QList<Link> links_; // in document order
    QHash<QString, int> anchors_;
    QHash<QString, QImage> pictures_;
    QString pressedLink_;
};

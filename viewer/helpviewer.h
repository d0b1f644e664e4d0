#pragma once

#include "helpdocument.h"
#include "helplibrary.h"
#include "helpwindow.h"

#include <QPointer>
#include <QWidget>

class HelpPage;
class NotifyingLabel;
class QLabel;
class QLineEdit;
class QListWidget;
class ScreenFollower;
class QToolButton;

// The help viewer: a window of its own, never modal, that shows one help document at a time.
// It opens a document at its contents page, follows links between the three documents with
// Back and Forward across them, finds text in the open document and searches all three. A
// document it cannot show, or a link that leads nowhere, is reported in words.
class HelpViewer : public QWidget, public HelpWindow {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);
    ~HelpViewer() override;

    void setSearchFolders(const QStringList& folders) { library_.setFolders(folders); }
    const QStringList& searchFolders() const { return library_.folders(); }
    HelpLibrary& library() { return library_; }

    // The window the viewer opens beside (the exam's); the viewer never moves it.
    void setCompanion(QWidget* window) { companion_ = window; }

    void showDocument(const QString& name) override;
    void showTopic(const QString& name, const QString& anchor) override;
    void setQuestionList(const QString& html, const QHash<QString, QImage>& figures) override;

    const HelpDocument& document() const { return document_; }
    HelpPage* page() const { return page_; }
    // The anchor of the topic the viewer went to last; empty at the top of a document.
    const QString& topic() const;
    // The last thing the viewer reported in words: a link that leads nowhere, what a search
    // found or that it found nothing.
    QString status() const;

    // Finds the next place where `text` occurs, going round to the top; false when none.
    bool findText(const QString& text);
    // Follows a link of the open document; false, with the reason shown, when it leads nowhere.
    bool openLink(const QString& href);
    // Searches the three documents and lists the topics found; returns how many.
    qsizetype search(const QString& query);
    // Opens the search result in this row of the list at its topic, the match highlighted.
    void openSearchResult(int row);
    bool canGoBack() const { return current_ > 0; }
    bool canGoForward() const { return current_ + 1 < history_.size(); }
    void back();
    void forward();

    // Where the viewer's frame goes: beside the companion's frame where the screen has room,
    // else offset from it so that the companion's title bar stays in sight; always within the
    // screen's available area. `frame` is the size the window manager adds around a window.
    static QRect placement(const QRect& companionFrame, const QRect& available, QSize size,
                           const QMargins& frame);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Place {
        QString document;
        QString anchor; // empty for the top of the document
        int scroll = 0;
        int selectionStart = -1; // where the caret and selection were when the reader left
        int caret = -1;
    };
    void go(const Place& place);
    void display(const Place& place);
    void returnTo(const Place& place);
    void remember();
    void showContents();
    // F6 and Shift+F6: the next or previous of the document, the search field and the results.
    void movePane(bool forward);
    void findFromField();
    void searchFromField();
    void report(const QString& text);
    void placeBesideCompanion();
    void fitToScreen();
    void updateHistoryButtons();

    HelpLibrary library_;
    HelpDocument document_;
    QList<Place> history_;
    qsizetype current_ = -1;
    QList<HelpSearchHit> hits_;
    QPointer<QWidget> companion_;
    ScreenFollower* screenFollower_ = nullptr;

    HelpPage* page_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QLineEdit* findField_ = nullptr;
    NotifyingLabel* findStatus_ = nullptr;
    QLineEdit* searchField_ = nullptr;
    NotifyingLabel* status_ = nullptr;
    QListWidget* results_ = nullptr;
};

#pragma once

#include "helpdocument.h"

#include <QWidget>

class HelpBrowser;
class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolButton;

// The help viewer: a window of its own, never modal, that shows one help document at a time.
// It opens a document at its contents page, follows links between the document's topics, and
// offers Contents, Back, Forward and Find. A document it cannot show is reported in its place.
class HelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);
    ~HelpViewer() override;

    void setSearchFolders(const QStringList& folders) { folders_ = folders; }
    const QStringList& searchFolders() const { return folders_; }

    // Shows the named document at its contents page, reading it afresh.
    void showDocument(const QString& name);

    const HelpDocument& document() const { return document_; }
    QTextBrowser* browser() const;

    // Finds the next place where `text` occurs, going round to the top; false when none.
    bool findText(const QString& text);

private:
    void showContents();
    void findFromField();

    QStringList folders_;
    HelpDocument document_;
    HelpBrowser* browser_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QLineEdit* findField_ = nullptr;
    QLabel* findStatus_ = nullptr;
};

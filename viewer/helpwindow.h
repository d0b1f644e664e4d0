#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include <memory>

class QWidget;

// All the exam window knows of the help viewer: it can be asked to show a document, or a topic
// in one. The viewer is a window of its own that opens beside `companion` and never blocks it.
class HelpWindow {
public:
    virtual ~HelpWindow() = default;

    // The named document ("PRIMER.hlp") at its contents page, read afresh, with a new history.
    virtual void showDocument(const QString& name) = 0;
    // The same, at the topic with this anchor; at the contents page when it has none such.
    virtual void showTopic(const QString& name, const QString& anchor) = 0;

    // While a pool is open its question list stands in for the built-in one (POOLLIST.hlp),
    // with the figures it shows by name; an empty list brings the built-in one back.
    virtual void setQuestionList(const QString& html, const QHash<QString, QImage>& figures) = 0;

    static std::unique_ptr<HelpWindow> make(QWidget* companion);
};

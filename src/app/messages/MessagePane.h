#pragma once
// The message pane leads to the code: a line that names a file and a line makes
// that page active with the caret at the place; F8 and Shift+F8 walk such lines;
// the errors and warnings of a build are marked in the pages they name, and
// explained under the message and under the page's line.

#include "compile/MessagePlace.h"
#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QHash>
#include <QObject>
#include <memory>
#include <optional>

class QPlainTextEdit;

namespace nollex {

struct Explanation;

class MessagePane : public QObject {
    Q_OBJECT
public:
    // pane: the window's message pane, whose lines this explains and follows.
    MessagePane(WindowHost& host, const WindowState& state, QPlainTextEdit* pane, QObject* parent);
    ~MessagePane() override;

    // A build's output replaces the pane's text, explained, its messages marked in the pages.
    void showMessages(const QString& text);
    void appendMessages(const QStringList& lines, const std::optional<MessagePlace>& place);
    void explainOnPage(const MessagePlace& place, const QString& text);
    // Makes the page of the place that line of the pane names active, with the
    // caret there; false when the line names no place that can be shown.
    bool jumpTo(int line);
    void stepMessage(int direction);  // F8 / Shift+F8
    int placePage(const QString& file);
    const Explainer& explainer();
    BuiltPage builtPageFacts() const;

private:
    TMemos& pages() const { return host_.pages(); }
    QString messageFile(const QString& named) const;  // as the build saw it
    int builtPageIndex() const;
    void markMessages(const QString& text);  // the marks of a build's messages
    // The build's output with each explanation under its message; the pages get
    // them under their lines.
    QString explainMessages(const QString& text);
    void showExplanations(const QString& text, const QList<Explanation>& explanations);
    QString withExplanations(const QString& text, const QList<Explanation>& explanations);
    void explainProjectReferences(const QString& text, const QString& builtName, QList<Explanation>& explanations);
    QString projectPageDefining(const QString& function) const;  // its file name, or empty
    // The place a line of the pane leads to: its message's, for an explanation.
    std::optional<MessagePlace> placeOfLine(int line) const;

    WindowHost& host_;
    const WindowState& state_;
    QPlainTextEdit* pane_;
    int messageLine_ = -1;  // the message line F8 / Shift+F8 last went to
    QString projectReferenceText_;  // the table's text for a function another project page defines
    std::unique_ptr<Explainer> explainer_;  // made at the first build: it reads the catalogs
    QHash<int, MessagePlace> explained_;    // the pane's explanation lines and their places
    // The pane's explanation lines and the line of the message each belongs to:
    // F8 goes from message to message, the explanations going with theirs.
    QHash<int, int> explanationOwner_;
};

}  // namespace nollex

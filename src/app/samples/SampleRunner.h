#pragma once
// The window's side of the sample runs: F6 runs the active page's cases from its
// test/ folder one by one in a worker thread against the program just built, each
// judged and shown in the message pane as it ends, while the window stays live;
// Escape (or F6 again) stops the run. After a guarded run's verdicts the cases are
// replayed for values never set (SampleReplay). A verdict line opens the case's input,
// expected and actual output side by side; Add Sample writes the next case.

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QDialog;
class QShortcut;
class QWidget;

namespace nollex {

class SampleReplay;
class WindowHost;
struct WindowState;
struct CaseRequest;

class SampleRunner : public QObject {
    Q_OBJECT
public:
    // window: the parent of the side-by-side window and the owner of the stop key.
    SampleRunner(WindowHost& host, WindowState& state, QWidget* window);
    ~SampleRunner() override;

    void runOrStop();            // F6: builds and runs the page's cases, or stops the run
    void addSample();            // Add Sample: a case from the dialog, the clipboard offered
    void toggleNumbersWithin();  // Sample Numbers: outputs' numbers may differ by 1e-6
    void run(const QString& program);  // the cases, with the program the build just made

    bool running() const;
    void stop(bool wait);  // without wait the run ends by itself shortly
    // The side-by-side window of a case's input, expected and actual output; null when closed.
    QDialog* caseWindow() const;

private:
    struct Session;

    QString folder() const;  // the active page's test/ folder; empty for an untitled page
    bool saved();            // an untitled page is saved first
    void runCases(Session& run, CaseRequest request);  // in the worker thread
    void postFailure(int id, const QString& what);     // from the worker: the run cannot go on
    void showCase(int index);
    void showEnd();
    void showCaseWindow(int index);

    WindowHost& host_;
    WindowState& state_;
    QWidget* window_;
    std::unique_ptr<Session> session_;  // the last run's
    QShortcut* stopKey_ = nullptr;
    QPointer<QDialog> caseWindow_;
    SampleReplay* replay_;  // the cases replayed for values never set, after the verdicts
};

}  // namespace nollex

#include "Help.h"

#include "Errors.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace nollex {

namespace {

QAction* toolAction(QToolBar* bar, QStyle::StandardPixmap icon, const QString& text, const QKeySequence& key)
{
    QAction* action = bar->addAction(bar->style()->standardIcon(icon), text);
    action->setShortcut(key);
    action->setToolTip(text + QStringLiteral("（") + key.toString(QKeySequence::NativeText) + QStringLiteral("）"));
    return action;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Nollex マニュアル"));
    resize(860, 700);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_ = toolAction(bar, QStyle::SP_ArrowBack, QStringLiteral("戻る"), QKeySequence(Qt::ALT | Qt::Key_Left));
    forward_ = toolAction(bar, QStyle::SP_ArrowForward, QStringLiteral("進む"), QKeySequence(Qt::ALT | Qt::Key_Right));
    QAction* home = toolAction(bar, QStyle::SP_DirHomeIcon, QStringLiteral("目次"), QKeySequence(Qt::ALT | Qt::Key_Home));

    browser_ = new QTextBrowser(this);
    // The pages are written for a light page whatever the window's colours are.
    QPalette paper = browser_->palette();
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, QColor(0x22, 0x22, 0x22));
    browser_->setPalette(paper);
    browser_->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward_, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(home, &QAction::triggered, browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Nollex マニュアル") : title);
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::showPage(const QString& path)
{
    const QUrl page = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    // F1 on the page already shown keeps its place and its history.
    if (browser_->source() != page)
        browser_->setSource(page);
}

HelpWindow* ShowManual(const QString& path, QWidget* owner)
{
    if (!QFileInfo(path).isFile())
        throw NollexError(QStringLiteral("The manual ") + path + QStringLiteral(" was not found"));
    auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new HelpWindow(owner);
    window->showPage(path);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace nollex

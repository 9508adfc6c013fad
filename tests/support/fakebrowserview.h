#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "view/browserview.h"

namespace vimbrel {

// Records navigations, scripts and scrolls; hands out scripted elements; emits on demand.
class FakeBrowserView : public BrowserView
{
    Q_OBJECT
public:
    explicit FakeBrowserView(QWidget *parent = nullptr)
        : BrowserView(parent), m_widget(new QWidget(parent))
    {
        m_widget->setFocusPolicy(Qt::StrongFocus);
    }
    ~FakeBrowserView() override
    {
        // As with the real view: a widget made without a parent window has no one else to
        // delete it.
        if (m_widget && !m_widget->parent())
            delete m_widget;
    }

    QStringList navigations;
    QStringList scripts;
    QList<QPoint> scrolls;
    QList<Element> scriptedElements;
    QUrl currentUrl;
    QString currentTitle;
    int backs = 0, forwards = 0, refreshes = 0, focusRequests = 0;

    QWidget *widget() override { return m_widget; }
    void navigate(const QString &address) override
    {
        navigations << address;
        currentUrl = QUrl::fromUserInput(address);
    }
    void goBack() override { ++backs; }
    void goForward() override { ++forwards; }
    void refresh() override { ++refreshes; }
    QUrl url() const override { return currentUrl; }
    QString title() const override { return currentTitle; }
    void runScript(const QString &script) override { scripts << script; }
    void scrollBy(int x, int y) override { scrolls << QPoint(x, y); }
    void elements(ElementsCallback callback) override { callback(scriptedElements); }
    void setFocus() override
    {
        ++focusRequests;
        m_widget->setFocus();
    }

    // Test helpers: pretend the view did something.
    void finishLoad()
    {
        Q_EMIT downloadComplete();
        Q_EMIT documentComplete(currentUrl);
    }
    void requestNewWindow(const QUrl &url, bool userInitiated = true)
    {
        Q_EMIT newWindowRequested(url, userInitiated);
    }
    void requestPictureMenu(const QUrl &picture, const QPoint &at = QPoint(10, 10))
    {
        Q_EMIT pictureMenuRequested(picture, at);
    }

private:
    QPointer<QWidget> m_widget;
};

} // namespace vimbrel

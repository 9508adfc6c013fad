#include "search/pagenavigation.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>

#include <utility>

#include "search/searchqueries.h"
#include "view/browserview.h"

namespace vimbrel {

PageNavigation::PageNavigation(PageNavigationServices services, QObject *parent)
    : QObject(parent), m_services(std::move(services))
{
    m_textUrl = new QComboBox(m_services.window);
    m_textUrl->setObjectName(QStringLiteral("TextUrl"));
    m_textUrl->setEditable(true);
    // Every go appends its entry, also a repeated one; the box itself never adds or merges.
    m_textUrl->setInsertPolicy(QComboBox::NoInsert);
    m_textUrl->setDuplicatesEnabled(true);
    // What is typed is what is opened: no inline completion from the list (".../pics20" must
    // not become ".../pics200" on Enter), and leaving the box is no choice of the entry its
    // text equals (the box would otherwise report one, and after a go, a second go).
    m_textUrl->setCompleter(nullptr);
    disconnect(m_textUrl->lineEdit(), &QLineEdit::editingFinished, m_textUrl, nullptr);
    m_textUrl->addItems(SearchQueries::presetAddresses(*m_services.settings, m_services.host));
    m_textUrl->setCurrentIndex(-1);
    m_textUrl->setEditText(QString());
    QPalette blue = m_textUrl->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    m_textUrl->setPalette(blue);
    m_textUrl->lineEdit()->setPalette(blue);
    m_textUrl->setToolTip(QStringLiteral("地址欄裡輸入「關鍵詞」可以直接搜索"));
    connect(m_textUrl, &QComboBox::editTextChanged, m_textUrl, &QWidget::setToolTip);
    m_textUrl->installEventFilter(this);
    connect(m_textUrl, &QComboBox::activated, this, [this](int index) {
        // The chosen entry, not whatever the edit line held a moment before.
        m_textUrl->setEditText(m_textUrl->itemText(index));
        goToAddress();
    });

    m_cmbSearch = new QComboBox(m_services.window);
    m_cmbSearch->setObjectName(QStringLiteral("CmbSearch"));
    m_cmbSearch->setEditable(true);
    m_cmbSearch->setInsertPolicy(QComboBox::NoInsert);
    m_cmbSearch->setDuplicatesEnabled(true);
    m_cmbSearch->setCompleter(nullptr);
    m_cmbSearch->addItems(SearchQueries::presetKeywords());
    m_cmbSearch->setCurrentIndex(-1);
    m_cmbSearch->setEditText(QString());
    m_cmbSearch->installEventFilter(this);

    connect(m_services.pageView, &BrowserView::titleChanged, this,
            &PageNavigation::showPageAddress);
    connect(m_services.pageView, &BrowserView::newWindowRequested, this,
            &PageNavigation::followLink);
}

void PageNavigation::goToAddress()
{
    const QString entry = m_textUrl->currentText();
    m_textUrl->addItem(entry);
    m_services.showPage();
    const QString target = SearchQueries::goTarget(m_services.host, entry);
    if (target != entry) {
        // The box shows the search address readably; the view gets the encoded one.
        m_textUrl->setEditText(QUrl(target).toString());
    }
    m_services.pageView->navigate(target);
    m_services.focusSink->setFocus();
}

void PageNavigation::searchKeywords()
{
    const QString word = m_cmbSearch->currentText();
    m_cmbSearch->addItem(word);
    m_services.showPage();
    m_services.pageView->navigate(SearchQueries::keywordSearchAddress(m_services.host, word));
    m_services.focusSink->setFocus();
}

void PageNavigation::goHome()
{
    m_services.showPage();
    m_services.pageView->navigate(SearchQueries::homeAddress(m_services.host));
}

void PageNavigation::backOrForward(int index)
{
    if (m_services.resultsShown()) {
        m_services.showPage();
        return;
    }
    if (index == 0)
        m_services.pageView->goBack();
    else
        m_services.pageView->goForward();
}

void PageNavigation::focusAddress()
{
    m_textUrl->setFocus(Qt::ShortcutFocusReason);
    m_textUrl->lineEdit()->selectAll();
}

void PageNavigation::showPageAddress()
{
    m_textUrl->setEditText(m_services.pageView->url().toString());
    m_textUrl->lineEdit()->setCursorPosition(0); // the host first, not the query's tail
}

void PageNavigation::followLink(const QUrl &url, bool userInitiated)
{
    // A link the user clicked opens here; a window a script opens by itself is a pop-up. The
    // view loads what it is told, so a web page's link may not lead it to a script address or
    // into the user's own files.
    if (!userInitiated || !url.isValid())
        return;
    const QString scheme = url.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    const bool localFromLocal = url.isLocalFile() && m_services.pageView->url().isLocalFile();
    if (web || localFromLocal)
        m_services.pageView->navigate(url.toString(QUrl::FullyEncoded));
}

bool PageNavigation::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in either box runs its command once; the box itself does nothing more with it.
    // The keys reach the box (its edit line's focus proxy), which hands them on to the line.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_textUrl) {
                goToAddress();
                return true;
            }
            if (watched == m_cmbSearch) {
                searchKeywords();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vimbrel

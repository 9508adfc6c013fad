#include "search/searchqueries.h"

#include <QUrl>

#include <limits>

#include "platform/numberanswer.h"
#include "platform/settingskeys.h"

namespace vimbrel {

namespace SearchQueries {

namespace {

const QString SearchSection = SettingsKeys::SearchSection;

// The browser view names a page without a title after its address, shortened: a local file by
// its name, a web page without "http://" (and a bare host without its slash).
bool namesTheAddress(const QString &title, const QString &address)
{
    if (title == address)
        return true;
    const QUrl url(address);
    if (url.isLocalFile())
        return title == url.fileName();
    QString bare = url.toString(QUrl::RemoveScheme);
    if (!bare.startsWith(QLatin1String("//")))
        return false;
    bare.remove(0, 2);
    if (title == bare)
        return true;
    return url.path() == QLatin1String("/") && bare.endsWith(QLatin1Char('/')) &&
           title == bare.chopped(1);
}

} // namespace

QString homeAddress(const QString &host)
{
    return QStringLiteral("http://") + host + QLatin1Char('/');
}

QString keywordSearchAddress(const QString &host, const QString &word)
{
    return QStringLiteral("http://") + host +
           QStringLiteral("/i?tn=baiduimage&ct=201326592&cl=2&fm=index&lm=-1&st=-1&sf=2&fmq="
                          "&pv=&ic=0&nc=1&z=&fb=0&istype=2&ie=utf-8&word=") +
           QString::fromLatin1(QUrl::toPercentEncoding(word));
}

QString goTarget(const QString &host, const QString &entry)
{
    if (entry.contains(QLatin1Char('.')))
        return entry;
    return keywordSearchAddress(host, entry);
}

QString searchResultPrefix(const QString &host)
{
    return QStringLiteral("http://") + host + QStringLiteral("/i?tn");
}

QString resultLinkPrefix(const QString &host)
{
    return QStringLiteral("http://") + host + QStringLiteral("/i?ct=5033");
}

QStringList presetKeywords()
{
    return {
        QStringLiteral("韓國美女"), QStringLiteral("印度美女"), QStringLiteral("手繪美女"),
        QStringLiteral("世界小姐"), QStringLiteral("莫內"),     QStringLiteral("梵高"),
        QStringLiteral("漂亮"),     QStringLiteral("美麗"),     QStringLiteral("香山"),
        QStringLiteral("風景"),     QStringLiteral("竹林"),     QStringLiteral("楓葉"),
        QStringLiteral("紅楓"),     QStringLiteral("椰樹"),     QStringLiteral("城市夜景"),
        QStringLiteral("日出"),     QStringLiteral("日落"),     QStringLiteral("風景藝術"),
        QStringLiteral("美麗夕陽"), QStringLiteral("藝術壁紙"), QStringLiteral("夢幻風景"),
        QStringLiteral("風光壁紙"), QStringLiteral("海洋風光"), QStringLiteral("湖光山色"),
        QStringLiteral("海底世界"), QStringLiteral("海天一色"), QStringLiteral("浩瀚星空"),
        QStringLiteral("神秘宇宙"), QStringLiteral("海洋風光"), QStringLiteral("油畫風景"),
        QStringLiteral("夢幻仙境"), QStringLiteral("3d風景"),   QStringLiteral("黃昏"),
        QStringLiteral("瀑布"),     QStringLiteral("夜色"),
    };
}

QStringList presetAddresses(const Settings &settings, const QString &host)
{
    static const char *const Defaults[5] = {
        "http://www.mmonly.cc/mrtk/p1/",
        "http://www.mmonly.cc/mrtk/p2/",
        "http://www.tupianzj.com/tuku/qingchunmn/",
        "http://www.hao123.com/mm.htm",
        "http://www.2345.com/mm/",
    };
    QStringList addresses{homeAddress(host)};
    for (int i = 0; i < 5; ++i) {
        const auto stored = settings.value(SearchSection, SettingsKeys::PresetPattern.arg(i + 1));
        const QString trimmed = stored ? stored->trimmed() : QString();
        addresses.append(trimmed.isEmpty() ? QString::fromLatin1(Defaults[i]) : trimmed);
    }
    return addresses;
}

QString serviceHost(const Settings &settings)
{
    const auto stored = settings.value(SearchSection, SettingsKeys::ServiceHost);
    const QString trimmed = stored ? stored->trimmed() : QString();
    return trimmed.isEmpty() ? QStringLiteral("image.baidu.com") : trimmed;
}

QString windowCaption(const QString &title, const QString &address)
{
    constexpr qsizetype Longest = 100;
    QString shown = title.left(Longest);
    // Never leave half of a character outside the basic plane at the cut.
    if (shown.size() == Longest && title.size() > Longest && shown.back().isHighSurrogate())
        shown.chop(1);
    for (QChar &ch : shown) {
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n') || ch == QLatin1Char('\t'))
            ch = QLatin1Char(' ');
    }
    if (shown.isEmpty() || namesTheAddress(title, address))
        shown = address;
    return shown + QStringLiteral("  -  [ 搜索圖片、成批下載 ]");
}

int nextLoadTime(const std::optional<QString> &stored)
{
    const NumberAnswer::Answer count = NumberAnswer::read(stored);
    // An unreadable or exhausted count starts again.
    if (!count.inRange || count.value == std::numeric_limits<int>::max())
        return 1;
    return count.value + 1;
}

void countOpening(Settings &settings)
{
    const int opened = nextLoadTime(settings.value(SearchSection, SettingsKeys::LoadTime));
    settings.setValue(SearchSection, SettingsKeys::LoadTime, QString::number(opened));
}

} // namespace SearchQueries

} // namespace vimbrel

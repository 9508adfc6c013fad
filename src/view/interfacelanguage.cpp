#include "view/interfacelanguage.h"

#include <QLocale>
#include <QWebEngineProfile>

namespace vimbrel {

void InterfaceLanguage::apply()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan));
}

QString InterfaceLanguage::acceptLanguage()
{
    return QStringLiteral("zh-TW,zh;q=0.9,en;q=0.5");
}

void InterfaceLanguage::applyTo(QWebEngineProfile *profile)
{
    profile->setHttpAcceptLanguage(acceptLanguage());
}

} // namespace vimbrel

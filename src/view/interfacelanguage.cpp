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

QString
InterfaceLanguage::downloadFailure(QWebEngineDownloadRequest::DownloadInterruptReason reason)
{
    using R = QWebEngineDownloadRequest;
    switch (reason) {
    case R::NoReason:
        return QStringLiteral("下載失敗");
    case R::FileFailed:
        return QStringLiteral("無法寫入檔案");
    case R::FileAccessDenied:
        return QStringLiteral("沒有寫入這個位置的權限");
    case R::FileNoSpace:
        return QStringLiteral("磁碟空間不足");
    case R::FileNameTooLong:
        return QStringLiteral("檔案名稱太長");
    case R::FileTooLarge:
        return QStringLiteral("檔案太大");
    case R::FileVirusInfected:
        return QStringLiteral("檔案含有病毒");
    case R::FileTransientError:
        return QStringLiteral("暫時無法寫入檔案，請稍後再試");
    case R::FileBlocked:
        return QStringLiteral("檔案被封鎖");
    case R::FileSecurityCheckFailed:
        return QStringLiteral("檔案未通過安全檢查");
    case R::FileTooShort:
        return QStringLiteral("檔案不完整");
    case R::FileHashMismatch:
        return QStringLiteral("檔案內容與預期不符");
    case R::NetworkFailed:
        return QStringLiteral("網路錯誤");
    case R::NetworkTimeout:
        return QStringLiteral("網路逾時");
    case R::NetworkDisconnected:
        return QStringLiteral("網路已中斷");
    case R::NetworkServerDown:
        return QStringLiteral("伺服器沒有回應");
    case R::NetworkInvalidRequest:
        return QStringLiteral("無效的網路要求");
    case R::ServerFailed:
        return QStringLiteral("伺服器錯誤");
    case R::ServerBadContent:
        return QStringLiteral("伺服器上沒有這個檔案");
    case R::ServerUnauthorized:
        return QStringLiteral("需要登入才能下載");
    case R::ServerCertProblem:
        return QStringLiteral("伺服器憑證有問題");
    case R::ServerForbidden:
        return QStringLiteral("伺服器拒絕存取");
    case R::ServerUnreachable:
        return QStringLiteral("無法連上伺服器");
    case R::UserCanceled:
        return QStringLiteral("下載已取消");
    }
    return QStringLiteral("下載失敗");
}

} // namespace vimbrel

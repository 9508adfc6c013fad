#include "saving/savingreport.h"

namespace vimbrel {

const QString SavingReport::title = QStringLiteral("查看");

bool SavingReport::allObtained() const
{
    return total > 0 && failed == 0 && !stopped && writeError.isEmpty() && done() == total;
}

bool SavingReport::succeeded() const
{
    return allObtained() && saved > 0 && skipped == 0;
}

bool SavingReport::offersFolder() const
{
    return saved > 0 || skipped > 0;
}

QString SavingReport::text() const
{
    const QString ask = QStringLiteral("立即查看剛才保存的圖片嗎？");
    if (succeeded())
        return QStringLiteral("保存成功！") + ask + QString(15, QLatin1Char(' '));
    if (total == 0 && writeError.isEmpty())
        return QStringLiteral("網頁中沒有圖片，沒有保存任何圖片。");

    QString text;
    if (!writeError.isEmpty())
        text = QStringLiteral("保存中斷：文件目錄無法寫入（%1）。").arg(writeError);
    else if (stopped)
        text = QStringLiteral("保存已停止。");
    text += saved > 0 ? QStringLiteral("已保存 %1 幅圖片").arg(saved)
                      : QStringLiteral("沒有保存任何圖片");
    if (small > 0)
        text += QStringLiteral("，%1 幅圖片因太小而略去").arg(small);
    if (failed > 0)
        text += QStringLiteral("，%1 幅圖片無法取得").arg(failed);
    if (skipped > 0)
        text += QStringLiteral("，%1 幅圖片先前已保存").arg(skipped);
    if (const int left = total - done(); left > 0)
        text += QStringLiteral("，%1 幅圖片未處理").arg(left);
    text += QStringLiteral("。");
    if (offersFolder())
        text += ask;
    return text;
}

} // namespace vimbrel

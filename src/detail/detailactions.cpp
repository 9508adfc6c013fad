#include "detail/detailactions.h"

#include <QAction>
#include <QPushButton>
#include <QRegularExpression>
#include <QWidget>

#include "windowkit/actionkeys.h"

namespace vimbrel {

namespace {

const char *const Captions[DetailActions::Count] = {"保存(&S)", "上一幅(&U)", "下一幅(&N)",
                                                    "網址(&H)", "放大(&B)",   "縮小(&M)"};

} // namespace

DetailActions::DetailActions(QWidget *window) : QObject(window)
{
    for (int i = 0; i < Count; ++i) {
        const QString text = QString::fromUtf8(Captions[i]);
        auto *action = new QAction(text, window);
        action->setObjectName(QStringLiteral("Cmd%1").arg(i));
        // A push button shows the access key, which a tool button would drop.
        auto *button = new QPushButton(text, window);
        button->setObjectName(QStringLiteral("Cmd%1Button").arg(i));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        m_actions[std::size_t(i)] = action;
        m_buttons[std::size_t(i)] = button;
    }

    const std::pair<Id, QKeySequence> keys[] = {{Save, QKeySequence(Qt::CTRL | Qt::Key_S)},
                                                {Previous, QKeySequence(Qt::Key_Left)},
                                                {Next, QKeySequence(Qt::Key_Right)}};
    for (const auto &[id, key] : keys) {
        QAction *action = (*this)[id];
        // "保存(&S)" reads "保存" in a tooltip.
        action->setToolTip(action->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)$"))));
        setActionKeys(action, window, {key});
        button(id)->setToolTip(action->toolTip());
    }
    m_close = new QAction(QStringLiteral("Close"), window);
    m_close->setObjectName(QStringLiteral("CloseWindow"));
    setActionKeys(m_close, window, {QKeySequence(Qt::Key_Escape)});
}

} // namespace vimbrel

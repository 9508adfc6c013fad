#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>

#include "platform/dialogs.h"

class QWidget;

namespace vimbrel {

// Dialogs with scripted answers; every prompt is recorded as "kind|title|text|extra", and the
// window it belonged to in owners (null: no window). The dialogs handed to a window by ownedBy
// answer from, and record into, the one they came from.
class FakeDialogs : public Dialogs
{
public:
    std::deque<std::optional<QString>> inputAnswers; // one per inputBox, nullopt = cancel
    std::deque<std::optional<QString>> fileAnswers;  // one per openFile/saveFile/browseFolder
    std::deque<bool> questionAnswers;                // one per question; none left = Cancel
    QStringList calls;
    QList<const QWidget *> owners; // one per call
    QStringList folderStarts;      // where each folder picker opened

    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultAnswer) override
    {
        record(QStringLiteral("input|%1|%2|%3").arg(title, prompt, defaultAnswer));
        return next(m_root->inputAnswers);
    }
    void messageBox(const QString &text, const QString &title, MessageIcon icon) override
    {
        record(QStringLiteral("message|%1|%2|%3").arg(title, text).arg(int(icon)));
    }
    std::optional<QString> openFile(const QString &title, const QString &folder,
                                    const QString &filter) override
    {
        record(QStringLiteral("open|%1|%2|%3").arg(title, folder, filter));
        return next(m_root->fileAnswers);
    }
    std::optional<QString> saveFile(const QString &title, const QString &filter,
                                    const QString &defaultName) override
    {
        record(QStringLiteral("save|%1|%2|%3").arg(title, filter, defaultName));
        return next(m_root->fileAnswers);
    }
    bool question(const QString &text, const QString &title) override
    {
        record(QStringLiteral("question|%1|%2").arg(title, text));
        std::deque<bool> &answers = m_root->questionAnswers;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> browseFolder(const QString &prompt, const QString &start) override
    {
        record(QStringLiteral("folder|%1").arg(prompt));
        m_root->folderStarts << start;
        return next(m_root->fileAnswers);
    }
    std::unique_ptr<Dialogs> ownedBy(QWidget *owner) override
    {
        auto owned = std::make_unique<FakeDialogs>();
        owned->m_root = m_root;
        owned->m_owner = owner;
        return owned;
    }

private:
    void record(const QString &call)
    {
        m_root->calls << call;
        m_root->owners << m_owner;
    }

    FakeDialogs *m_root = this;
    const QWidget *m_owner = nullptr;

    static std::optional<QString> next(std::deque<std::optional<QString>> &answers)
    {
        if (answers.empty())
            return std::nullopt;
        // Copied out as a plain QString: copying the optional itself trips GCC 12's
        // -Wmaybe-uninitialized.
        const bool given = answers.front().has_value();
        QString text = given ? *answers.front() : QString();
        answers.pop_front();
        if (!given)
            return std::nullopt;
        return text;
    }
};

} // namespace vimbrel

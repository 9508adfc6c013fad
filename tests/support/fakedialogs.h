#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

namespace vimbrel {

// Dialogs with scripted answers; every prompt is recorded as "kind|title|text|extra".
class FakeDialogs : public Dialogs
{
public:
    std::deque<std::optional<QString>> inputAnswers; // one per inputBox, nullopt = cancel
    std::deque<std::optional<QString>> fileAnswers;  // one per openFile/saveFile/browseFolder
    std::deque<bool> questionAnswers;                // one per question; none left = Cancel
    QStringList calls;
    QStringList folderStarts; // where each folder picker opened

    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultAnswer) override
    {
        calls << QStringLiteral("input|%1|%2|%3").arg(title, prompt, defaultAnswer);
        return next(inputAnswers);
    }
    void messageBox(const QString &text, const QString &title, MessageIcon icon) override
    {
        calls << QStringLiteral("message|%1|%2|%3").arg(title, text).arg(int(icon));
    }
    std::optional<QString> openFile(const QString &title, const QString &folder,
                                    const QString &filter) override
    {
        calls << QStringLiteral("open|%1|%2|%3").arg(title, folder, filter);
        return next(fileAnswers);
    }
    std::optional<QString> saveFile(const QString &title, const QString &filter,
                                    const QString &defaultName) override
    {
        calls << QStringLiteral("save|%1|%2|%3").arg(title, filter, defaultName);
        return next(fileAnswers);
    }
    bool question(const QString &text, const QString &title) override
    {
        calls << QStringLiteral("question|%1|%2").arg(title, text);
        if (questionAnswers.empty())
            return false;
        const bool answer = questionAnswers.front();
        questionAnswers.pop_front();
        return answer;
    }
    std::optional<QString> browseFolder(const QString &prompt, const QString &start) override
    {
        calls << QStringLiteral("folder|%1").arg(prompt);
        folderStarts << start;
        return next(fileAnswers);
    }

private:
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

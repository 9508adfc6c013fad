#pragma once

#include <QString>

namespace vimbrel {

// The counts of one saving run and what the closing box says about them. The box claims success
// only when every picture was obtained; otherwise it says how many were saved and how many were
// not, and offers the folder only when something is in it.
struct SavingReport
{
    static const QString title; // "查看"

    int total = 0;        // pictures of the page
    int saved = 0;        // files written and kept
    int small = 0;        // obtained, but under the size worth keeping
    int failed = 0;       // could not be fetched or decoded
    bool stopped = false; // the user stopped the run
    QString writeError;   // the folder could not be written: the run stopped there

    [[nodiscard]] int done() const { return saved + small + failed; }
    [[nodiscard]] bool allObtained() const;
    // A question (OK shows the folder) rather than a plain message.
    [[nodiscard]] bool offersFolder() const;
    [[nodiscard]] QString text() const;
};

} // namespace vimbrel

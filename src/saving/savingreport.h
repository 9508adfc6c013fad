#pragma once

#include <QString>

namespace vimbrel {

// The counts of one saving run and what the closing box says about them. The box claims success
// only when something was saved and nothing failed; otherwise it gives the counts, which add up
// to the page's pictures, and offers the folder only when something is in it.
struct SavingReport
{
    static const QString title; // "查看"

    int total = 0;        // pictures of the page
    int saved = 0;        // files written and kept
    int small = 0;        // obtained, but under the size worth keeping
    int failed = 0;       // could not be fetched or decoded
    int skipped = 0;      // saved into the folder before (its origin is recorded there)
    bool stopped = false; // the user stopped the run
    QString writeError;   // the folder could not be written: the run stopped there

    [[nodiscard]] int done() const { return saved + small + failed + skipped; }
    // Every picture was obtained (some may have been too small).
    [[nodiscard]] bool allObtained() const;
    // The specified success: something saved, the rest only too small.
    [[nodiscard]] bool succeeded() const;
    // A question (OK shows the folder) rather than a plain message.
    [[nodiscard]] bool offersFolder() const;
    [[nodiscard]] QString text() const;
};

} // namespace vimbrel

#pragma once

#include <QLabel>

namespace vimbrel {

// A one-line label that shows a text too long for it with its middle left out ("…"), keeping
// both ends (the start of a path and its last folders), and the whole text as its tooltip.
// text() stays the whole text.
class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    // What the label shows at its present width.
    [[nodiscard]] QString shownText() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vimbrel

#pragma once

#include "TestVerdicts.h"

#include <QWidget>

namespace kqvdr {

// A verdict drawn: a green tick for passed, a red cross for failed, a grey dash for not tested.
// Its accessible name says the verdict in words.
class CVerdictPicture : public QWidget {
    Q_OBJECT

public:
    explicit CVerdictPicture(QWidget* parent = nullptr);

    void setVerdict(Verdict verdict);
    Verdict verdict() const { return verdict_; }
    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Verdict verdict_ = Verdict::NotTested;
};

// A banner over a details list: "PASSED", "FAILED" or "NOT TESTED" beside its picture.
QWidget* verdictBanner(Verdict verdict, QWidget* parent = nullptr);

} // namespace kqvdr

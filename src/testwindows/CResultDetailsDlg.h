#pragma once

#include "CResultListPage.h"

#include <QDialog>

namespace kqvdr {

// A details dialog of the results: Temperature Response, Baseline Stability or Mass Flow
// Response, each a list of the rows with its banner. Modal; OK closes it.
class CResultDetailsDlg : public QDialog {
    Q_OBJECT

public:
    CResultDetailsDlg(const QString& caption, const CResultListPage::Content& content,
                      QWidget* parent = nullptr);

    CResultListPage* page() const { return page_; }

private:
    CResultListPage* page_;
};

// The Temperature Stability sheet: the Nebuliser page, then the Evaporator page.
class CTempStabSheet : public QDialog {
    Q_OBJECT

public:
    CTempStabSheet(const QString& caption, const CResultListPage::Content& nebuliser,
                   const CResultListPage::Content& evaporator, QWidget* parent = nullptr);

    CResultListPage* nebuliserPage() const { return nebuliser_; }
    CResultListPage* evaporatorPage() const { return evaporator_; }

private:
    CResultListPage* nebuliser_;
    CResultListPage* evaporator_;
};

} // namespace kqvdr

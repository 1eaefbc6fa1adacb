#pragma once

#include "CGeneralErrDlg.h"
#include "CVapErrDlg.h"
#include "FaultKind.h"

#include <QPointer>
#include <array>

class QWidget;

namespace kqvdr {

// The twelve fault dialogs, one instance each for the whole run, found by dialog or by fault
// index 0..12. Indices 4 and 12 share the vapour dialog, so a device fault never opens a second
// one while the leak variant is up. The dialogs are children of `parent` when one is given (so
// they centre on it); either of the two may be destroyed first.
class FaultDialogs {
public:
    explicit FaultDialogs(QWidget* parent = nullptr);
    ~FaultDialogs();
    FaultDialogs(const FaultDialogs&) = delete;
    FaultDialogs& operator=(const FaultDialogs&) = delete;

    CGeneralErrDlg* dialog(FaultDialogId id) const;
    // nullptr for an index outside 0..12 (fault-word bits 13 to 15 have no dialog).
    CGeneralErrDlg* dialog(int index) const;
    CVapErrDlg* vapour() const;

    // Opens a dialog the way the poll does: sets `showing`, resets `cleared`, chooses the vapour
    // variant, and runs it modally. Returns `cleared`: true only when "Clear Error" closed it.
    // A dialog that is already open is not opened a second time (false).
    bool run(FaultDialogId id, bool deviceError);
    // The same for a fault index, with the variant that the index implies.
    bool open(int index);

    // Once a clear has been recorded: the dialog may appear again at the next occurrence.
    void reset(FaultDialogId id);
    void reset(int index);

private:
    std::array<QPointer<CGeneralErrDlg>, kFaultDialogCount> dialogs_;
};

} // namespace kqvdr

#pragma once

#include "CGeneralErrDlg.h"
#include "CVapErrDlg.h"
#include "FaultKind.h"

#include <QPointer>
#include <array>

class QWidget;

namespace kqvdr {

struct FaultDialogFlags {
    bool showing = false;
    bool cleared = false;
    bool deviceError = false; // vapour dialog only
};

// The twelve fault dialogs, one instance each for the whole run, found by fault index 0..12.
// Indices 4 and 12 share the vapour dialog, so a device fault never opens a second one while
// the leak variant is up. The dialogs are children of `parent` when one is given (so they centre
// on it); either of the two may be destroyed first.
class FaultDialogs {
public:
    explicit FaultDialogs(QWidget* parent = nullptr);
    ~FaultDialogs();
    FaultDialogs(const FaultDialogs&) = delete;
    FaultDialogs& operator=(const FaultDialogs&) = delete;

    // nullptr for an index outside 0..12 (fault-word bits 13 to 15 have no dialog).
    CGeneralErrDlg* dialog(int index) const;
    CVapErrDlg* vapour() const;

    FaultDialogFlags flags(int index) const;

    // Opens the dialog the way the poll does: marks it showing, forgets an earlier clear,
    // picks the vapour variant that matches the index, and runs it modally. Returns the flags
    // once it has closed. A dialog that is already open is not opened a second time.
    FaultDialogFlags open(int index);

    // Once the poll has recorded a clear: the dialog may appear again at the next occurrence.
    void reset(int index);

private:
    std::array<QPointer<CGeneralErrDlg>, kFaultDialogCount> dialogs_;
};

} // namespace kqvdr

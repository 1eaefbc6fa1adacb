#include "FaultDialogs.h"

#include "CCsumErrDlg.h"
#include "CEvapErrDlg.h"
#include "CExhErrDlg.h"
#include "CFanErrDlg.h"
#include "CGasErrDlg.h"
#include "CLampErrDlg.h"
#include "CNebErrDlg.h"
#include "COtErrDlg.h"
#include "CPdtErrDlg.h"
#include "CPicErrDlg.h"
#include "CTcErrDlg.h"

namespace kqvdr {
namespace {

std::size_t slot(FaultDialogId id) {
    return static_cast<std::size_t>(id);
}

} // namespace

FaultDialogs::FaultDialogs(QWidget* parent) {
    dialogs_[slot(FaultDialogId::Gas)] = new CGasErrDlg(parent);
    dialogs_[slot(FaultDialogId::Nebuliser)] = new CNebErrDlg(parent);
    dialogs_[slot(FaultDialogId::Evaporator)] = new CEvapErrDlg(parent);
    dialogs_[slot(FaultDialogId::Exhaust)] = new CExhErrDlg(parent);
    dialogs_[slot(FaultDialogId::Vapour)] = new CVapErrDlg(parent);
    dialogs_[slot(FaultDialogId::Lamp)] = new CLampErrDlg(parent);
    dialogs_[slot(FaultDialogId::Fan)] = new CFanErrDlg(parent);
    dialogs_[slot(FaultDialogId::Checksum)] = new CCsumErrDlg(parent);
    dialogs_[slot(FaultDialogId::Pdt)] = new CPdtErrDlg(parent);
    dialogs_[slot(FaultDialogId::OverTemperature)] = new COtErrDlg(parent);
    dialogs_[slot(FaultDialogId::Pic)] = new CPicErrDlg(parent);
    dialogs_[slot(FaultDialogId::TransferLine)] = new CTcErrDlg(parent);
}

FaultDialogs::~FaultDialogs() {
    // A parent destroyed first has already deleted its children; the QPointers then hold null.
    for (const QPointer<CGeneralErrDlg>& dialog : dialogs_) {
        delete dialog.data();
    }
}

CGeneralErrDlg* FaultDialogs::dialog(int index) const {
    const FaultKind* kind = faultKind(index);
    return kind == nullptr ? nullptr : dialogs_[slot(kind->dialog)].data();
}

CVapErrDlg* FaultDialogs::vapour() const {
    return static_cast<CVapErrDlg*>(dialogs_[slot(FaultDialogId::Vapour)].data());
}

FaultDialogFlags FaultDialogs::flags(int index) const {
    const CGeneralErrDlg* shown = dialog(index);
    if (shown == nullptr) {
        return {};
    }
    const CVapErrDlg* vap = vapour();
    return {shown->showing, shown->cleared, shown == vap && vap->deviceError};
}

FaultDialogFlags FaultDialogs::open(int index) {
    CGeneralErrDlg* shown = dialog(index);
    if (shown == nullptr) {
        return {};
    }
    // A second exec() of a dialog already in its modal loop would return at once with -1 and
    // leave the first loop confused; the caller learns the flags as they stand instead.
    if (!shown->isVisible()) {
        shown->showing = true;
        shown->cleared = false;
        if (shown == vapour()) {
            vapour()->deviceError = faultKind(index)->deviceError;
        }
        shown->exec();
    }
    return flags(index);
}

void FaultDialogs::reset(int index) {
    CGeneralErrDlg* shown = dialog(index);
    if (shown == nullptr) {
        return;
    }
    shown->showing = false;
    shown->cleared = false;
    if (shown == vapour()) {
        vapour()->deviceError = false;
    }
}

} // namespace kqvdr
